// Making, opening and resetting a machine: what is refused, what is left,
// and the limits that keep reading linear.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/registry_store.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale {
namespace {

namespace fs = std::filesystem;

class Folders : public ::testing::Test {
 protected:
  void TearDown() override { ::unsetenv("QUORVALE_MACHINE"); }
  // The message a call raises, "" when it raises none.
  static std::string Raised(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
  static MachineShape Windows(WindowsEdition edition) {
    MachineShape shape;
    shape.edition = edition;
    return shape;
  }
  quorvale::testing::TempFolder temp_{"quorvale-life"};
  const fs::path dir_ = temp_.Path();
};

TEST_F(Folders, CreateRefusesWhatItMustNotMix) {
  const fs::path machine = dir_ / "m", other = dir_ / "other", file = dir_ / "file", busy = dir_ / "busy";
  Machine::Create(machine, {});
  fs::create_directories(other);
  std::ofstream(other / "keep.txt") << "mine";
  std::ofstream(file) << "x";
  fs::create_directories(busy / ".locks");
  const int lock = ::open((busy / ".locks" / "machine.lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);  // as another process making a machine there
  struct Case {
    fs::path folder;
    std::string message;
  } cases[] = {
      {machine, machine.string() + " holds a machine already"},
      {other, other.string() + " holds files but no machine; make the machine in an empty folder"},
      {file, file.string() + " is a file, not a folder"},
      {busy, "a machine is being made or reset in " + busy.string()},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Raised([&] { Machine::Create(c.folder, Windows(WindowsEdition::kWindows2000)); }), c.message);
  ::close(lock);
  EXPECT_EQ(Machine(machine).Info().windows_directory, "C:\\WINDOWS");
  EXPECT_TRUE(fs::exists(other / "keep.txt"));
  EXPECT_EQ(Raised([&] { Machine::Reset(other, {}); }),
            other.string() + " holds no machine; nothing removed");
  EXPECT_TRUE(fs::exists(other / "keep.txt"));
}

TEST_F(Folders, AKilledMakerLeavesNoMachineAndIsMadeAgain) {
  const fs::path folder = dir_ / "m";
  // What a maker killed half way leaves: its marker, drives, some files.
  fs::create_directories(folder / ".locks");
  std::ofstream(folder / ".locks" / "unfinished") << "a machine is being made here\n";
  fs::create_directories(folder / "drives" / "C" / "WINNT");
  std::ofstream(folder / "registry.reg") << "REGEDIT4\r\n";
  EXPECT_FALSE(Machine::Exists(folder));
  EXPECT_NE(Raised([&] { Machine m(folder); }).find("holds no machine"), std::string::npos);
  Machine::Create(folder, Windows(WindowsEdition::kWindowsServer2003));
  Machine m(folder);
  EXPECT_NO_THROW(m.Check());
  EXPECT_FALSE(fs::exists(folder / "drives" / "C" / "WINNT"));
  EXPECT_FALSE(fs::exists(folder / ".locks" / "unfinished"));
}

// What a layer above adds runs on the whole machine before it is there: a
// furnishing that fails leaves no machine, and the next Create makes one.
TEST_F(Folders, AFailedFurnishingLeavesNoMachine) {
  const fs::path folder = dir_ / "m";
  const auto furnish = [](const Machine& m) { m.SetService({"Extra", "Extra", "C:\\extra.exe"}); };
  EXPECT_EQ(Raised([&] {
              Machine::Create(folder, {}, [&](const Machine& m) {
                furnish(m);
                throw std::runtime_error("furnishing failed");
              });
            }),
            "furnishing failed");
  EXPECT_FALSE(Machine::Exists(folder));
  Machine::Create(folder, {});
  EXPECT_FALSE(Machine(folder).FindService("Extra"));
  Machine::Reset(folder, {}, furnish);
  EXPECT_NO_THROW(Machine(folder).Check());
  EXPECT_TRUE(Machine(folder).FindService("Extra"));
}

TEST_F(Folders, ResetMakesAWholeNewMachine) {
  const fs::path folder = dir_ / "m";
  Machine::Create(folder, Windows(WindowsEdition::kWindowsServer2003));
  Machine(folder).Registry().CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Left");
  Machine::Reset(folder, Windows(WindowsEdition::kWindows2000));
  Machine m(folder);
  EXPECT_NO_THROW(m.Check());
  EXPECT_EQ(m.Info().windows_directory, "C:\\WINNT");
  EXPECT_EQ(m.Registry()
                .GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot")
                ->AsText(),
            "C:\\WINNT");
  EXPECT_FALSE(m.Registry().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Left"));
  EXPECT_FALSE(fs::exists(folder / "drives" / "C" / "WINDOWS"));
}

// A machine made before its files marked their end: refused with how to
// remake it, and reset remakes it.
TEST_F(Folders, AMachineOfAnOlderBuildIsRefusedWithHowToRemakeIt) {
  const fs::path folder = dir_ / "old";
  fs::create_directories(folder / "drives" / "C");
  std::ofstream(folder / "machine.ini", std::ios::binary)
      << "; A Windows machine kept by Quorvale\r\n[Computer]\r\nComputerName=QUORVALE\r\n"
         "[Features]\r\nIIS=yes\r\n[Version]\r\nMajorVersion=5\r\nMinorVersion=2\r\n";
  std::ofstream(folder / "registry.reg", std::ios::binary) << "REGEDIT4\r\n\r\n";
  EXPECT_EQ(Raised([&] { Machine m(folder); }),
            "machine file " + (folder / "machine.ini").string() +
                ": made by an older build of Quorvale, whose files do not mark their end; remake the machine "
                "with: quorvale-machine --machine " +
                folder.string() + " reset");
  Machine::Reset(folder, {});
  EXPECT_NO_THROW(Machine(folder).Check());
}

TEST_F(Folders, ANamedFolderMustHoldAMachineOnlyTheDefaultIsMade) {
  const fs::path named = dir_ / "typo";
  ::setenv("QUORVALE_MACHINE", named.c_str(), 1);
  EXPECT_EQ(Raised([] { CurrentMachine(); }),
            named.string() + " holds no machine; make one with: quorvale-machine --machine " +
                named.string() + " create");
  EXPECT_FALSE(fs::exists(named));
  fs::create_directories(named);
  EXPECT_NE(Raised([] { CurrentMachine(); }), "");
  EXPECT_TRUE(fs::is_empty(named));  // not even a lock
  ::unsetenv("QUORVALE_MACHINE");
  const char* old_data = std::getenv("XDG_DATA_HOME");
  const std::string kept = old_data ? old_data : "";
  ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  auto made = CurrentMachine();
  EXPECT_EQ(made->Folder(), dir_ / "data" / "quorvale" / "machine");
  EXPECT_NO_THROW(made->Check());
  if (old_data)
    ::setenv("XDG_DATA_HOME", kept.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}

// A temporary file is a killed writer's when its lock is taken: it goes.
TEST_F(Folders, StaleTemporaryFilesGoWhenTheLockIsNextTaken) {
  const fs::path folder = dir_ / "m";
  Machine::Create(folder, {});
  Machine m(folder);
  const std::string junk(1 << 20, 'x');
  for (const char* name : {"registry.reg.tmp", "accounts.txt.tmp", "metabase.xml.tmp", "machine.ini.tmp"})
    std::ofstream(folder / name) << junk;
  m.Registry().CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\X");  // a write
  m.Check();                                                  // reads under each file's lock
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().extension() == ".tmp") left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{});
}

// The sanitized debug build runs this code about ten times slower: the
// budgets below grow with it, still far below what quadratic reading takes.
#ifdef __SANITIZE_ADDRESS__
constexpr int kSlower = 10;
#else
constexpr int kSlower = 1;
#endif

// Reading stays linear: deep keys are refused at once, long files read fast.
TEST_F(Folders, DeepAndLargeFilesReadInLinearTime) {
  const fs::path file = dir_ / "registry.reg";
  RegistryStore store(file);
  std::string key = "HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 512; ++i) key += "\\k";
  EXPECT_TRUE(store.CreateKey(key));
  EXPECT_FALSE(store.CreateKey(key + "\\one too deep"));
  EXPECT_TRUE(RegistryStore(file).KeyExists(key));  // 512 levels read back

  for (int depth : {10'000, 30'000}) {
    std::string deep = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < depth; ++i) deep += "\\a";
    deep += "]\r\n\r\n; end\r\n";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        Raised([&] { ParseRegistryText(deep, "registry.reg"); }),
        "machine file registry.reg: line 3: a key " + std::to_string(depth) + " levels deep (at most 512)");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500) * kSlower);
  }

  std::string wide = "REGEDIT4\r\n\r\n", sites;
  for (int i = 0; i < 100'000; ++i)
    wide += "[HKEY_USERS\\S-" + std::to_string(i) + "]\r\n\"v\"=dword:00000001\r\n\r\n";
  wide += "; end\r\n";
  for (int i = 0; i < 20'000; ++i)
    sites += "<IIsWebServer Location=\"/LM/W3SVC/" + std::to_string(i + 1) + "\" ServerComment=\"x\"/>\n";
  const std::string metabase = "<configuration><MBProperty><IIsWebService Location=\"/LM/W3SVC\"/>\n" +
                               sites + "</MBProperty></configuration>\n";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ParseRegistryText(wide, "registry.reg").at("HKEY_USERS").subkeys.size(), 100'000u);
  EXPECT_EQ(ParseMetabaseXml(metabase, "metabase.xml").size(), 20'001u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3) * kSlower);
}

}  // namespace
}  // namespace quorvale
