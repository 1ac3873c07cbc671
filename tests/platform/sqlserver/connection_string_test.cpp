#include "quorvale/sqlserver/connection_string.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvale::sqlserver {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(ConnectionString, KeysValuesAndBraces) {
  struct Case {
    const char* text;
    Pairs expected;
  } cases[] = {
      {"driver={SQL server};server=(local);uid=sa;pwd=Sa2000;database=master",
       {{"DRIVER", "SQL server"},
        {"SERVER", "(local)"},
        {"UID", "sa"},
        {"PWD", "Sa2000"},
        {"DATABASE", "master"}}},
      {"uid=;pwd=", {{"UID", ""}, {"PWD", ""}}},
      {" Uid = sa ;PWD= a b ;", {{"UID", "sa"}, {"PWD", "a b"}}},
      {"pwd={a;b};database={Pa}}nel}", {{"PWD", "a;b"}, {"DATABASE", "Pa}nel"}}},
      {"pwd={ x };uid={}}}", {{"PWD", " x "}, {"UID", "}"}}},
      {"pwd={{=;}} } ;uid=u", {{"PWD", "{=;} "}, {"UID", "u"}}},
      {"pwd=x=y", {{"PWD", "x=y"}}},
      // Empty attributes are passed over; they never join the next key.
      {";server=s;; ;uid=u;", {{"SERVER", "s"}, {"UID", "u"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseConnectionString(c.text), c.expected) << c.text;
}

TEST(ConnectionString, MalformedOnesAreRefused) {
  // An attribute without "=" in the middle is refused as at the end, not
  // read as part of the next key ("SERVER;UID").
  for (const char* text : {"pwd={a;b", "pwd={a}b;uid=u", "pwd={a}}", "driver={SQL server};server",
                           "driver={SQL server};server;uid=sa", "sa;database=x"})
    EXPECT_THROW(ParseConnectionString(text), std::invalid_argument) << text;
}

}  // namespace
}  // namespace quorvale::sqlserver
