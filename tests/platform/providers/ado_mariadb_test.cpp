// The MySQL test connection against a real MariaDB server on loopback
// (tools/start-mariadb). Skipped when none answers, unless
// QUORVALE_REQUIRE_MARIADB=1 says the server must be there (CI).
#include <gtest/gtest.h>

#include <cstdlib>

#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/ado_connection.h"

namespace quorvale {
namespace {

std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

class AdoMariaDb : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDatabaseProviders(temp_.machine().Registry(), "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    host_ = {&temp_.machine().Registry(),
             [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }};
    Err err;
    if (err.Resume([&] { Open("127.0.0.1", password_); })) return;
    const std::string reason = "no MariaDB answers on 127.0.0.1 for " + user_ +
                               " (start it with tools/start-mariadb): " + err.Description();
    if (Env("QUORVALE_REQUIRE_MARIADB", "0") == "1") FAIL() << reason;
    GTEST_SKIP() << reason;
  }

  // The server end's test connection, the values joined in as typed.
  ComPtr<IDispatch> Open(const std::string& server, const std::string& password) {
    auto c = CreateObject("ADODB.Connection", host_);
    CallMethod(c.get(), "Open",
               {Variant("driver={MySQL ODBC 3.51 Driver};server=" + server + ";uid=" + user_ +
                        ";pwd=" + password + ";database=mysql")});
    return c;
  }

  testing::TempMachine temp_;
  ComHost host_;
  std::string user_ = Env("QUORVALE_MARIADB_USER", "quorvale");
  std::string password_ = Env("QUORVALE_MARIADB_PASSWORD", "Quorvale-Test1");
};

TEST_F(AdoMariaDb, RightPasswordConnectsOverTcpAndSocket) {
  for (const char* server : {"127.0.0.1", "localhost"}) {
    auto c = Open(server, password_);
    EXPECT_EQ(GetProperty(c.get(), "State"), Variant(std::int32_t{1})) << server;
    auto rs =
        CallMethod(c.get(), "Execute", {Variant("select user, host from user where user = '" + user_ + "'")});
    const auto records = std::dynamic_pointer_cast<DispatchObject>(rs.AsObject());
    ASSERT_TRUE(records) << server;
    IDispatch* rsd = records->get();
    EXPECT_EQ(GetProperty(rsd, "EOF"), Variant(false));
    Variant key("user");
    EXPECT_EQ(Call(rsd, "Fields", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&key}).TextForm(), user_);
    CallMethod(c.get(), "Close");
  }
}

TEST_F(AdoMariaDb, WrongPasswordFailsWithTheDriversMessage) {
  Err err;
  ComPtr<IDispatch> c = CreateObject("ADODB.Connection", host_);
  EXPECT_FALSE(err.Resume([&] {
    CallMethod(c.get(), "Open",
               {Variant("driver={MySQL ODBC 3.51 Driver};server=127.0.0.1;uid=" + user_ +
                        ";pwd=" + password_ + "x;database=mysql")});
  }));
  EXPECT_EQ(err.Number(), -2147467259);
  EXPECT_NE(err.Description().find("Access denied for user"), std::string::npos) << err.Description();
  // The page closes the failed connection and ignores that the close fails too.
  EXPECT_FALSE(err.Resume([&] { CallMethod(c.get(), "Close"); }));
  EXPECT_EQ(GetProperty(c.get(), "State"), Variant(std::int32_t{0}));
}

}  // namespace
}  // namespace quorvale
