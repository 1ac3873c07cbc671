// The payloads as the build made them: their members in archive order, their
// exact sizes, and what the machine makes of them once unpacked.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "loopback_agent.h"
#include "machine_fixture.h"
#include "quorvale/com/create_object.h"
#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"
#include "quorvale/providers/registration.h"
#include "quorvale/win32/profile.h"
#include "read_back.h"

namespace quorvale::testing {
namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Listed {
  const char* name;
  bool is_folder;
  long size;  // 0 for a folder, -1 for a stand-in of any size
};

const std::vector<Listed> kServerMembers = {
    {"MSCOMCTL.OCX", false, -1},
    {"mswinsck.ocx", false, -1},
    {"ntsvc.ocx", false, -1},
    {"Service.exe", false, -1},
    {"System.ini", false, -1},
    {"TABCTL32.OCX", false, -1},
    {"Uninstall.exe", false, -1},
    {"WinWebMail.dll", false, -1},
    {"说明.txt", false, -1},
    {"Bin/Ad.htm", false, -1},
    {"Bin/Rar.exe", false, 314368},
    {"Bin/screnc.exe", false, -1},
    {"Template/404.htm", false, -1},
    {"Template/index.htm", false, -1},
    {"Template/Web.Config", false, -1},
    {"Template/Images/logo.gif", false, -1},
    {"Template/Images/banner.jpg", false, -1},
    {"Template/Images/bg.gif", false, -1},
    {"Template/Images/line.gif", false, -1},
    {"Template/Images/dot.gif", false, -1},
    {"Template/Images/arrow.gif", false, -1},
    {"Template/Images/top.gif", false, -1},
    {"Template/Images/bottom.gif", false, -1},
    {"Template/Images/left.gif", false, -1},
    {"Template/Images/right.gif", false, -1},
    {"Template/Images/spacer.gif", false, -1},
    {"Quorvale.exe", false, -1},
    {"MailCtrl.asp", false, -1},
    {"Template/Images", true, 0},
    {"Bin", true, 0},
    {"Log", true, 0},
    {"Template", true, 0},
};

const std::vector<Listed> kControlMembers = {
    {"Web/Index.asp", false, -1},
    {"Web/Login.asp", false, -1},
    {"Web/Host.asp", false, -1},
    {"Web/Inc/Conn.asp", false, -1},
    {"Web/Data/Quorvale.mdb", false, -1},
    {"Web/Images/logo.gif", false, -1},
    {"Data/Quorvale.mdf", false, -1},
    {"Data/Quorvale.ldf", false, -1},
    {"Uninstall.exe", false, -1},
    {"说明.txt", false, -1},
    {"DodIde.dll", false, 98304},
    {"Quorvale.dll", false, 397312},
    {"Jmail.dll", false, 361984},
    {"Web/Inc", true, 0},
    {"Web/Data", true, 0},
    {"Web/Images", true, 0},
    {"Web", true, 0},
    {"Data", true, 0},
};

void ExpectMembers(const std::vector<ReadMember>& read, const std::vector<Listed>& listed) {
  ASSERT_EQ(read.size(), listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    SCOPED_TRACE(listed[i].name);
    EXPECT_EQ(read[i].name, listed[i].name);
    EXPECT_EQ(read[i].is_folder, listed[i].is_folder);
    if (listed[i].size >= 0)
      EXPECT_EQ(static_cast<long>(read[i].data.size()), listed[i].size);
    else
      EXPECT_GT(read[i].data.size(), 0u);
  }
}

const ReadMember& Member(const std::vector<ReadMember>& read, const std::string& name) {
  for (const auto& m : read)
    if (m.name == name) return m;
  throw std::runtime_error("no member " + name);
}

TEST(Payloads, TheFilesHaveTheirExactSizes) {
  struct Case {
    const char* file;
    std::size_t size;
  } cases[] = {
      {SERVER_PAYLOAD, 2861144}, {CONTROL_PAYLOAD, 4051116},
      {UNPACKER, 314368},        {CONTROL_COMPONENT, 397312},
      {DODIDE, 98304},           {JMAIL, 361984},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadFile(c.file).size(), c.size) << c.file;
  EXPECT_EQ(ReadFile(SERVER_PAYLOAD).substr(0, 7), std::string("Rar!\x1A\x07\x00", 7));
  EXPECT_EQ(ReadFile(CONTROL_PAYLOAD).substr(0, 7), std::string("Rar!\x1A\x07\x00", 7));
}

TEST(Payloads, ServerArchiveHoldsItsMembersInOrder) {
  const auto read = ReadBack(ReadFile(SERVER_PAYLOAD));
  ExpectMembers(read, kServerMembers);
  // The unpacker kept in Bin is the one the setup writes out.
  EXPECT_TRUE(Member(read, "Bin/Rar.exe").data == ReadFile(UNPACKER));
  // The server end's own uninstaller is a program of ours the machine runs.
  const std::string uninstaller = Member(read, "Uninstall.exe").data;
  EXPECT_TRUE(uninstaller == ReadFile(SERVER_UNINSTALLER));
  EXPECT_EQ(uninstaller.substr(0, 4),
            "\x7F"
            "ELF");
}

TEST(Payloads, ControlArchiveHoldsItsMembersInOrder) {
  const auto read = ReadBack(ReadFile(CONTROL_PAYLOAD));
  ExpectMembers(read, kControlMembers);
  // The same bytes the repair carries, so a repaired file equals the installed one.
  EXPECT_TRUE(Member(read, "Quorvale.dll").data == ReadFile(CONTROL_COMPONENT));
  EXPECT_TRUE(Member(read, "DodIde.dll").data == ReadFile(DODIDE));
  EXPECT_TRUE(Member(read, "Jmail.dll").data == ReadFile(JMAIL));
  EXPECT_TRUE(Member(read, "Uninstall.exe").data == ReadFile(REPAIR_PROGRAM));
}

constexpr const char* kFolder = "C:\\Program Files\\Quorvale";

class UnpackedPayload : public MachineTest {
 protected:
  // Writes the payload and the unpacker as the setup does and runs the
  // setup's command line; every member must come out.
  void Unpack(const char* payload) {
    Write(In("Quorvale.rar"), ReadFile(payload));
    Write(In("Rar.exe"), ReadFile(UNPACKER));
    ASSERT_TRUE(Run(std::string(kFolder) +
                    "\\Rar.exe x -r -y -o+ C:\\PROGRA~1\\Quorvale\\Quorvale.rar C:\\PROGRA~1\\Quorvale"));
    ASSERT_FALSE(Records().empty());
    EXPECT_EQ(Records().back(), (ProgramEvent{"Rar.exe", "extracted", In("Quorvale.rar"), kFolder}));
    for (const ReadMember& m : ReadBack(ReadFile(payload))) {
      std::string name = m.name;
      for (char& c : name)
        if (c == '/') c = '\\';
      if (m.is_folder)
        EXPECT_TRUE(std::filesystem::is_directory(File(In(name)))) << name;
      else
        EXPECT_TRUE(Read(In(name)) == m.data) << name;
    }
  }
  static std::string In(const std::string& relative) { return std::string(kFolder) + "\\" + relative; }
  std::string Profile(const char* section, const char* key) {
    char buffer[1024];
    const std::string file = In("System.ini");
    win32::GetPrivateProfileStringA(section, key, "(missing)", buffer, sizeof buffer, file.c_str());
    return buffer;
  }
};

TEST_F(UnpackedPayload, ServerEndServiceAndUnpackerAnswerOnTheMachine) {
  Unpack(SERVER_PAYLOAD);
  EXPECT_TRUE(Run(In("Service.exe") + " -install"));
  ASSERT_FALSE(Records().empty());
  EXPECT_EQ(Records().back().program, "Service.exe");
  EXPECT_EQ(Records().back().what, "installed");
  EXPECT_TRUE(Run(In("Bin\\Rar.exe") + " x -r -y -o+ C:\\PROGRA~1\\Quorvale\\Quorvale.rar C:\\Again"));
  EXPECT_EQ(Records().back(), (ProgramEvent{"Rar.exe", "extracted", In("Quorvale.rar"), "C:\\Again"}));
  EXPECT_EQ(Read("C:\\Again\\MailCtrl.asp"), Read(In("MailCtrl.asp")));
}

TEST_F(UnpackedPayload, ShippedSystemIniHoldsEverySectionAndEveryScriptMember) {
  Unpack(SERVER_PAYLOAD);
  const std::pair<const char*, const char*> keys[] = {
      {"System", "Footer"},  {"System", "WinRar"},  {"System", "ScriptEncode"}, {"ServU", "ServUPath"},
      {"Mail", "State"},     {"Mail", "MailPath"},  {"MSSQL", "State"},         {"MSSQL", "Server"},
      {"MSSQL", "UserName"}, {"MSSQL", "PassWord"}, {"MySQL", "State"},         {"MySQL", "Server"},
      {"MySQL", "UserName"}, {"MySQL", "PassWord"},
  };
  for (const auto& [section, key] : keys)
    EXPECT_NE(Profile(section, key), "(missing)") << section << " " << key;
  const std::pair<const char*, const char*> groups[] = {
      {"HTM", "IDC|STM|SHTM|SHTML|MDB"},
      {"ASP", "ASP|ASA|CDX|CER"},
      {"NET",
       "ASPX|ASAX|ASCX|ASHX|ASMX|AXD|VSDISCO|REM|SOAP|CONFIG|CS|CSPROJ|VB|VBPROJ|WEBINFO|LICX|RESX|"
       "RESOURCES"},
      {"CGI", "PL|CGI"},
      {"PHP", "PHP"},
      {"WAP", "WML|WMLC|WBMP|WMLSC|WMLS|WSC"},
      {"NODOWN", "EXE|ZIP|RAR"},
  };
  int members = 0;
  for (const auto& [group, list] : groups) {
    EXPECT_EQ(Profile("ScriptMaps", group), list);
    std::string rest = list;
    for (std::size_t bar; !rest.empty(); rest = bar == std::string::npos ? "" : rest.substr(bar + 1)) {
      bar = rest.find('|');
      const std::string member = rest.substr(0, bar);
      const std::string line = Profile("SCRIPT", member.c_str());
      const std::string extension = "." + LowerCase(member);
      EXPECT_EQ(line.rfind(extension + ",", 0), 0u) << member << ": " << line;
      ++members;
    }
  }
  EXPECT_EQ(members, 39);
}

TEST_F(UnpackedPayload, ConnAspAsShippedForAccess) {
  Unpack(CONTROL_PAYLOAD);
  const std::string bytes = Read(In("Web\\Inc\\Conn.asp"));
  // Code page 936 with CR LF: no line feed without its carriage return.
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << at;
  ASSERT_TRUE(Utf8ToCp936(Cp936ToUtf8(bytes)) == bytes);
  const std::string text = Cp936ToUtf8(bytes);
  // Each setting begins its line, in this order, DataBase last.
  const char* settings[] = {"\r\nDBType = \"Access\"", "\r\nServerName = \"(local)\"", "\r\nUserName = \"\"",
                            "\r\nPassWord = \"\"", "\r\nDataBase = \"\""};
  std::size_t previous = 0;
  for (const char* setting : settings) {
    const std::size_t at = text.find(setting);
    ASSERT_NE(at, std::string::npos) << setting;
    EXPECT_GT(at, previous) << setting;
    EXPECT_EQ(text.find(setting, at + 1), std::string::npos) << setting;
    previous = at;
  }
}

TEST_F(UnpackedPayload, PaddedComponentRegistersAndAnswersFromTheSystemFolder) {
  Unpack(CONTROL_PAYLOAD);
  SetDefaultComHost({});
  RegisterProviders(host().Registry(), PROVIDERS_PATH);
  std::filesystem::rename(File(In("Quorvale.dll")), File("C:\\WINDOWS\\system32\\Quorvale.dll"));
  ASSERT_TRUE(Run("regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s"));
  ASSERT_FALSE(Records().empty());
  EXPECT_EQ(Records().back(),
            (ProgramEvent{"regsvr32.exe", "registered", "C:\\WINDOWS\\system32\\Quorvale.dll",
                          "DllRegisterServer 0x00000000"}));
  LoopbackAgent agent;
  agent.body_ = "\xB3\xC9\xB9\xA6";  // 成功
  auto object = CreateObject("Quorvale.Host");
  ASSERT_TRUE(object);
  const Variant answer = CallMethod(
      object.get(), "GetState",
      {Variant("127.0.0.1"), Variant(std::int32_t{agent.port_}), Variant("pw"), Variant(std::int32_t{12})});
  EXPECT_EQ(answer.TextForm(), "成功");
  EXPECT_EQ(agent.target_, "/GetState?ServerPassWord=pw&SiteNum=12");
}

}  // namespace
}  // namespace quorvale::testing
