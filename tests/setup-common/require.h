// What a lookup found, for test helpers that hand it on and so cannot
// ASSERT. Nothing found fails the test at the caller's line and ends the
// test with an exception, which the test framework reports as it does
// ASSERT's failure: the other tests of the program still run. In a test
// body, ASSERT_TRUE(found) before using it says the same more plainly.
//
//   ui::Control& next = Require(page.FindControl("NextButton"), "NextButton");
//   sqlserver::Catalogue c = Require(sqlserver::LoadCatalogue(machine), "the catalogue");
//
// A pointer or a named optional gives a reference to what it holds; an
// optional made in the call gives its value, so nothing refers into a
// temporary.
#pragma once

#include <gtest/gtest.h>

#include <source_location>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace quorvale::testing {

struct NothingFound : std::runtime_error {
  using std::runtime_error::runtime_error;
};

template <class Found>
decltype(auto) Require(Found&& found, const std::string& what,
                       std::source_location where = std::source_location::current()) {
  if (!found) {
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "not found: " << what;
    throw NothingFound("not found: " + what);
  }
  if constexpr (std::is_lvalue_reference_v<Found> || std::is_pointer_v<std::remove_cvref_t<Found>>)
    return *found;
  else
    return std::remove_cvref_t<decltype(*found)>(*std::forward<Found>(found));
}

}  // namespace quorvale::testing
