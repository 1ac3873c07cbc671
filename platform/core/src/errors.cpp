#include "quorvale/core/errors.h"

#include <string>

#include "quorvale/core/err.h"

namespace quorvale {

namespace {
constexpr std::int32_t Hresult(std::uint32_t value) { return static_cast<std::int32_t>(value); }
}  // namespace

const std::vector<ErrorEntry>& ErrorTable() {
  using E = Error;
  static const std::vector<ErrorEntry> table = {
      {E::kInvalidCall, 5, "Invalid procedure call or argument"},
      {E::kSubscriptOutOfRange, 9, "Subscript out of range"},
      {E::kTypeMismatch, 13, "Type mismatch"},
      {E::kInternal, 51, "Internal error"},
      {E::kBadFileName, 52, "Bad file name or number"},
      {E::kFileNotFound, 53, "File not found"},
      {E::kFileAlreadyExists, 58, "File already exists"},
      {E::kPermissionDenied, 70, "Permission denied"},
      {E::kPathFileAccess, 75, "Path/File access error"},
      {E::kPathNotFound, 76, "Path not found"},
      {E::kResourceNotFound, 326, "Resource with identifier '%1' not found"},
      {E::kInvalidPropertyValue, 380, "Invalid property value"},
      {E::kInvalidPropertyArrayIndex, 381, "Invalid property array index"},
      {E::kObjectRequired, 424, "Object required"},
      {E::kCannotCreateObject, 429, "ActiveX component can't create object"},
      {E::kNoSuchMember, 438, "Object doesn't support this property or method"},
      {E::kWrongArguments, 450, "Wrong number of arguments or invalid property assignment"},
      {E::kAdoArguments, 3001,
       "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another."},
      {E::kAdoNotAllowed, 3219, "Operation is not allowed in this context."},
      {E::kAdoStreamClosed, 3704, "Operation is not allowed when the object is closed."},
      {E::kAdoObjectClosed, Hresult(0x800A0E78), "Operation is not allowed when the object is closed."},
      {E::kAdoObjectOpen, Hresult(0x800A0E79), "Operation is not allowed when the object is open."},
      {E::kAdoNoCurrentRecord, Hresult(0x800A0BCD),
       "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
       "current record."},
      {E::kAdoItemNotFound, Hresult(0x800A0CC1),
       "Item cannot be found in the collection corresponding to the requested name or ordinal."},
      {E::kAdoProvider, Hresult(0x80004005), "Unspecified error"},
      {E::kInvalidSyntax, Hresult(0x800401E4), "Invalid syntax"},
      {E::kAdsBadPathname, Hresult(0x80005000), "An invalid directory pathname was passed"},
      {E::kAdsUnknownObject, Hresult(0x80005004), "Unknown directory object class"},
      {E::kAdsObjectUnbound, Hresult(0x80005005), "The object has not been bound to the directory."},
      {E::kAdsSchemaViolation, Hresult(0x8000500C),
       "An attempt was made to modify an object to include an illegal attribute."},
      {E::kAdsPropertyNotFound, Hresult(0x8000500D), "The directory property cannot be found in the cache"},
      {E::kWmiNotFound, Hresult(0x80041002), "Not found"},
      {E::kWmiInvalidNamespace, Hresult(0x8004100E), "Invalid namespace"},
      {E::kWmiInvalidClass, Hresult(0x80041010), "Invalid class"},
      {E::kWmiInvalidQuery, Hresult(0x80041017), "Invalid query"},
      {E::kSystemPathNotFound, Hresult(0x80070003), "The system cannot find the path specified."},
      {E::kSystemAccessDenied, Hresult(0x80070005), "Access is denied."},
      {E::kSystemSharingViolation, Hresult(0x80070020),
       "The process cannot access the file because it is being used by another process."},
      {E::kSystemBadNetPath, Hresult(0x80070035), "The network path was not found."},
      {E::kSystemBadPassword, Hresult(0x80070056), "The specified network password is not correct."},
      {E::kSystemInvalidParameter, Hresult(0x80070057), "The parameter is incorrect."},
      {E::kSystemAlreadyExists, Hresult(0x800700B7), "Cannot create a file when that file already exists."},
      {E::kSystemNoMoreItems, Hresult(0x80070103), "No more data is available."},
      {E::kSystemServiceNotActive, Hresult(0x80070426), "The service has not been started."},
      {E::kSystemRpcUnavailable, Hresult(0x800706BA), "The RPC server is unavailable."},
      {E::kSystemMemberInAlias, Hresult(0x80070562),
       "The specified account name is already a member of the group."},
      {E::kSystemNoSuchMember, Hresult(0x8007056B),
       "A new member could not be added to a local group because the member does not exist."},
      {E::kSystemBadUsername, Hresult(0x8007089A), "The user name or group name parameter is invalid"},
      {E::kSystemGroupNotFound, Hresult(0x800708AC), "The group name could not be found"},
      {E::kSystemUserNotFound, Hresult(0x800708AD), "The user name could not be found"},
      {E::kSystemUserExists, Hresult(0x800708B0), "The account already exists"},
      {E::kAccountNotChanged, Hresult(0x80004005), "The account could not be changed"},
  };
  return table;
}

const ErrorEntry& ErrorOf(Error error) { return ErrorTable().at(static_cast<std::size_t>(error)); }

void Raise(Error error) {
  const auto& e = ErrorOf(error);
  throw RaisedError(e.number, e.message);
}

void Raise(Error error, std::string_view detail) {
  const auto& e = ErrorOf(error);
  std::string text = e.message;
  if (const auto at = text.find("%1"); at != std::string::npos)
    throw RaisedError(e.number, text.replace(at, 2, detail));
  if (!text.empty() && text.back() == '.') text.pop_back();
  throw RaisedError(e.number, text + ": " + std::string(detail));
}

}  // namespace quorvale
