#include "machine_fixture.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/machine/testing/drive_elsewhere.h"
#include "quorvale/providers/shell_link.h"

namespace quorvale {
namespace {

class Wmi : public OnMachine {
 protected:
  // The uninstall's recipe: every Win32_Service named w3svc, in lower case.
  std::vector<Variant> OnW3svc(const std::string& method) {
    std::vector<Variant> results;
    auto services = CallMethod(Bind("winmgmts:\\\\.").get(), "InstancesOf", {Variant("Win32_Service")});
    for (const Variant& s : ForEachItem(DispatchOf(services))) {
      auto service = Obj(s);
      if (SameText(Get(service, "Name").TextForm().value_or(""), "w3svc"))
        results.push_back(CallMethod(service.get(), method));
    }
    return results;
  }
  std::string W3svcState() {
    const auto service = temp_.machine().FindService("W3SVC");
    return service ? service->state : "<no service>";
  }
};

TEST_F(Wmi, W3svcStoppedAndStarted) {
  EXPECT_EQ(OnW3svc("StopService"), std::vector<Variant>{Variant(std::int32_t{0})});
  EXPECT_EQ(W3svcState(), "stopped");
  EXPECT_EQ(OnW3svc("StopService"), std::vector<Variant>{Variant(std::int32_t{5})});
  EXPECT_EQ(OnW3svc("StartService"), std::vector<Variant>{Variant(std::int32_t{0})});
  EXPECT_EQ(W3svcState(), "running");
  EXPECT_EQ(OnW3svc("StartService"), std::vector<Variant>{Variant(std::int32_t{10})});
}

TEST_F(Wmi, QueriesAndNames) {
  auto wmi = Bind("winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\cimv2");
  auto set = CallMethod(wmi.get(), "ExecQuery", {Variant("Select * from Win32_Service where Name='w3svc'")});
  auto items = ForEachItem(DispatchOf(set));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(Get(Obj(items[0]), "State"), Variant("Running"));
  struct Case {
    const char* query;
    std::int32_t error;
  } cases[] = {
      {"SELECT * FROM Win32_Service", 0},
      {"select * from win32_service where DisplayName = \"IIS Admin Service\"", 0},
      {"SELECT * FROM Win32_Process", static_cast<std::int32_t>(0x80041010)},
      {"SELECT Name FROM Win32_Service", static_cast<std::int32_t>(0x80041017)},
      {"SELECT * FROM Win32_Service WHERE Name='w3svc", static_cast<std::int32_t>(0x80041017)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf([&] { CallMethod(wmi.get(), "ExecQuery", {Variant(c.query)}); }), c.error) << c.query;
  EXPECT_EQ(BindError("winmgmts:\\\\elsewhere"), static_cast<std::int32_t>(0x800706BA));
  EXPECT_EQ(BindError("winmgmts:\\\\.\\root\\default"), static_cast<std::int32_t>(0x8004100E));
}

class Shell : public OnMachine {};

TEST_F(Shell, ShortcutSavedOnTheDesktopAndReadBack) {
  temp_.Write("C:\\Program Files\\Quorvale\\Quorvale.exe", "program");
  auto shell = CreateObject("WScript.Shell", host_);
  const std::string desktop =
      CallMethod(shell.get(), "SpecialFolders", {Variant("Desktop")}).TextForm().value_or("<no text form>");
  EXPECT_EQ(desktop, "C:\\Documents and Settings\\Administrator\\桌面");
  auto link = Obj(CallMethod(shell.get(), "CreateShortcut", {Variant(desktop + "\\Quorvale.lnk")}));
  Put(link, "Description", Variant("Quorvale虚拟主机管理系统 v3.0 被控端"));
  Put(link, "TargetPath", Variant("C:\\Program Files\\Quorvale\\Quorvale.exe"));
  Put(link, "WindowStyle", Variant(std::int32_t{4}));
  Put(link, "WorkingDirectory", Variant("C:\\Program Files\\Quorvale"));
  CallMethod(link.get(), "Save");

  const std::string bytes = temp_.Read(desktop + "\\Quorvale.lnk");
  ASSERT_GE(bytes.size(), 76u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));
  EXPECT_EQ(bytes.substr(4, 16), std::string("\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 16));
  auto read = ReadShellLink(bytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->description, "Quorvale虚拟主机管理系统 v3.0 被控端");
  EXPECT_EQ(read->target_path, "C:\\Program Files\\Quorvale\\Quorvale.exe");
  EXPECT_EQ(read->relative_path, "..\\..\\..\\Program Files\\Quorvale\\Quorvale.exe");
  EXPECT_EQ(read->working_directory, "C:\\Program Files\\Quorvale");
  EXPECT_EQ(read->show_command, 4u);
  EXPECT_EQ(read->file_size, 7u);
  // A shortcut made again over an existing file starts from what it holds.
  auto again = Obj(CallMethod(shell.get(), "CreateShortcut", {Variant(desktop + "\\QUORVALE.LNK")}));
  EXPECT_EQ(Get(again, "TargetPath"), Variant("C:\\Program Files\\Quorvale\\Quorvale.exe"));
}

// A shortcut lands whole on a drive of another file system than the
// machine folder, and leaves no temporary file beside it.
TEST_F(Shell, ShortcutSavedOnADriveOfAnotherFileSystem) {
  testing::DriveElsewhere elsewhere(temp_.Folder(), 'D');
  if (!elsewhere.Why().empty()) GTEST_SKIP() << elsewhere.Why();
  temp_.Write("D:\\Q\\Quorvale.exe", "program");
  auto shell = CreateObject("WScript.Shell", host_);
  auto link = Obj(CallMethod(shell.get(), "CreateShortcut", {Variant("D:\\Q\\Quorvale.lnk")}));
  Put(link, "TargetPath", Variant("D:\\Q\\Quorvale.exe"));
  EXPECT_EQ(ErrorOf([&] { CallMethod(link.get(), "Save"); }), 0);
  auto read = ReadShellLink(temp_.Read("D:\\Q\\Quorvale.lnk"));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->target_path, "D:\\Q\\Quorvale.exe");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(elsewhere.Folder() / "Q"))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Quorvale.exe", "Quorvale.lnk"}));
}

TEST_F(Shell, RefusalsLeaveNoFile) {
  auto shell = CreateObject("WScript.Shell", host_);
  EXPECT_NE(ErrorOf([&] { CallMethod(shell.get(), "CreateShortcut", {Variant("C:\\a.txt")}); }), 0);
  auto link = Obj(CallMethod(shell.get(), "CreateShortcut", {Variant("C:\\No Such Folder\\a.lnk")}));
  EXPECT_EQ(ErrorOf([&] { CallMethod(link.get(), "Save"); }), kPathNotFound);
  EXPECT_FALSE(temp_.Exists("C:\\No Such Folder"));
  EXPECT_EQ(ErrorOf([&] { CallMethod(shell.get(), "Run", {Variant("notepad")}); }), 438);
  EXPECT_EQ(CallMethod(shell.get(), "SpecialFolders", {Variant("NoSuchFolder")}), Variant(""));
}

TEST(ShellLinkFormat, RoundTripsAndRefusesDamage) {
  ShellLink link;
  link.description = "说明";
  link.target_path = "C:\\程序\\a.exe";
  link.relative_path = ".\\a.exe";
  link.arguments = "-install";
  link.icon_location = "C:\\程序\\a.exe";
  link.icon_index = 2;
  link.show_command = 7;
  const std::string bytes = WriteShellLink(link);
  EXPECT_EQ(ReadShellLink(bytes), link);
  for (std::size_t cut : {std::size_t{0}, std::size_t{20}, std::size_t{80}, bytes.size() - 10})
    EXPECT_FALSE(ReadShellLink(bytes.substr(0, cut))) << cut;
  struct Case {
    const char* folder;
    const char* target;
    const char* relative;
  } cases[] = {
      {"C:\\A\\B", "C:\\A\\C\\x.exe", "..\\C\\x.exe"},
      {"C:\\A", "c:\\a\\x.exe", ".\\x.exe"},
      {"C:\\A", "D:\\x.exe", "D:\\x.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(RelativeWindowsPath(c.folder, c.target), c.relative) << c.target;
}

}  // namespace
}  // namespace quorvale
