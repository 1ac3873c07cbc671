// A test's own text in code page 936, as the system hands text to the ANSI
// functions. A text without that form fails the test and stands as "", so
// the test goes on to its other checks.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

inline std::string A(const std::string& utf8) {
  const auto ansi = ToAnsi(utf8);
  EXPECT_TRUE(ansi) << "no code page 936 form: " << utf8;
  return ansi.value_or("");
}

}  // namespace quorvale::win32
