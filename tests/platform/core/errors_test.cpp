#include "quorvale/core/errors.h"

#include <gtest/gtest.h>

#include "quorvale/core/err.h"

namespace quorvale {
namespace {

TEST(Errors, RaiseGivesTheNumberAndMessageErrShows) {
  struct Case {
    Error error;
    const char* detail;  // nullptr: none
    std::int32_t number;
    const char* description;
  };
  const Case cases[] = {
      {Error::kInvalidCall, nullptr, 5, "Invalid procedure call or argument"},
      {Error::kSubscriptOutOfRange, nullptr, 9, "Subscript out of range"},
      {Error::kFileNotFound, nullptr, 53, "File not found"},
      {Error::kWrongArguments, nullptr, 450, "Wrong number of arguments or invalid property assignment"},
      {Error::kCannotCreateObject, "IIS is not installed", 429,
       "ActiveX component can't create object: IIS is not installed"},
      {Error::kNoSuchMember, "SpecialFolders", 438,
       "Object doesn't support this property or method: SpecialFolders"},
      {Error::kAdsBadPathname, nullptr, -2147463168, "An invalid directory pathname was passed"},
      {Error::kSystemPathNotFound, nullptr, -2147024893, "The system cannot find the path specified."},
      // The final period goes before the detail.
      {Error::kSystemNoMoreItems, "no free site number in 1000 draws", -2147024637,
       "No more data is available: no free site number in 1000 draws"},
      {Error::kSystemUserNotFound, "Panel", -2147022675, "The user name could not be found: Panel"},
      {Error::kAdoNotAllowed, "the object is open", 3219,
       "Operation is not allowed in this context: the object is open"},
      {Error::kAdoObjectClosed, nullptr, -2146824584, "Operation is not allowed when the object is closed."},
      // A message with a place for the detail takes it there.
      {Error::kResourceNotFound, "101", 326, "Resource with identifier '101' not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    Err err;
    err.Resume([&] { c.detail ? Raise(c.error, c.detail) : Raise(c.error); });
    EXPECT_EQ(err.Number(), c.number);
    EXPECT_EQ(err.Description(), c.description);
  }
}

TEST(Errors, EveryRowStandsAtItsOwnPlaceWithAMessage) {
  for (std::size_t i = 0; i < ErrorTable().size(); ++i) {
    const auto& row = ErrorTable()[i];
    EXPECT_EQ(static_cast<std::size_t>(row.error), i);
    EXPECT_NE(row.number, 0);
    EXPECT_NE(std::string(row.message), "");
  }
  EXPECT_EQ(&ErrorOf(Error::kAccountNotChanged), &ErrorTable().back());
}

}  // namespace
}  // namespace quorvale
