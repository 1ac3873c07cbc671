// The errors the platform raises, one row each: the Basic runtime's numbers,
// ADO's, and the HRESULTs automation objects fail with, each with the
// message Err.Description shows.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvale {

enum class Error {
  // The Basic runtime.
  kInvalidCall,
  kSubscriptOutOfRange,
  kTypeMismatch,
  kInternal,
  kBadFileName,
  kFileNotFound,
  kFileAlreadyExists,
  kPermissionDenied,
  kPathFileAccess,
  kPathNotFound,
  kResourceNotFound,
  kInvalidPropertyValue,
  kInvalidPropertyArrayIndex,
  kObjectRequired,
  kCannotCreateObject,
  kNoSuchMember,
  kWrongArguments,
  // ADO.
  kAdoArguments,
  kAdoNotAllowed,
  kAdoStreamClosed,
  kAdoObjectClosed,
  kAdoObjectOpen,
  kAdoNoCurrentRecord,
  kAdoItemNotFound,
  kAdoProvider,
  // Monikers, ADSI and WMI.
  kInvalidSyntax,
  kAdsBadPathname,
  kAdsUnknownObject,
  kAdsObjectUnbound,
  kAdsSchemaViolation,
  kAdsPropertyNotFound,
  kWmiNotFound,
  kWmiInvalidNamespace,
  kWmiInvalidClass,
  kWmiInvalidQuery,
  // Windows errors as automation reports them (0x8007xxxx).
  kSystemPathNotFound,
  kSystemAccessDenied,
  kSystemSharingViolation,
  kSystemBadNetPath,
  kSystemBadPassword,
  kSystemInvalidParameter,
  kSystemAlreadyExists,
  kSystemNoMoreItems,
  kSystemServiceNotActive,
  kSystemRpcUnavailable,
  kSystemMemberInAlias,
  kSystemNoSuchMember,
  kSystemBadUsername,
  kSystemGroupNotFound,
  kSystemUserNotFound,
  kSystemUserExists,
  kAccountNotChanged,
};

struct ErrorEntry {
  Error error;
  std::int32_t number;  // Err.Number: the runtime's number or the HRESULT
  const char* message;
};

// Every row, in the order of Error.
const std::vector<ErrorEntry>& ErrorTable();
const ErrorEntry& ErrorOf(Error error);
inline std::int32_t ErrorNumber(Error error) { return ErrorOf(error).number; }

// Raises the error with its message; with a detail, the detail in the
// message's place for it ("%1"), or where it has none the message (without
// its final period) followed by ": " and the detail.
[[noreturn]] void Raise(Error error);
[[noreturn]] void Raise(Error error, std::string_view detail);

}  // namespace quorvale
