// Conn.asp as the setup edits it and the repair reads and rewrites it,
// byte for byte in code page 936.
#include "quorvale/setup/connection_settings.h"

#include <gtest/gtest.h>

#include "quorvale/core/err.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::setup {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Quorvale虚拟主机管理系统v3.0 主控端";
constexpr const char* kFile = "C:\\Program Files\\Quorvale虚拟主机管理系统v3.0 主控端\\Web\\Inc\\Conn.asp";

// A page like the one the payload ships, lines joined with CR LF.
std::string Page(const std::vector<std::string>& settings) {
  std::vector<std::string> lines = {"<%", "'数据库连接", "Server.ScriptTimeout = 90", "ServerPath = \"/\""};
  lines.insert(lines.end(), settings.begin(), settings.end());
  lines.insert(lines.end(),
               {"If DBType = \"SQL\" Then", "  ConnStr = \"Data Source=\" & ServerName", "End If", "%>", ""});
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
  return out;
}

const std::string kShipped = Page(
    {"DBType = \"Access\"               '数据库类型,如果数据库为SQL数据库,则此值为SQL",
     "ServerName = \"(local)\"          'SQLServer数据库服务器", "UserName = \"\"                   '用户名",
     "PassWord = \"\"                       '密码", "DataBase = \"\"                       '数据库名"});

const std::string kRewritten = Page(
    {"DBType = \"SQL\"               '数据库类型,如果数据库为SQL数据库,则此值为SQL",
     "ServerName = \"db1\"              'SQLServer数据库服务器",
     "UserName = \"Quorvale\"                   '用户名", "PassWord = \"p\"\"w\"                       '密码",
     "DataBase = \"Panel\"                       '数据库名"});

class ConnAsp : public ::testing::Test {
 protected:
  void Ship(const std::string& text) { temp_.Write(kFile, *win32::ToAnsi(text)); }
  std::string OnDisk() { return win32::FromAnsi(temp_.Read(kFile)); }
  static std::int32_t ErrorOf(const std::function<void()>& statement) {
    Err err;
    err.Resume(statement);
    return err.Number();
  }
  quorvale::testing::TempMachine temp_;
};

TEST_F(ConnAsp, SetupEditsTheShippedFileOnce) {
  Ship(kShipped);
  EditConnectionSettings(kFolder, "(local)", "Quorvale", "pw1", "Quorvale");
  const std::string edited =
      Page({"DBType = \"SQL\"               '数据库类型,如果数据库为SQL数据库,则此值为SQL",
            "ServerName = \"(local)\"          'SQLServer数据库服务器",
            "UserName = \"Quorvale\"                   '用户名",
            "PassWord = \"pw1\"                       '密码",
            "DataBase = \"Quorvale\"                       '数据库名"}) +
      "\r\n";
  EXPECT_EQ(OnDisk(), edited);
  EXPECT_EQ(temp_.Read(kFile), *win32::ToAnsi(edited));
  // Edited again, with other values: nothing matches, one more line end.
  EditConnectionSettings(kFolder, "(local)", "Other", "x", "Other");
  EXPECT_EQ(OnDisk(), edited + "\r\n");
}

TEST_F(ConnAsp, RepairReadsTheFiveValues) {
  struct Case {
    std::vector<std::string> settings;
    ConnectionSettings expected;
  } cases[] = {
      {{}, {"", "/", "", "", ""}},
      {{"DBType = \"Access\"", "ServerName = \"(local)\"", "UserName = \"\"", "PassWord = \"\"",
        "DataBase = \"\""},
       {"Access", "(local)", "", "", ""}},
      {{"dbtype=\"SQL\"", "ServerName = \"db1\"     'comment \"x\"", "  UserName = \"indented\"",
        "UserName = \"a\"\"b\"", "PassWord = \"open", "PASSWORD = no quote", "DataBase = \"Panel\"",
        "UserName = \"after the database\""},
       {"SQL", "db1", "a\"b", "open", "Panel"}},
      {{"Data", "UserName = \"first\"", "UserName = \"second\"", "DataBaseType = \"x\"", "DataBase = \"y\""},
       {"", "/", "second", "", "x"}},
  };
  for (const auto& c : cases) {
    auto got = ReadConnectionSettings(Page(c.settings));
    EXPECT_EQ(got.type + "|" + got.server + "|" + got.login + "|" + got.pw + "|" + got.db,
              c.expected.type + "|" + c.expected.server + "|" + c.expected.login + "|" + c.expected.pw + "|" +
                  c.expected.db);
  }
}

TEST_F(ConnAsp, RepairRewritesOnlyTheSettingsLines) {
  Ship(kShipped);
  RewriteConnectionSettings(kFolder, "db1", "Quorvale", "p\"w", "Panel");
  EXPECT_EQ(OnDisk(), kRewritten + "\r\n");
  RewriteConnectionSettings(kFolder, "db1", "Quorvale", "p\"w", "Panel");
  EXPECT_EQ(OnDisk(), kRewritten + "\r\n\r\n");
  auto back = ReadConnectionSettings(ReadSettingsFile(kFolder));
  EXPECT_EQ(back.type + "|" + back.server + "|" + back.login + "|" + back.pw + "|" + back.db,
            "SQL|db1|Quorvale|p\"w|Panel");

  // Identical lines change together; a line after the DataBase line stays.
  const std::string twice = Page({"UserName = \"old\"", "DBType = \"Access\"", "UserName = \"old\"",
                                  "DataBase = \"old\"", "PassWord = \"old\""});
  EXPECT_EQ(RewrittenSettings(twice, "s", "u", "p", "d"),
            Page({"UserName = \"u\"                   '用户名",
                  "DBType = \"SQL\"               '数据库类型,如果数据库为SQL数据库,则此值为SQL",
                  "UserName = \"u\"                   '用户名",
                  "DataBase = \"d\"                       '数据库名", "PassWord = \"old\""}));
}

TEST_F(ConnAsp, AValueWithQuotesComesBackAsWritten) {
  for (const std::string pw : {"\"", "a\"\"b", "\"x", "x\"", "'\";"}) {
    Ship(kShipped);
    EditConnectionSettings(kFolder, "(local)", "Quorvale", pw, "Quorvale");
    EXPECT_EQ(ReadConnectionSettings(ReadSettingsFile(kFolder)).pw, pw);
    RewriteConnectionSettings(kFolder, "(local)", "Quorvale", pw + "2", "Quorvale");
    EXPECT_EQ(ReadConnectionSettings(ReadSettingsFile(kFolder)).pw, pw + "2");
  }
}

TEST_F(ConnAsp, AFileThatCannotBeReadOrWrittenIsLeftAsItIs) {
  // Missing: neither writer makes it.
  EXPECT_EQ(ErrorOf([] { EditConnectionSettings(kFolder, "s", "u", "p", "d"); }), 53);
  EXPECT_EQ(ErrorOf([] { RewriteConnectionSettings(kFolder, "s", "u", "p", "d"); }), 53);
  EXPECT_FALSE(temp_.Exists(kFile));
  // Bytes code page 936 does not hold would not come back the same.
  const std::string damaged = *win32::ToAnsi(kShipped) + "\xFF\xFF";
  temp_.Write(kFile, damaged);
  EXPECT_EQ(ErrorOf([] { EditConnectionSettings(kFolder, "s", "u", "p", "d"); }), 75);
  EXPECT_EQ(temp_.Read(kFile), damaged);
  // A value code page 936 cannot hold: nothing is written.
  Ship(kShipped);
  EXPECT_EQ(ErrorOf([] { EditConnectionSettings(kFolder, "s", "u", "p\xF0\x9F\x98\x80", "d"); }), 5);
  EXPECT_EQ(OnDisk(), kShipped);
  // A folder of that name.
  std::filesystem::remove(temp_.Host(kFile));
  std::filesystem::create_directories(temp_.Host(kFile));
  EXPECT_EQ(ErrorOf([] { RewriteConnectionSettings(kFolder, "s", "u", "p", "d"); }), 75);
}

}  // namespace
}  // namespace quorvale::setup
