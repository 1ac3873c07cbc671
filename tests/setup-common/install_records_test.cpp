#include "quorvale/setup/install_records.h"

#include <gtest/gtest.h>

#include "quorvale/component/maker.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/setup/helper_module.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::setup {
namespace {

using quorvale::testing::TempMachine;

// The registry's bytes of a value of the entry, as text.
std::string StoredText(TempMachine& temp, InstallEnd end, const std::string& name) {
  auto v =
      temp.machine().Registry().GetValue(std::string("HKEY_LOCAL_MACHINE\\") + UninstallKeyOf(end), name);
  if (!v) return "(missing)";
  EXPECT_EQ(v->type, kRegSz) << name;
  return win32::FromAnsi(v->data);
}

TEST(UninstallEntry, EachEndStoresItsValuesWithoutTrailingBlanks) {
  TempMachine temp;
  ServerEndHelpers server;
  ControlEndHelpers control;
  const std::string folder = "C:\\Program Files\\Quorvale虚拟主机管理系统v3.0 被控端";
  WriteUninstallEntry(server, InstallEnd::kServer, folder);
  WriteUninstallEntry(control, InstallEnd::kControl, "D:\\Panel\\");
  struct Case {
    InstallEnd end;
    const char* name;
    std::string stored;
  } cases[] = {
      {InstallEnd::kServer, "DisplayIcon", folder + "\\Quorvale.exe"},
      {InstallEnd::kServer, "DisplayName", "Quorvale虚拟主机管理系统v3.0 被控端"},
      {InstallEnd::kServer, "DisplayVersion", "3.0.0"},
      {InstallEnd::kServer, "UninstallString", folder + "\\Uninstall.exe -delete"},
      {InstallEnd::kServer, "ModifyPath", folder + "\\Uninstall.exe -modify"},
      {InstallEnd::kServer, "Publisher", QUORVALE_MAKER_NAME},
      {InstallEnd::kServer, "URLInfoAbout", QUORVALE_MAKER_WEB},
      {InstallEnd::kServer, "URLUpdateInfo", QUORVALE_MAKER_WEB},
      {InstallEnd::kControl, "DisplayIcon", "(missing)"},
      {InstallEnd::kControl, "DisplayName", "Quorvale虚拟主机管理系统v3.0 主控端"},
      {InstallEnd::kControl, "DisplayVersion", "3.0.0"},
      // A folder typed with a trailing backslash doubles it.
      {InstallEnd::kControl, "UninstallString", "D:\\Panel\\\\Uninstall.exe -delete"},
      {InstallEnd::kControl, "ModifyPath", "D:\\Panel\\\\Uninstall.exe -modify"},
      {InstallEnd::kControl, "URLUpdateInfo", QUORVALE_MAKER_WEB},
  };
  for (const auto& c : cases) EXPECT_EQ(StoredText(temp, c.end, c.name), c.stored) << c.name;
  EXPECT_EQ(server.ErrorCode(), 0);
  EXPECT_EQ(server.DataSize(), static_cast<std::int32_t>(std::string(QUORVALE_MAKER_WEB).size()));
  // The Welcome page reads it back as its own uninstaller's command line.
  EXPECT_EQ(control.ReadString(win32::HKEY_LOCAL_MACHINE, kControlEndUninstallKey, "UninstallString", 260),
            "D:\\Panel\\\\Uninstall.exe -delete");

  RepairHelpers repair;
  DeleteUninstallEntry(repair);
  EXPECT_FALSE(
      temp.machine().Registry().KeyExists(std::string("HKEY_LOCAL_MACHINE\\") + kControlEndUninstallKey));
  EXPECT_TRUE(
      temp.machine().Registry().KeyExists(std::string("HKEY_LOCAL_MACHINE\\") + kServerEndUninstallKey));
}

TEST(UninstallRecord, ServerEndForEachMailChoice) {
  struct Case {
    MailSystem mail;
    const char* number;
    std::string file;
  } cases[] = {
      {MailSystem::kWinWebMail, "123456789",
       "[Uninstall]\r\nSetupDir=C:\\S\r\nMail=WinWebMail\r\nSiteNum=123456789\r\nUser=IUSR_123456789\r\n"
       "WinWebMailPath=D:\\WinWebMail\r\n"},
      // The mail site got no number: no account to name either.
      {MailSystem::kWinWebMail, "",
       "[Uninstall]\r\nSetupDir=C:\\S\r\nMail=WinWebMail\r\nSiteNum=\r\nUser=\r\nWinWebMailPath=D:"
       "\\WinWebMail\r\n"},
      {MailSystem::kIMail, "123456789", "[Uninstall]\r\nSetupDir=C:\\S\r\nMail=iMail\r\n"},
      {MailSystem::kNoMail, "123456789", "[Uninstall]\r\nSetupDir=C:\\S\r\nMail=NoMail\r\n"},
  };
  for (const auto& c : cases) {
    TempMachine temp;
    ServerEndHelpers helpers;
    helpers.CreateDir("C:\\S");
    WriteServerEndRecord(helpers, {"C:\\S", c.mail, c.number, "D:\\WinWebMail"});
    EXPECT_EQ(helpers.INIFileName, "C:\\S\\Uninstall.ini");
    EXPECT_EQ(temp.Read("C:\\S\\Uninstall.ini"), c.file) << MailText(c.mail);
  }
}

ControlEndRecord SqlRecord(const std::string& folder) {
  ControlEndRecord r;
  r.DataType = "SQL";
  r.MSSQLServer = "(local)";
  r.MSSQLUserName = "sa";
  r.MSSQLPassWord = "p w";
  r.SQLDataBase = "Quorvale";
  r.SQLUserName = "QuorvaleUser";
  r.SQLPassWord = "秘密";
  r.SetDataFiles(folder, "Quorvale");
  r.SetupDir = folder;
  r.DomainName = "panel.example";
  r.SiteNum = "42";
  r.User = "IUSR_42";
  return r;
}

TEST(UninstallRecord, ControlEndWithAccessAndWithSqlServer) {
  TempMachine temp;
  ControlEndHelpers setup;
  setup.CreateDir("C:\\Panel");
  setup.CreateDir("C:\\主控端");
  ControlEndRecord access;
  access.DataType = "Access";
  access.SetupDir = "C:\\Panel\\";
  access.SiteNum = "7";
  access.User = "IUSR_7";
  WriteControlEndRecord(setup, access);
  EXPECT_EQ(temp.Read("C:\\Panel\\Uninstall.ini"),
            "[Uninstall]\r\nDataType=Access\r\nSetupDir=C:\\Panel\\\r\nDomainName=\r\nSiteNum=7\r\nUser=IUSR_"
            "7\r\n");
  EXPECT_TRUE(UninstallRecordPresent("C:\\Panel\\"));

  WriteControlEndRecord(setup, SqlRecord("C:\\主控端"));
  EXPECT_EQ(win32::FromAnsi(temp.Read("C:\\主控端\\Uninstall.ini")),
            "[Uninstall]\r\nDataType=SQL\r\nMSSQLServer=(local)\r\nMSSQLUserName=sa\r\nMSSQLPassWord=p w\r\n"
            "SQLDataBase=Quorvale\r\nSQLUserName=QuorvaleUser\r\nSQLPassWord=秘密\r\n"
            "MDF=C:\\主控端\\Data\\Quorvale.mdf\r\nLDF=C:\\主控端\\Data\\Quorvale.ldf\r\n"
            "SetupDir=C:\\主控端\r\nDomainName=panel.example\r\nSiteNum=42\r\nUser=IUSR_42\r\n");
}

TEST(UninstallRecord, TheRepairReadsAndRewritesIt) {
  TempMachine temp;
  RepairHelpers repair;
  EXPECT_FALSE(UninstallRecordPresent("C:"));
  ControlEndHelpers setup;
  WriteControlEndRecord(setup, SqlRecord("C:"));
  ASSERT_TRUE(UninstallRecordPresent("C:"));

  ControlEndRecord read = ReadControlEndRecord(repair, "C:");
  EXPECT_EQ(repair.INIFileName, "C:\\Uninstall.ini");
  ControlEndRecord expected = SqlRecord("C:");
  expected.MDF = expected.LDF = expected.SetupDir = "";  // neither program reads them
  const auto fields = [](const ControlEndRecord& r) {
    return std::vector<std::string>{r.DataType,    r.MSSQLServer, r.MSSQLUserName, r.MSSQLPassWord,
                                    r.SQLDataBase, r.SQLUserName, r.SQLPassWord,   r.MDF,
                                    r.LDF,         r.SetupDir,    r.DomainName,    r.SiteNum,
                                    r.User};
  };
  EXPECT_EQ(fields(read), fields(expected));

  // A rewrite with a kind other than "sql" leaves the SQL keys as they were;
  // "sql" in any letter case writes them.
  read.DataType = "Access";
  read.SetupDir = "C:";
  read.SiteNum = "43";
  WriteControlEndRecord(repair, read);
  EXPECT_EQ(repair.GetIniKey(kUninstallSection, "SiteNum"), "43");
  EXPECT_EQ(repair.GetIniKey(kUninstallSection, "MDF"), "C:\\Data\\Quorvale.mdf");
  read.DataType = "sql";
  read.MSSQLUserName = "";
  WriteControlEndRecord(repair, read);
  EXPECT_EQ(repair.GetIniKey(kUninstallSection, "MSSQLUserName"), "");
  EXPECT_EQ(repair.GetIniKey(kUninstallSection, "MDF"), "");  // read as empty, written back empty
  EXPECT_EQ(repair.GetIniKey(kUninstallSection, "SetupDir"), "C:");
}

TEST(UninstallRecord, OneThatCannotBeReadWholeRaisesInsteadOfReadingEmpty) {
  TempMachine temp;
  RepairHelpers repair;
  const auto number = [&] {
    Err err;
    err.Resume([&] { ReadControlEndRecord(repair, "C:"); });
    return err.Number();
  };
  EXPECT_EQ(number(), 53);  // missing
  // A byte code page 936 cannot read back as it was.
  temp.Write("C:\\Uninstall.ini", "[Uninstall]\r\nDataType=SQL\r\nSiteNum=\xFF\r\n");
  EXPECT_EQ(number(), 75);
  temp.Write("C:\\Uninstall.ini", "[Uninstall]\r\nDataType=SQL\r\nSiteNum=7\r\n");
  EXPECT_EQ(number(), 0);
  EXPECT_EQ(ReadControlEndRecord(repair, "C:").SiteNum, "7");
}

}  // namespace
}  // namespace quorvale::setup
