// Every state file of a machine, damaged every way we can think of, read by
// the tool, by a program's start and by a write through the machine: each
// gives one clear error naming the file, and nothing on disk changes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "machine_tool.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "quorvale/providers/registration.h"

namespace quorvale::tool {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The state files of a machine with their bytes (what is in their place).
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename() != ".locks" && e.path().filename() != "drives")
      files[e.path().string()] = e.is_regular_file() ? Bytes(e.path()) : "(folder)";
  return files;
}

// A copy of the machine's state files, with an empty drive C: quicker to
// make than a whole machine, and all a damaged file needs.
void CopyState(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::create_directories(to / "drives" / "C");
  for (const auto& e : fs::directory_iterator(from))
    if (e.is_regular_file()) fs::copy_file(e.path(), to / e.path().filename());
}

struct Damage {
  std::string what;
  std::function<void(const fs::path& file)> apply;
};

void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// The damages of one file whose whole text is given.
std::vector<Damage> DamagesOf(const std::string& name, const std::string& whole) {
  std::vector<Damage> out;
  const auto cut = [](std::size_t size) { return [size](const fs::path& f) { fs::resize_file(f, size); }; };
  for (std::size_t at = whole.find('\n'); at + 1 < whole.size(); at = whole.find('\n', at + 1))
    out.push_back({"cut at the line end at byte " + std::to_string(at + 1), cut(at + 1)});
  std::mt19937 random(static_cast<unsigned>(whole.size()));
  for (int i = 0; i < 6; ++i) {
    const std::size_t at = random() % whole.size();
    out.push_back({"cut at byte " + std::to_string(at), cut(at)});
  }
  out.push_back({"emptied", cut(0)});
  out.push_back({"removed", [](const fs::path& f) { fs::remove(f); }});
  out.push_back({"garbage", [](const fs::path& f) { WriteText(f, "this is no machine file\n"); }});
  out.push_back({"binary junk", [seed = random()](const fs::path& f) {
                   std::mt19937 bytes(seed);
                   std::string junk(4096, '\0');
                   for (auto& c : junk) c = static_cast<char>(bytes());
                   WriteText(f, junk);
                 }});
  out.push_back({"10 MB of junk", [](const fs::path& f) {
                   std::string junk(10 << 20, 'x');
                   for (std::size_t i = 0; i < junk.size(); i += 997) junk[i] = '\n';
                   WriteText(f, junk);
                 }});
  out.push_back({"deep nesting", [name](const fs::path& f) {
                   std::string deep;
                   if (name == "registry.reg") {
                     deep = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE";
                     for (int i = 0; i < 30000; ++i) deep += "\\a";
                     deep += "]\r\n\r\n; end\r\n";
                   } else if (name == "metabase.xml") {
                     deep = "<configuration><MBProperty>";
                     for (int i = 0; i < 30000; ++i) deep += "<a>";
                     for (int i = 0; i < 30000; ++i) deep += "</a>";
                     deep += "</MBProperty></configuration>\n";
                   } else {
                     deep = std::string(30000, '[') + std::string(30000, '\t') + "\n# end\n; end\r\n";
                   }
                   WriteText(f, deep);
                 }});
  out.push_back({"unreadable (a folder in its place)", [](const fs::path& f) {
                   fs::remove(f);
                   fs::create_directories(f / "x");
                 }});
  return out;
}

// A write through the machine that reads the file first.
void WriteTouching(const std::string& name, const fs::path& folder) {
  Machine m(folder);
  const std::map<std::string, std::function<void()>> writes = {
      {"machine.ini", [&] { m.SetFreeSpace('C', 1); }},
      {"registry.reg", [&] { m.Registry().CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\New"); }},
      {"attributes.txt", [&] { m.SetAttributes("C:\\boot.ini", kAttrHidden); }},
      {"short-names.txt", [&] { m.ShortNameOf("C:\\Program Files"); }},
      {"holds.txt", [&] { m.Hold("C:\\boot.ini", "test"); }},
      {"access.txt", [&] { m.Grant("C:\\boot.ini", "Everyone", "R"); }},
      {"services.txt",
       [&] {
         m.SetService({"New", "New", "C:\\new.exe", "auto", "stopped"});
       }},
      {"started-programs.txt",
       [&] {
         m.RecordStart({"notepad.exe", 1, true});
       }},
      {"program-events.txt",
       [&] {
         m.RecordEvent({"notepad.exe", "opened", "C:\\x.txt", ""});
       }},
      {"accounts.txt",
       [&] {
         LocalAccounts(m).CreateUser({"New", "", "", 0x201, ""});
       }},
      {"groups.txt", [&] { LocalAccounts(m).RemoveMember("Users", "Nobody"); }},
      {"metabase.xml", [&] { Metabase(m).Update([](std::vector<MetabaseKey>&) { return true; }); }},
  };
  writes.at(name)();
}

class DamageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    temp_ = std::make_unique<quorvale::testing::TempFolder>("quorvale-damage");
    root_ = temp_->Path();
    Machine::Create(root_ / "made", MachineShape{});
    Machine(root_ / "made").ShortNameOf("C:\\Program Files");  // so short-names.txt holds a line
  }
  static void TearDownTestSuite() { temp_.reset(); }
  static std::unique_ptr<quorvale::testing::TempFolder> temp_;
  static fs::path root_;
};
std::unique_ptr<quorvale::testing::TempFolder> DamageTest::temp_;
fs::path DamageTest::root_;

TEST_F(DamageTest, EveryFileEveryWayOneErrorNamingItAndNothingChanged) {
  const fs::path made = root_ / "made", folder = root_ / "case";
  std::size_t cases = 0;
  for (const std::string& name : Machine::StateFileNames(true)) {
    const std::string whole = Bytes(made / name);
    ASSERT_FALSE(whole.empty()) << name;
    for (const auto& damage : DamagesOf(name, whole)) {
      SCOPED_TRACE(name + ", " + damage.what);
      ++cases;
      CopyState(made, folder);
      damage.apply(folder / name);
      const auto before = Snapshot(folder);
      // A folder whose machine.ini is gone holds no machine: that is said.
      const std::string named = name == "machine.ini" && damage.what == "removed"
                                    ? folder.string() + " holds no machine"
                                    : "machine file " + (folder / name).string() + ": ";

      std::ostringstream out, err;
      EXPECT_EQ(RunMachineTool({"--machine", folder.string(), "show"}, out, err), 1);
      const std::string error = err.str();
      EXPECT_EQ(error.find("quorvale-machine: " + named), 0u) << error.substr(0, 300);
      EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1);
      EXPECT_TRUE(out.str().empty());

      ::setenv("QUORVALE_MACHINE", folder.c_str(), 1);
      std::vector<std::string> args;
      try {
        StartOnMachine(args, PROVIDERS_PATH);
        ADD_FAILURE() << "the program started";
      } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()).find(named), 0u) << e.what();
      }
      ::unsetenv("QUORVALE_MACHINE");

      EXPECT_THROW(WriteTouching(name, folder), MachineStateError);
      const auto after = Snapshot(folder);
      EXPECT_TRUE(after == before);
      for (const auto& [file, bytes] : after)
        if (!before.count(file) || before.at(file) != bytes) ADD_FAILURE() << file << " changed";
    }
  }
  EXPECT_GT(cases, 200u);
}

// The readers on texts mutated at random: a state, or MachineStateError,
// never any other failure.
TEST_F(DamageTest, ReadersGiveAStateOrTheirErrorOnMutatedTexts) {
  const std::map<std::string, std::function<void(const std::string&)>> readers = {
      {"machine.ini", [](const std::string& t) { ParseMachineIni(t, "machine.ini"); }},
      {"registry.reg", [](const std::string& t) { ParseRegistryText(t, "registry.reg"); }},
      {"metabase.xml", [](const std::string& t) { ParseMetabaseXml(t, "metabase.xml"); }},
      {"accounts.txt", [](const std::string& t) { ParseAccounts(t, "accounts.txt"); }},
      {"groups.txt", [](const std::string& t) { ParseGroups(t, "groups.txt"); }},
      {"services.txt", [](const std::string& t) { ParseServices(t, "services.txt"); }},
  };
  std::mt19937 random(3);
  std::size_t refused = 0, read = 0;
  for (const auto& [name, reader] : readers) {
    const std::string whole = Bytes(root_ / "made" / name);
    ASSERT_NO_THROW(reader(whole)) << name;
    for (int i = 0; i < 400; ++i) {
      std::string text = whole;
      for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
        const std::size_t at = random() % (text.size() + 1);
        switch (random() % 4) {
          case 0: text.insert(at, 1, static_cast<char>(random())); break;
          case 1: text.erase(at, random() % 8); break;
          case 2: text.insert(at, text.substr(at, random() % 64)); break;
          default:
            if (at < text.size()) text[at] = "\"=\\[]<>&;#%\t\r\n\0"[random() % 15];
        }
      }
      try {
        reader(text);
        ++read;
      } catch (const MachineStateError&) {
        ++refused;
      } catch (const std::exception& e) {
        ADD_FAILURE() << name << ": " << e.what() << " on\n" << text;
      }
    }
  }
  std::cout << read << " mutated texts read, " << refused << " refused\n";
}

}  // namespace
}  // namespace quorvale::tool
