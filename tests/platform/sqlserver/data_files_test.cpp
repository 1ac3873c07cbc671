// Databases attached from their files: what a file must hold, the users it
// carries from server to server, and files that belong to one database only.
#include "quorvale/sqlserver/data_files.h"

#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/sqlserver/session.h"
#include "quorvale/sqlserver/sql_error.h"

namespace quorvale::sqlserver {
namespace {

const std::string kData = std::string("SQL Server 2000 data file\n");
const std::string kLog = std::string("SQL Server 2000 log file\n");

TEST(DataFiles, NewFilesAreTheirHeaderAndNulBytes) {
  EXPECT_EQ(NewDataFile(40), kData + std::string(40 - kData.size(), '\0'));
  EXPECT_EQ(NewLogFile(0), kLog);
}

class AttachFromFiles : public ::testing::Test {
 protected:
  AttachFromFiles() { InstallSqlServer(temp_.machine()); }
  std::unique_ptr<Session> Sa() {
    return Session::Connect(CurrentMachine(), {"(local)", "sa", "Sa2000", "master"});
  }
  static std::string Attach(const std::string& db, const std::string& mdf, const std::string& ldf) {
    return "USE master EXEC sp_attach_db @dbname = N'" + db + "', @filename1= N'C:\\D\\" + mdf +
           "', @filename2= N'C:\\D\\" + ldf + "'";
  }
  // The SQL Server error number of the batch, 0 when it runs.
  static int Fails(Session& s, const std::string& batch) {
    try {
      s.Execute(batch);
      return 0;
    } catch (const SqlError& e) {
      return e.Native();
    }
  }
  testing::TempMachine temp_;
};

TEST_F(AttachFromFiles, OnlyDataAndLogFilesAttachAndEachToOneDatabase) {
  temp_.Write("C:\\D\\a.mdf", NewDataFile(100));
  temp_.Write("C:\\D\\a.ldf", NewLogFile(100));
  temp_.Write("C:\\D\\text.mdf", "not a database");
  auto sa = Sa();
  struct Case {
    std::string batch;
    int error;
  } cases[] = {
      {Attach("x", "text.mdf", "a.ldf"), 5172},
      {Attach("x", "a.ldf", "a.ldf"), 5172},
      {Attach("x", "a.mdf", "a.mdf"), 5172},
      {Attach("x", "a.mdf", "missing.ldf"), 5105},
      {Attach("a", "a.mdf", "a.ldf"), 0},
      {Attach("b", "a.mdf", "a.ldf"), 5105},  // attached to a already
      {"Drop Database [a]", 0},
      {Attach("b", "a.mdf", "a.ldf"), 5105},  // gone with the database
  };
  for (const auto& c : cases) EXPECT_EQ(Fails(*sa, c.batch), c.error) << c.batch;
  EXPECT_FALSE(temp_.Exists("C:\\D\\a.mdf"));
}

TEST_F(AttachFromFiles, UsersTravelInTheDataFileAndComeBackOrphaned) {
  temp_.Write("C:\\D\\p.mdf", NewDataFile(4096));
  temp_.Write("C:\\D\\p.ldf", NewLogFile(512));
  {
    auto sa = Sa();
    sa->Execute(Attach("Panel", "p.mdf", "p.ldf"));
    sa->Execute("sp_addlogin 'PanelUser','pw1','Panel'");
    sa->Execute("USE Panel EXEC sp_grantdbaccess 'PanelUser' EXEC sp_addrolemember 'db_owner','PanelUser'");
  }
  const auto read = ReadDataFileUsers(temp_.Host("C:\\D\\p.mdf"));
  ASSERT_TRUE(read);
  const auto& users = *read;
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[1].name, "PanelUser");
  EXPECT_EQ(users[1].roles, std::set<std::string>{"db_owner"});
  EXPECT_EQ(temp_.Read("C:\\D\\p.mdf").size(), 4096u);  // the header grew into its NUL bytes

  // Another server: the user is there, its login is not.
  std::filesystem::remove(CatalogueFile(temp_.machine()));
  InstallSqlServer(temp_.machine());
  auto sa = Sa();
  sa->Execute(Attach("Panel", "p.mdf", "p.ldf"));
  sa->Execute("sp_addlogin 'PanelUser','pw2','Panel'");
  EXPECT_THROW(Session::Connect(CurrentMachine(), {"(local)", "PanelUser", "pw2", "Panel"}), SqlError);
  EXPECT_EQ(Fails(*sa, "USE Panel EXEC sp_grantdbaccess 'PanelUser'"), 15023);
  sa->Execute("USE Panel EXEC sp_change_users_login 'AUTO_FIX','PanelUser'");
  Session::Connect(CurrentMachine(), {"(local)", "PanelUser", "pw2", "Panel"});
  // The dbo of the files is whoever attached them here.
  auto c = LoadCatalogue(temp_.machine());
  ASSERT_TRUE(c);
  const Database* panel = c->FindDatabase("Panel");
  ASSERT_TRUE(panel);
  ASSERT_FALSE(panel->users.empty());
  EXPECT_EQ(panel->users[0].login_sid, 1);
}

TEST_F(AttachFromFiles, WhatADataFileHeaderHolds) {
  struct Case {
    std::string bytes;
    int users;  // -1: no data file
  } cases[] = {
      {kData, 0},
      {kData + std::string(3, '\0') + "user\tx\t1\t\n", 0},  // after the NUL bytes: pages
      {kData + "user\tx\t7\tdb_owner\n" + std::string(3, '\0') + "pages", 1},
      {kData + "user\tx\t1\t\nuser\ty\t2\t\n", 2},
      {kData + "user\tx\n", -1},
      {kData + "user\tx\t1\t", -1},  // cut off
      {kData + "nonsense\n", -1},
      {"SQL Server 2000 data fil", -1},
      {kLog, -1},
  };
  for (const auto& c : cases) {
    temp_.Write("C:\\D\\d.mdf", c.bytes);
    auto users = ReadDataFileUsers(temp_.Host("C:\\D\\d.mdf"));
    EXPECT_EQ(users ? static_cast<int>(users->size()) : -1, c.users) << c.bytes;
  }
  EXPECT_FALSE(ReadDataFileUsers(temp_.Host("C:\\D\\none.mdf")));
}

// The users go into the header and the NUL bytes after it, never over the
// pages: a user line from elsewhere ("%zz" is written "%25zz") or a new user
// that needs more room leaves the file as it was.
TEST_F(AttachFromFiles, UsersWrittenIntoTheHeaderLeaveThePages) {
  using namespace std::string_literals;
  const std::string x_line = "user\tx\t1\t\n", odd_line = "user\t%zz\t1\t\n";
  const DatabaseUser x{"x", 1, {}}, odd{"%zz", 1, {}};
  struct Case {
    std::string bytes;
    std::vector<DatabaseUser> users;
    std::string after;  // "": as it was
  } cases[] = {
      {kData + x_line + "\0\0pages"s, {}, kData + std::string(12, '\0') + "pages"},
      {kData + x_line + std::string(13, '\0') + "pages", {x, x}, kData + x_line + x_line + "\0\0\0pages"s},
      {kData + x_line + std::string(10, '\0') + "pages", {x, x}, ""},
      {kData + odd_line + "\0pages"s, {odd}, ""},
      {kData + odd_line + "\0\0\0"s, {odd}, kData + "user\t%25zz\t1\t\n\0"s},
      {kData + x_line, {x, x}, kData + x_line + x_line},
  };
  for (const auto& c : cases) {
    temp_.Write("C:\\D\\d.mdf", c.bytes);
    EXPECT_EQ(WriteDataFileUsers(temp_.Host("C:\\D\\d.mdf"), c.users), !c.after.empty()) << c.bytes;
    EXPECT_EQ(temp_.Read("C:\\D\\d.mdf"), c.after.empty() ? c.bytes : c.after) << c.bytes;
  }
}

}  // namespace
}  // namespace quorvale::sqlserver
