// The MariaDB login the tests may use (tools/start-mariadb makes it, the
// environment may name another), and what a test does when no server takes
// it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quorvale::setup::testing {

inline std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

inline std::string MariaDbUser() { return Env("QUORVALE_MARIADB_USER", "quorvale"); }
inline std::string MariaDbPassword() { return Env("QUORVALE_MARIADB_PASSWORD", "Quorvale-Test1"); }

// Skips the test for reason, or fails it where QUORVALE_REQUIRE_MARIADB=1
// says the server must be there (CI).
#define SKIP_OR_FAIL_WITHOUT_MARIADB(reason)                                                         \
  do {                                                                                               \
    if (::quorvale::setup::testing::Env("QUORVALE_REQUIRE_MARIADB", "0") == "1") FAIL() << (reason); \
    GTEST_SKIP() << (reason);                                                                        \
  } while (0)

}  // namespace quorvale::setup::testing
