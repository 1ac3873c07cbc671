// The platform's objects on a machine: registered as a whole in one write
// under the machine's own Windows path, served by whichever build runs, and
// failing with the damaged file's message rather than as "not installed".
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"

namespace quorvale {
namespace {

namespace fs = std::filesystem;
using testing::TempMachine;

const char* const kProgIds[] = {"MSXML2.XMLHTTP", "ADODB.Stream",    "IIS", "WinNT", "winmgmts",
                                "WScript.Shell",  "ADODB.Connection"};

std::uint64_t Writes(Machine& m) { return StateLock(RegistryFileOf(m.Folder()), false).WriteCount(); }

// The library each ProgID names, "" when the chain is broken.
std::string LibraryOf(Machine& m, const std::string& prog_id) {
  auto clsid = m.Registry().GetValue("HKEY_CLASSES_ROOT\\" + prog_id + "\\CLSID", "");
  if (!clsid) return "";
  auto library =
      m.Registry().GetValue("HKEY_CLASSES_ROOT\\CLSID\\" + clsid->AsText() + "\\InprocServer32", "");
  return library ? library->AsText() : "";
}

std::size_t Registered(Machine& m) {
  std::size_t n = 0;
  for (const char* p : kProgIds) n += !LibraryOf(m, p).empty();
  return n;
}

// The error a statement raises through the default host, as Err holds it.
Err Raised(const std::function<void()>& statement) {
  Err err;
  err.Resume(statement);
  return err;
}

TEST(PlatformObjects, RegisteredAsAWholeInOneWriteUnderTheMachinesSystemFolder) {
  struct Case {
    WindowsEdition edition;
    const char* library;
  } cases[] = {
      {WindowsEdition::kWindowsServer2003, "C:\\WINDOWS\\system32\\QuorvaleProviders.dll"},
      {WindowsEdition::kWindows2000, "C:\\WINNT\\system32\\QuorvaleProviders.dll"},
  };
  for (const auto& c : cases) {
    MachineShape shape;
    shape.edition = c.edition;
    TempMachine temp(shape);
    Machine& m = temp.machine();
    const auto before = Writes(m);
    EnsurePlatformObjects(m, PROVIDERS_PATH);
    EXPECT_EQ(Writes(m), before + 1);
    for (const char* p : kProgIds) EXPECT_EQ(LibraryOf(m, p), c.library) << p;
    EXPECT_NO_THROW(GetObject("IIS://localhost/w3svc"));
    EXPECT_NO_THROW(CreateObject("WScript.Shell"));
    EnsurePlatformObjects(m, PROVIDERS_PATH);  // all there: nothing written
    EXPECT_EQ(Writes(m), before + 1);

    // Half a registration, and one left by an older build with its own
    // host path: one write makes it whole again.
    m.Registry().DeleteTree("HKEY_CLASSES_ROOT\\WinNT");
    m.Registry().SetValue("HKEY_CLASSES_ROOT\\CLSID\\" + std::string(kShellClsid) + "\\InprocServer32", "",
                          RegValue::Text("/gone/build/libQuorvaleProviders.so"));
    const auto broken = Writes(m);
    EnsurePlatformObjects(m, PROVIDERS_PATH);
    EXPECT_EQ(Writes(m), broken + 1);
    EXPECT_EQ(Registered(m), 7u);
    EXPECT_EQ(LibraryOf(m, "WScript.Shell"), c.library);
  }
}

TEST(PlatformObjects, RefusedWithTheReasonAndNothingWritten) {
  TempMachine temp;
  Machine& m = temp.machine();
  const auto before = Writes(m);
  try {
    EnsurePlatformObjects(m, "/nowhere/libQuorvaleProviders.so");
    ADD_FAILURE() << "a missing library was taken";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nowhere/libQuorvaleProviders.so cannot be loaded"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(Writes(m), before);
  EXPECT_EQ(Registered(m), 0u);
  std::ofstream(RegistryFileOf(m.Folder()), std::ios::app) << "[HKEY_USERS\\cut";
  EXPECT_THROW(EnsurePlatformObjects(m, PROVIDERS_PATH), MachineStateError);
  EXPECT_EQ(Writes(m), before);
}

// A bind that fails because a state file is damaged says so, with the
// file's message, and never as "not installed" (429).
TEST(PlatformObjects, ABindOnADamagedFileRaisesItsMessage) {
  struct Case {
    const char* file;
    const char* bind;
  } cases[] = {
      {"metabase.xml", "IIS://localhost/w3svc"},
      {"accounts.txt", "WinNT://QUORVALE/Administrator,user"},
      {"groups.txt", "WinNT://QUORVALE/Administrators,group"},
      {"machine.ini", "IIS://localhost/w3svc"},
      {"machine.ini", "WinNT://QUORVALE"},
      {"registry.reg", "IIS://localhost/w3svc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.bind);
    TempMachine temp;
    EnsurePlatformObjects(temp.machine(), PROVIDERS_PATH);
    // A ProgID's resolution is kept until the registry is next written, so a
    // hand edit of registry.reg shows at the first bind after it.
    if (std::string(c.file) != "registry.reg") {
      ASSERT_EQ(Raised([&] { GetObject(c.bind); }).Number(), 0);
    }
    fs::resize_file(temp.Folder() / c.file, 10);
    const Err err = Raised([&] { GetObject(c.bind); });
    EXPECT_EQ(err.Number(), -2147023504);  // 0x80070570
    EXPECT_EQ(err.Description().find("machine file " + (temp.Folder() / c.file).string() + ": "), 0u)
        << err.Description();
  }
  // WMI reads services.txt once asked for its services.
  TempMachine temp;
  EnsurePlatformObjects(temp.machine(), PROVIDERS_PATH);
  fs::resize_file(temp.Folder() / "services.txt", 10);
  const Err err = Raised([] {
    auto wmi = GetObject("winmgmts:\\\\.\\root\\cimv2");
    CallMethod(wmi.get(), "ExecQuery", {Variant("SELECT * FROM Win32_Service")});
  });
  EXPECT_EQ(err.Number(), -2147023504);
  EXPECT_NE(err.Description().find("services.txt"), std::string::npos) << err.Description();
}

// Runs body in a child process; its exit code.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A machine made and registered by one build, that build removed, the
// machine moved to another folder and opened by another build.
TEST(PlatformObjects, AMachineOfOneBuildWorksWithAnother) {
  TempMachine temp;
  const fs::path builds = temp.Folder().parent_path() / (temp.Folder().filename().string() + "-builds");
  fs::create_directories(builds / "one");
  fs::create_directories(builds / "two");
  fs::copy_file(PROVIDERS_PATH, builds / "one" / "libQuorvaleProviders.so");
  fs::copy_file(PROVIDERS_PATH, builds / "two" / "libQuorvaleProviders.so");
  const int first = InChild([&] {
    EnsurePlatformObjects(temp.machine(), builds / "one" / "libQuorvaleProviders.so");
    return Raised([] { GetObject("IIS://localhost/w3svc"); }).Number() == 0 ? 0 : 1;
  });
  ASSERT_EQ(first, 0);
  fs::remove_all(builds / "one");
  const fs::path moved = builds / "moved";
  fs::copy(temp.Folder(), moved, fs::copy_options::recursive);
  ::setenv("QUORVALE_MACHINE", moved.c_str(), 1);
  {
    Machine m(moved);
    const auto before = Writes(m);
    EnsurePlatformObjects(m, builds / "two" / "libQuorvaleProviders.so");
    EXPECT_EQ(Writes(m), before);  // the registry was right as it was
    for (const char* name :
         {"IIS://localhost/w3svc", "WinNT://QUORVALE/Administrator,user", "winmgmts:\\\\."})
      EXPECT_EQ(Raised([&] { GetObject(name); }).Number(), 0) << name;
    EXPECT_EQ(Raised([] { CreateObject("WScript.Shell"); }).Number(), 0);
  }
  ::setenv("QUORVALE_MACHINE", temp.Folder().c_str(), 1);
  fs::remove_all(builds);
}

// Killed at any moment of its first start, a program leaves the objects all
// registered or none; the next start makes them whole.
TEST(PlatformObjects, KilledDuringTheFirstStartAllOrNone) {
  TempMachine temp;
  std::mt19937 random(7);
  int all = 0, none = 0;
  for (int round = 0; round < 12; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (;;) {
        temp.machine().Registry().Edit([](RegistryEdit& e) {
          for (const char* p : kProgIds) e.DeleteTree(std::string("HKEY_CLASSES_ROOT\\") + p);
          e.DeleteTree("HKEY_CLASSES_ROOT\\CLSID");
          e.CreateKey("HKEY_CLASSES_ROOT\\CLSID");
        });
        EnsurePlatformObjects(temp.machine(), PROVIDERS_PATH);
      }
    }
    ::usleep(2000 + random() % 20000);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    Machine m(temp.Folder());
    const std::size_t n = Registered(m);
    EXPECT_TRUE(n == 0 || n == 7) << n;
    (n ? all : none)++;
    EnsurePlatformObjects(m, PROVIDERS_PATH);
    EXPECT_EQ(Registered(m), 7u);
    EXPECT_FALSE(fs::exists(temp.Folder() / "registry.reg.tmp"));
  }
  std::cout << "killed first starts: " << all << " left all registered, " << none << " none\n";
}

}  // namespace
}  // namespace quorvale
