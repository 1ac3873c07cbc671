// ADODB.Connection through unixODBC into the SQL Server stand-in, late
// bound as the setup programs call it, with their statements as they send them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/sqlserver/catalogue.h"

namespace quorvale {
namespace {

constexpr const char* kAdmin = "driver={SQL server};server=(local);uid=sa;pwd=Sa2000;database=master";

class AdoSqlServer : public ::testing::Test {
 protected:
  void SetUp() override {
    sqlserver::InstallSqlServer(temp_.machine());
    RegisterDatabaseProviders(temp_.machine().Registry(), "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    host_ = {&temp_.machine().Registry(),
             [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }};
  }

  ComPtr<IDispatch> Open(const std::string& connection) {
    auto c = CreateObject("ADODB.Connection", host_);
    CallMethod(c.get(), "Open", {Variant(connection)});
    return c;
  }
  // The error an Open or Execute raised, as resume-on-error code records it.
  Err Fails(const std::function<void()>& statement) {
    Err err;
    EXPECT_FALSE(err.Resume(statement));
    return err;
  }
  static IDispatch* Dispatch(const Variant& v) {
    auto o = std::dynamic_pointer_cast<DispatchObject>(v.AsObject());
    return o ? o->get() : nullptr;
  }
  static bool AtEnd(const Variant& rs) { return GetProperty(Dispatch(rs), "EOF") == Variant(true); }
  // rs(name), the default member as VBScript calls it, in its text form; a
  // value without one fails the test and stands as "".
  static std::string FieldText(const Variant& rs, const std::string& name) {
    Variant key(name);
    const auto text = Call(Dispatch(rs), "Fields", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&key}).TextForm();
    EXPECT_TRUE(text) << "the field " << name << " has no text form";
    return text.value_or("");
  }
  static Variant Field(const Variant& rs, const std::string& name) { return Variant(FieldText(rs, name)); }
  // Every value of one column, walking the recordset with MoveNext.
  static std::vector<std::string> Column(const Variant& rs, const std::string& name) {
    std::vector<std::string> out;
    while (!AtEnd(rs)) {
      out.push_back(FieldText(rs, name));
      CallMethod(Dispatch(rs), "MoveNext");
    }
    return out;
  }

  static Variant Execute(const ComPtr<IDispatch>& c, const std::string& sql) {
    return CallMethod(c.get(), "Execute", {Variant(sql)});
  }
  static std::string On(const std::string& uid, const std::string& pwd, const std::string& db) {
    return "driver={SQL server};server=(local);uid=" + uid + ";pwd=" + pwd + ";database=" + db;
  }
  // The data files as the payload leaves them, already named after the database.
  void ShipDataFiles(const std::string& db, bool with_log = true) {
    temp_.Write("C:\\Program Files\\Quorvale\\Data\\" + db + ".mdf",
                std::string("SQL Server 2000 data file\n") + std::string(64, '\0'));
    if (with_log)
      temp_.Write("C:\\Program Files\\Quorvale\\Data\\" + db + ".ldf",
                  std::string("SQL Server 2000 log file\n") + std::string(64, '\0'));
  }
  static std::string Attach(const std::string& db) {
    const std::string folder = "C:\\Program Files\\Quorvale";
    return "USE master EXEC sp_attach_db @dbname = N'" + db + "', @filename1= N'" + folder + "\\Data\\" + db +
           ".mdf" + "', @filename2= N'" + folder + "\\Data\\" + db + ".ldf" + "'";
  }
  // The control end's install recipe, every statement as it sends it.
  void Install(const std::string& db, const std::string& login, const std::string& pw) {
    ShipDataFiles(db);
    auto admin = Open(kAdmin);
    Execute(admin, Attach(db));
    Execute(admin, "sp_addlogin '" + login + "','" + pw + "','" + db + "'");
    CallMethod(admin.get(), "Close");
    auto on_db = Open(On("sa", "Sa2000", db));
    Execute(on_db, "sp_grantdbaccess '" + login + "'");
    Execute(on_db, "sp_addrolemember 'db_owner','" + login + "'");
  }
  // The catalogue's file; a file that cannot be read fails the test.
  std::string CatalogueText() const {
    const auto text = ReadStateFile(temp_.Folder() / "sqlserver" / "catalogue.txt");
    EXPECT_TRUE(text) << "catalogue.txt cannot be read";
    return text.value_or("");
  }

  testing::TempMachine temp_;
  ComHost host_;
};

TEST_F(AdoSqlServer, AdministratorConnectsAndReadsTheCatalogue) {
  auto c = Open(kAdmin);
  EXPECT_EQ(GetProperty(c.get(), "State"), Variant(std::int32_t{1}));
  Variant rs = CallMethod(c.get(), "Execute", {Variant("select * from sysdatabases Where name = 'master'")});
  EXPECT_FALSE(AtEnd(rs));
  EXPECT_EQ(Field(rs, "dbid"), Variant("1"));
  CallMethod(c.get(), "Close");
  EXPECT_EQ(GetProperty(c.get(), "State"), Variant(std::int32_t{0}));
}

TEST_F(AdoSqlServer, InstallAttachesTheDatabaseAndMakesTheLoginItsOwner) {
  auto admin = Open(kAdmin);
  EXPECT_TRUE(AtEnd(Execute(admin, "select * from sysdatabases Where name = 'Panel'")));
  EXPECT_TRUE(AtEnd(Execute(admin, "Select * From sysxlogins Where name = 'PanelUser'")));
  Install("Panel", "PanelUser", "pw1");

  // The test connection as the new login, and what the catalogue now shows.
  auto panel = Open(On("PanelUser", "pw1", "Panel"));
  EXPECT_EQ(GetProperty(panel.get(), "State"), Variant(std::int32_t{1}));
  Variant db = Execute(admin, "select * from sysdatabases Where name = 'panel'");
  ASSERT_FALSE(AtEnd(db));
  EXPECT_EQ(Field(db, "name"), Variant("Panel"));
  EXPECT_EQ(Field(db, "filename"), Variant("C:\\Program Files\\Quorvale\\Data\\Panel.mdf"));
  EXPECT_FALSE(AtEnd(Execute(admin, "Select * From sysxlogins Where name = 'PanelUser'")));
  // The server holds its files: Windows may not delete them now.
  EXPECT_TRUE(temp_.machine().IsHeld("C:\\Program Files\\Quorvale\\Data\\Panel.mdf"));
  EXPECT_TRUE(temp_.machine().IsHeld("C:\\Program Files\\Quorvale\\Data\\Panel.ldf"));
}

TEST_F(AdoSqlServer, AttachWithoutTheLogFileFailsAndChangesNothing) {
  ShipDataFiles("Panel", false);
  auto admin = Open(kAdmin);
  const std::string before = CatalogueText();
  Err err = Fails([&] { Execute(admin, Attach("Panel")); });
  EXPECT_EQ(err.Number(), -2147467259);
  EXPECT_NE(err.Description().find("Device activation error. The physical file name "
                                   "'C:\\Program Files\\Quorvale\\Data\\Panel.ldf' may be incorrect."),
            std::string::npos)
      << err.Description();
  EXPECT_EQ(CatalogueText(), before);
  EXPECT_TRUE(AtEnd(Execute(admin, "select * from sysdatabases Where name = 'Panel'")));
  // The install goes on: the login of a database that is not there fails too.
  EXPECT_NE(
      Fails([&] { Execute(admin, "sp_addlogin 'PanelUser','pw','Panel'"); }).Description().find("Panel"),
      std::string::npos);
  EXPECT_FALSE(temp_.machine().IsHeld("C:\\Program Files\\Quorvale\\Data\\Panel.mdf"));
}

TEST_F(AdoSqlServer, ALoginThatExistsFailsOnlyTheCreateLoginStep) {
  auto admin = Open(kAdmin);
  Execute(admin, "sp_addlogin 'PanelUser','old','master'");
  ShipDataFiles("Panel");
  Execute(admin, Attach("Panel"));
  Err err = Fails([&] { Execute(admin, "sp_addlogin 'PanelUser','pw1','Panel'"); });
  EXPECT_NE(err.Description().find("The login 'PanelUser' already exists."), std::string::npos);
  auto on_db = Open(On("sa", "Sa2000", "Panel"));
  Execute(on_db, "sp_grantdbaccess 'PanelUser'");
  Execute(on_db, "sp_addrolemember 'db_owner','PanelUser'");
  // The login keeps its first password.
  Open(On("PanelUser", "old", "Panel"));
  EXPECT_EQ(Fails([&] { Open(On("PanelUser", "pw1", "Panel")); }).Number(), -2147467259);
}

TEST_F(AdoSqlServer, RepairFixesAUserThatIsAlreadyThere) {
  Install("Panel", "PanelUser", "pw1");
  auto on_db = Open(On("sa", "Sa2000", "Panel"));
  Err err = Fails([&] { Execute(on_db, "sp_grantdbaccess 'PanelUser'"); });
  EXPECT_NE(err.Description().find("User or role 'PanelUser' already exists in the current database."),
            std::string::npos);
  Execute(on_db, "sp_change_users_login 'AUTO_FIX','PanelUser'");
  Execute(on_db, "sp_addrolemember 'db_owner','PanelUser'");
  EXPECT_NE(Fails([&] { Execute(on_db, "sp_change_users_login 'AUTO_FIX','Nobody'"); })
                .Description()
                .find("Nobody"),
            std::string::npos);
}

TEST_F(AdoSqlServer, UninstallKillsTheProcessesThenDropsDatabaseAndLogin) {
  Install("Panel", "PanelUser", "pw1");
  auto first = Open(On("PanelUser", "pw1", "Panel"));
  auto second = Open(On("PanelUser", "pw1", "Panel"));
  auto admin = Open(kAdmin);

  // In use by two processes, the drop fails and nothing changes.
  const std::string before = CatalogueText();
  EXPECT_NE(Fails([&] { Execute(admin, "Drop Database Panel"); })
                .Description()
                .find("Cannot drop the database 'Panel' because it is currently in use."),
            std::string::npos);
  EXPECT_EQ(CatalogueText(), before);

  Variant rs = Execute(admin, "select * from sysprocesses where dbid=db_id('Panel')");
  std::vector<std::string> spids;
  while (!AtEnd(rs)) {
    spids.push_back(FieldText(rs, "spid"));
    Execute(admin, "kill " + spids.back());
    CallMethod(Dispatch(rs), "MoveNext");
  }
  EXPECT_EQ(spids.size(), 2u);
  EXPECT_TRUE(AtEnd(Execute(admin, "select * from sysprocesses where dbid=db_id('Panel')")));
  // A killed connection finds it out on its next statement.
  EXPECT_NE(Fails([&] { Execute(first, "select * from master..sysdatabases"); })
                .Description()
                .find("General network error"),
            std::string::npos);

  Execute(admin, "Drop Database Panel");
  EXPECT_TRUE(AtEnd(Execute(admin, "select * from sysdatabases Where name = 'Panel'")));
  EXPECT_FALSE(temp_.Exists("C:\\Program Files\\Quorvale\\Data\\Panel.mdf"));
  EXPECT_FALSE(temp_.Exists("C:\\Program Files\\Quorvale\\Data\\Panel.ldf"));
  Execute(admin, "sp_droplogin 'PanelUser'");
  EXPECT_TRUE(AtEnd(Execute(admin, "Select * From sysxlogins Where name = 'PanelUser'")));
  // A login that no longer exists fails the drop.
  EXPECT_NE(Fails([&] { Execute(admin, "sp_droplogin 'PanelUser'"); }).Description().find("PanelUser"),
            std::string::npos);
}

TEST_F(AdoSqlServer, AProgramThatEndsTakesItsProcessAlong) {
  Install("Panel", "PanelUser", "pw1");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another program of the machine, connected to the panel database.
    try {
      auto c = Open(On("PanelUser", "pw1", "Panel"));
      (void)!::write(ready[1], "k", 1);
      for (;;) ::pause();
    } catch (...) {
    }
    ::_exit(1);
  }
  char k = 0;
  ASSERT_EQ(::read(ready[0], &k, 1), 1);
  auto admin = Open(kAdmin);
  const char* in_panel = "select * from sysprocesses where dbid=db_id('Panel')";
  EXPECT_EQ(Column(Execute(admin, in_panel), "loginame"), std::vector<std::string>{"PanelUser"});
  EXPECT_EQ(Fails([&] { Execute(admin, "Drop Database Panel"); }).Number(), -2147467259);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_TRUE(AtEnd(Execute(admin, in_panel)));
  Execute(admin, "Drop Database Panel");
}

TEST(AdoWithoutSqlServer, AMachineWithoutItDoesNotAnswer) {
  testing::TempMachine temp;
  RegisterDatabaseProviders(temp.machine().Registry(), "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
  ComHost host{&temp.machine().Registry(),
               [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }};
  for (const char* connection : {kAdmin, "driver={SQL server};server=(local);uid=;pwd=;database=master"}) {
    auto c = CreateObject("ADODB.Connection", host);
    Err err;
    EXPECT_FALSE(err.Resume([&] { CallMethod(c.get(), "Open", {Variant(connection)}); }));
    EXPECT_NE(err.Description().find("SQL Server does not exist or access denied."), std::string::npos)
        << err.Description();
  }
  EXPECT_FALSE(std::filesystem::exists(temp.Folder() / "sqlserver"));
}

TEST_F(AdoSqlServer, ConnectionsThatFail) {
  Install("Panel", "PanelUser", "pw1");
  auto admin = Open(kAdmin);
  Execute(admin, "sp_addlogin 'Other','pw2','master'");
  struct Case {
    std::string connection, message;
  } cases[] = {
      {On("sa", "wrong", "master"), "Login failed for user 'sa'."},
      {On("Nobody", "pw", "master"), "Login failed for user 'Nobody'."},
      {On("sa", "sa2000", "master"), "Login failed for user 'sa'."},
      {"driver={SQL server};server=elsewhere;uid=sa;pwd=Sa2000;database=master", "SQL Server does not exist"},
      {On("sa", "Sa2000", "Missing"), "Cannot open database requested in login 'Missing'. Login fails."},
      {On("Other", "pw2", "Panel"), "Cannot open database requested in login 'Panel'. Login fails."},
      {"driver={No such driver};server=(local);uid=sa;pwd=Sa2000", "[unixODBC][Driver Manager]"},
  };
  for (const auto& c : cases) {
    Err err = Fails([&] { Open(c.connection); });
    EXPECT_EQ(err.Number(), -2147467259) << c.connection;
    EXPECT_NE(err.Description().find(c.message), std::string::npos)
        << c.connection << ": " << err.Description();
  }
  // The repair's fallback: the machine's administrator on "(local)".
  Open("driver={SQL server};server=(local);uid=;pwd=;database=master");
  // With the service stopped the server does not answer.
  auto service = temp_.machine().FindService("MSSQLSERVER");
  ASSERT_TRUE(service);
  service->state = "stopped";
  temp_.machine().SetService(*service);
  EXPECT_NE(Fails([&] { Open(kAdmin); }).Description().find("SQL Server does not exist or access denied."),
            std::string::npos);
}

TEST_F(AdoSqlServer, StatementsItRefuseChangeNothing) {
  Install("Panel", "PanelUser", "pw1");
  auto admin = Open(kAdmin);
  auto panel = Open(On("PanelUser", "pw1", "Panel"));
  const std::string own =
      FieldText(Execute(admin, "select spid from sysprocesses where loginame = 'sa'"), "spid");
  struct Case {
    std::string sql, message;
  } cases[] = {
      // A quote left single in a value breaks the statement before any of it runs.
      {"sp_addlogin 'O'Brien','pw','Panel'", "Unclosed quotation mark before the character string ''."},
      {"select * from sysdatabases Where name = 'it's'",
       "Unclosed quotation mark before the character string ''."},
      {"sp_addlogin 'a','b'c','Panel'", "Unclosed quotation mark before the character string ''."},
      {"Drop Database Pa'nel", "Unclosed quotation mark before the character string 'nel'."},
      {"sp_addlogin 'x' 'y'", "Incorrect syntax near 'y'."},
      {"CREATE DATABASE Other", "Incorrect syntax near 'CREATE'."},
      {"exec sp_who", "Could not find stored procedure 'sp_who'."},
      {"select * from sysobjects", "Invalid object name 'sysobjects'."},
      {"select nothing from sysdatabases", "Invalid column name 'nothing'."},
      {"select * from sysprocesses where dbid = 'x'", "Syntax error converting the varchar value 'x'"},
      {"USE Nowhere", "Could not locate entry in sysdatabases for database 'Nowhere'."},
      {"kill 999", "Process ID 999 is not an active process ID."},
      {"kill " + own, "Cannot use KILL to kill your own process."},
      {"Drop Database master", "because it is a system database."},
      {"Drop Database Nowhere",
       "Cannot drop the database 'Nowhere', because it does not exist in the system catalog."},
      {"sp_addrolemember 'db_owner'", "expects parameter '@membername', which was not supplied."},
      {"sp_droplogin 'a', 'b'", "has too many arguments specified."},
      {"sp_droplogin 'sa'", "'sa'"},
      {"sp_droplogin 'PanelUser'", "is aliased or mapped to a user in one or more database(s)."},
      {"USE master EXEC sp_attach_db @dbname = N'Panel', @filename1= N'C:\\x.mdf'",
       "Database 'Panel' already exists."},
  };
  const std::string before = CatalogueText();
  for (const auto& c : cases) {
    Err err = Fails([&] { Execute(admin, c.sql); });
    EXPECT_EQ(err.Number(), -2147467259) << c.sql;
    EXPECT_NE(err.Description().find(c.message), std::string::npos) << c.sql << ": " << err.Description();
  }
  EXPECT_EQ(CatalogueText(), before);
  // What only an administrator may do.
  for (const std::string& sql :
       std::vector<std::string>{"kill " + own, "sp_addlogin 'x','y','Panel'", "select * from sysdatabases"}) {
    EXPECT_EQ(Fails([&] { Execute(panel, sql); }).Number(), -2147467259) << sql;
  }
  EXPECT_EQ(CatalogueText(), before);
}

TEST_F(AdoSqlServer, RecordsetAndConnectionStates) {
  auto c = CreateObject("ADODB.Connection", host_);
  EXPECT_NE(Fails([&] { CallMethod(c.get(), "Close"); }).Description().find("closed"), std::string::npos);
  EXPECT_NE(Fails([&] { Execute(c, "select * from sysdatabases"); }).Description().find("closed"),
            std::string::npos);
  PutProperty(c.get(), "ConnectionString", Variant(kAdmin));
  CallMethod(c.get(), "Open");
  EXPECT_NE(Fails([&] { CallMethod(c.get(), "Open", {Variant(kAdmin)}); }).Description().find("open"),
            std::string::npos);
  Variant rs = Execute(c, "select name, dbid from master..sysdatabases");
  EXPECT_EQ(Column(rs, "name"), (std::vector<std::string>{"master", "tempdb", "model", "msdb"}));
  EXPECT_NE(Fails([&] { CallMethod(Dispatch(rs), "MoveNext"); }).Description().find("EOF"),
            std::string::npos);
  CallMethod(Dispatch(rs), "MoveFirst");
  Variant fields = GetProperty(Dispatch(rs), "Fields");
  EXPECT_EQ(GetProperty(Dispatch(fields), "Count"), Variant(std::int32_t{2}));
  Variant key("DBID");
  Variant field = Call(Dispatch(fields), "Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&key});
  EXPECT_EQ(GetProperty(Dispatch(field), "Value"), Variant(std::int32_t{1}));
  EXPECT_EQ(GetProperty(Dispatch(field), "Name"), Variant("dbid"));
  EXPECT_NE(Fails([&] { Field(rs, "nothing"); }).Description().find("Item cannot be found"),
            std::string::npos);
  CallMethod(Dispatch(rs), "Close");
  EXPECT_EQ(GetProperty(Dispatch(rs), "State"), Variant(std::int32_t{0}));
  // A statement without rows gives a closed recordset.
  Variant none = Execute(c, "USE master");
  EXPECT_EQ(GetProperty(Dispatch(none), "State"), Variant(std::int32_t{0}));
  EXPECT_NE(Fails([&] { AtEnd(none); }).Description().find("closed"), std::string::npos);
  EXPECT_NE(Fails([&] { CallMethod(c.get(), "Nonsense"); }).Description().find("doesn't support"),
            std::string::npos);
}

}  // namespace
}  // namespace quorvale
