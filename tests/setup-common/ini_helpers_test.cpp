#include "quorvale/setup/ini_helpers.h"

#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale::setup {
namespace {

using quorvale::testing::TempMachine;

TEST(JoinPath, OneBackslashBetweenFolderAndName) {
  struct Case {
    const char *folder, *name, *joined;
  } cases[] = {
      {"C:\\A\\\\", "\\\\B.ini", "C:\\A\\B.ini"}, {"", "B.ini", "\\B.ini"}, {"C:\\A", "", "C:\\A\\"},
      {"C:\\A", "B.ini", "C:\\A\\B.ini"},         {"\\\\", "\\\\", "\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
  IniHelpers ini;
  ini.SetIniPath("C:\\Q\\", "\\System.ini");
  EXPECT_EQ(ini.INIFileName, "C:\\Q\\System.ini");
}

TEST(IniHelpers, ValuesComeBackAsTheProfileCallsKeepThem) {
  TempMachine temp;
  temp.Write("C:\\Q\\System.ini",
             "[Main]\r\nLead=   abc\r\nTail=\"ab \"\r\nQuoted=\" ab\"\r\nBlank=\"   \"\r\n"
             "Long=" +
                 std::string(1100, 'x') + "\r\n");
  IniHelpers ini;
  ini.INIFileName = "C:\\Q\\System.ini";
  ini.WriteIniKey("Main", "Name", "虚拟主机管理系统");
  struct Case {
    const char *section, *key;
    std::string value;
  } cases[] = {
      {"Main", "Lead", "abc"},
      {"Main", "Tail", "ab "},   // a blank before the value's end stays
      {"Main", "Quoted", "ab"},  // leading blanks go, quoted or not
      {"Main", "Blank", ""},
      {"Main", "Long", std::string(1023, 'x')},
      {"main", "NAME", "虚拟主机管理系统"},
      {"Main", "Missing", ""},
      {"Missing", "Lead", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.GetIniKey(c.section, c.key), c.value) << c.section << "/" << c.key;
  ini.INIFileName = "C:\\Q\\Missing.ini";
  EXPECT_EQ(ini.GetIniKey("Main", "Lead"), "");
  EXPECT_FALSE(temp.Exists("C:\\Q\\Missing.ini"));
}

TEST(IniHelpers, WritesReplaceInPlaceAndDeletionsRemove) {
  TempMachine temp;
  IniHelpers missing_folder;
  missing_folder.INIFileName = "C:\\Q\\Uninstall.ini";
  missing_folder.WriteIniKey("Uninstall", "SetupDir", "C:\\Q");  // the profile call makes no folder
  EXPECT_FALSE(temp.Exists("C:\\Q\\Uninstall.ini"));
  std::filesystem::create_directories(temp.Host("C:\\Q"));
  IniHelpers ini;
  ini.INIFileName = "C:\\Q\\Uninstall.ini";
  ini.WriteIniKey("Uninstall", "SetupDir", "C:\\Q");
  ini.WriteIniKey("Uninstall", "Mail", "iMail");
  ini.WriteIniKey("UNINSTALL", "setupdir", "D:\\主控端");
  ini.WriteIniKey("Other", "Key", "1");
  ini.DelIniKey("Uninstall", "Missing");
  EXPECT_EQ(temp.Read("C:\\Q\\Uninstall.ini"),
            "[Uninstall]\r\nSetupDir=D:\\\xD6\xF7\xBF\xD8\xB6\xCB\r\nMail=iMail\r\n[Other]\r\nKey=1\r\n");
  ini.DelIniKey("uninstall", "MAIL");
  EXPECT_EQ(ini.GetIniKey("Uninstall", "Mail"), "");
  EXPECT_EQ(ini.GetIniKey("Uninstall", "SetupDir"), "D:\\主控端");
  ini.DelIniSec("uninstall");
  EXPECT_EQ(ini.GetIniKey("Uninstall", "SetupDir"), "");
  EXPECT_EQ(ini.GetIniKey("Other", "Key"), "1");
}

}  // namespace
}  // namespace quorvale::setup
