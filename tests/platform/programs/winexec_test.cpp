// The machine's programs started the way the system starts them: WinExec on
// the process's machine, with the launcher installed, read back from what
// the machine holds afterwards.
#include <fstream>
#include <sstream>

#include "machine_fixture.h"
#include "quorvale/com/create_object.h"
#include "quorvale/core/codepage.h"
#include "quorvale/core/err.h"
#include "quorvale/payload/rar_writer.h"
#include "quorvale/providers/registration.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::testing {
namespace {

using namespace quorvale::win32;

// A text of the test in code page 936; one without that form fails the
// test and stands as "".
std::string Ansi(const std::string& utf8) {
  const auto ansi = Utf8ToCp936(utf8);
  EXPECT_TRUE(ansi) << "no code page 936 form: " << utf8;
  return ansi.value_or("");
}

std::string FileBytes(const char* host_file) {
  std::ifstream in(host_file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class WinExecTest : public MachineTest {
 protected:
  void SetUp() override { InstallLauncher(); }
  void TearDown() override {
    MachineTest::TearDown();
    SetProgramLauncher(nullptr);
  }
  // WinExec, then the program's end.
  UINT Exec(const std::string& utf8_command_line) {
    UINT result = WinExec(Ansi(utf8_command_line).c_str(), SW_HIDE);
    WaitForPrograms();
    return result;
  }
  bool CanCreate(const std::string& prog_id) {
    try {
      return static_cast<bool>(CreateObject(prog_id));
    } catch (const RaisedError& e) {
      EXPECT_EQ(e.Number(), 429);
      return false;
    }
  }
};

TEST_F(WinExecTest, Regsvr32RegistersAndUnregistersTheComponentLibrary) {
  RegisterProviders(machine().Registry(), PROVIDERS_PATH);
  machine().Registry().CreateKey("HKEY_CLASSES_ROOT\\Interface");
  machine().Registry().CreateKey("HKEY_CLASSES_ROOT\\TypeLib");
  Write("C:\\WINDOWS\\system32\\Quorvale.dll", FileBytes(QUORVALE_PATH));
  SetDefaultComHost({});
  EXPECT_FALSE(CanCreate("Quorvale.Host"));

  const std::string dll = "C:\\WINDOWS\\system32\\Quorvale.dll";
  ASSERT_GT(Exec("regsvr32 /s " + dll), 31u);
  EXPECT_TRUE(CanCreate("Quorvale.Host"));
  const auto clsid = machine().Registry().GetValue("HKEY_CLASSES_ROOT\\Quorvale.Host\\CLSID", "");
  ASSERT_TRUE(clsid);
  auto server =
      machine().Registry().GetValue("HKEY_CLASSES_ROOT\\CLSID\\" + clsid->AsText() + "\\InprocServer32", "");
  ASSERT_TRUE(server);
  EXPECT_EQ(server->AsText(), dll);

  ASSERT_GT(Exec("regsvr32 /u /s " + dll), 31u);
  EXPECT_FALSE(CanCreate("Quorvale.Host"));
  EXPECT_FALSE(machine().Registry().KeyExists("HKEY_CLASSES_ROOT\\Quorvale.Host"));
  EXPECT_FALSE(machine().IsHeld(dll));  // loaded only for the call

  const std::vector<ProgramEvent> events = {
      {"regsvr32.exe", "registered", dll, "DllRegisterServer 0x00000000"},
      {"regsvr32.exe", "unregistered", dll, "DllUnregisterServer 0x00000000"},
  };
  EXPECT_EQ(Records(), events);
  auto started = machine().StartedPrograms();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].command_line, "regsvr32 /u /s " + dll);
  EXPECT_EQ(started[1].show, 0);
  EXPECT_TRUE(started[1].launched);
}

TEST_F(WinExecTest, TheUnpackerTakesChineseNamesAndLetsGoOfItsArchive) {
  Write("C:\\Program Files\\Quorvale\\Rar.exe", "stand-in unpacker");
  Write("C:\\Program Files\\Quorvale\\Quorvale.rar",
        MakeRarArchive({{"被控端\\说明.txt", false, "读我"}, {"Web\\誠.asp", false, "<% %>"}}));
  ASSERT_GT(Exec("C:\\Program Files\\Quorvale\\Rar.exe x -r -y -o+ C:\\PROGRA~1\\Quorvale\\Quorvale.rar "
                 "C:\\虚拟主机\\"),
            31u);
  EXPECT_EQ(Read("C:\\虚拟主机\\被控端\\说明.txt"), "读我");
  EXPECT_EQ(Read("C:\\虚拟主机\\Web\\誠.asp"), "<% %>");
  ASSERT_FALSE(Records().empty());
  EXPECT_EQ(Records().back(), (ProgramEvent{"Rar.exe", "extracted",
                                            "C:\\Program Files\\Quorvale\\Quorvale.rar", "C:\\虚拟主机"}));
  EXPECT_TRUE(DeleteFileA("C:\\PROGRA~1\\Quorvale\\Quorvale.rar"));
  // What Windows names the new folder in code page 936 is what the drive holds.
  char short_path[MAX_PATH];
  ASSERT_GT(GetShortPathNameA(Ansi("C:\\虚拟主机\\被控端").c_str(), short_path, MAX_PATH), 0u);
  EXPECT_EQ(Cp936ToUtf8(short_path), "C:\\虚拟主机\\被控端");
}

TEST_F(WinExecTest, HeldFilesCannotBeDeleted) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", FileBytes(CHILD_PROGRAM_PATH));
  Write("C:\\Program Files\\Quorvale\\Quorvale.mdb", "data");
  Write("C:\\Program Files\\Quorvale\\Log.txt", "log");
  const char* mdb = "C:\\PROGRA~1\\Quorvale\\Quorvale.mdb";
  HANDLE open = CreateFileA(mdb, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  FileHold by_program = machine().Hold("C:\\Program Files\\Quorvale\\Log.txt", "Service.exe");
  // A program of ours holds its own file while it runs.
  ASSERT_GT(WinExec("C:\\Program Files\\Quorvale\\Uninstall.exe -wait-for go", SW_HIDE), 31u);
  struct Case {
    const char* path;
  } held[] = {{mdb}, {"C:\\Program Files\\Quorvale\\log.txt"}, {"C:\\PROGRA~1\\Quorvale\\Uninstall.exe"}};
  for (const auto& c : held) {
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(c.path)) << c.path;
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION) << c.path;
  }
  Write("C:\\Program Files\\Quorvale\\go", "");
  WaitForPrograms();
  CloseHandle(open);
  by_program.Release();
  for (const auto& c : held) EXPECT_TRUE(DeleteFileA(c.path)) << c.path;
}

TEST_F(WinExecTest, TheBatchFileRemovesTheFolderAfterItsPause) {
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", "x");
  Write("C:\\Program Files\\Quorvale\\被控端\\Web\\Index.asp", "x");
  Write("C:\\WINDOWS\\Temp\\Delete.bat",
        Ansi("@echo off\r\nping 127.0.0.1 -n 3\r\nrd /s /q \"C:\\Program Files\\Quorvale\"\r\n"
             "del Delete.bat\r\ncls\r\nexit\r\n"));
  bool there_during_pause = false;
  AtMoment(1500, [&] { there_during_pause = Exists("C:\\Program Files\\Quorvale\\被控端"); });
  ASSERT_GT(Exec("C:\\WINDOWS\\Temp\\Delete.bat"), 31u);
  EXPECT_TRUE(there_during_pause);
  EXPECT_EQ(ClockNow(), 2000u);
  EXPECT_FALSE(Exists("C:\\Program Files\\Quorvale"));
  EXPECT_TRUE(Exists("C:\\Program Files\\Common Files"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\Temp\\Delete.bat"));
  EXPECT_EQ(Records(), (std::vector<ProgramEvent>{
                           {"cmd.exe", "removed", "C:\\Program Files\\Quorvale", ""},
                           {"cmd.exe", "deleted", "C:\\WINDOWS\\Temp\\Delete.bat", ""},
                       }));
}

TEST_F(WinExecTest, EachMachineRunsItsOwnPrograms) {
  TempMachine other;  // QUORVALE_MACHINE names it now
  Write("C:\\a.txt", "x");
  ASSERT_GT(Exec("notepad.exe C:\\a.txt"), 31u);
  EXPECT_TRUE(Records().empty());
  ASSERT_EQ(other.machine().ProgramEvents().size(), 1u);
  EXPECT_EQ(other.machine().ProgramEvents()[0].detail, "file not found");
  EXPECT_EQ(other.machine().StartedPrograms().size(), 1u);
  EXPECT_TRUE(machine().StartedPrograms().empty());
}

}  // namespace
}  // namespace quorvale::testing
