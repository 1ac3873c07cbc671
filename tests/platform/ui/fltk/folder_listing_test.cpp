// The dialogs' view of the machine: drives, folders, filters, Windows paths.
#include "quorvale/ui/fltk/folder_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "quorvale/machine/machine.h"

namespace quorvale::ui::fltk {
namespace {

namespace fs = std::filesystem;

class FolderListing : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quorvale-listing-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    MachineShape shape;
    shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
    Machine::Create(folder_, shape);
    machine_ = std::make_unique<Machine>(folder_);
    for (const char* d : {"C:\\Work\\Program Files\\Sub", "C:\\Work\\apps", "C:\\Work\\WINDOWS",
                          "C:\\Work\\RECYCLER", "D:\\Data"}) {
      fs::create_directories(machine_->Resolve(d).host);
    }
    for (const char* f : {"C:\\Work\\setup.EXE", "C:\\Work\\readme.txt", "C:\\Work\\Boot.ini",
                          "C:\\Work\\a.com", "C:\\Work\\Program Files\\x.exe"}) {
      std::ofstream(machine_->Resolve(f).host) << "x";
    }
    // Hidden, as Windows keeps its recycle bin and boot file.
    machine_->SetAttributes("C:\\Work\\RECYCLER", kAttrHidden | kAttrSystem);
    machine_->SetAttributes("C:\\Work\\Boot.ini", kAttrHidden | kAttrSystem | kAttrReadOnly);
    // A system folder that is not hidden is shown.
    machine_->SetAttributes("C:\\Work\\WINDOWS", kAttrSystem);
    // A drive folder that is no drive letter.
    fs::create_directories(folder_ / "drives" / "x");
  }
  void TearDown() override {
    machine_.reset();
    fs::remove_all(folder_);
  }
  fs::path folder_;
  std::unique_ptr<Machine> machine_;
};

TEST_F(FolderListing, DrivesAreTheMachines) {
  EXPECT_EQ(Drives(*machine_), (std::vector<std::string>{"C:\\", "D:\\"}));
}

TEST_F(FolderListing, FoldersFirstThenMatchingFilesWithoutHiddenOnes) {
  using E = FolderEntry;
  const Machine& m = *machine_;
  EXPECT_EQ(ListFolder(m, "C:\\Work", false),
            (std::vector<E>{{"apps", true}, {"Program Files", true}, {"WINDOWS", true}}));
  EXPECT_EQ(ListFolder(m, "c:\\WORK\\", true, "*.exe;*.com"), (std::vector<E>{{"apps", true},
                                                                              {"Program Files", true},
                                                                              {"WINDOWS", true},
                                                                              {"a.com", false},
                                                                              {"setup.EXE", false}}));
  EXPECT_EQ(ListFolder(m, "C:\\Work", true).size(), 6u);
  // 8.3 names are taken, as Windows takes them.
  EXPECT_EQ(ListFolder(m, "C:\\WORK\\PROGRA~1", true), (std::vector<E>{{"Sub", true}, {"x.exe", false}}));
  EXPECT_EQ(ListFolder(m, "D:\\Data", true), std::vector<E>{});
  EXPECT_TRUE(ListFolder(m, "Q:\\", true).empty());
  EXPECT_TRUE(ListFolder(m, "C:\\Work\\none", true).empty());
  EXPECT_TRUE(ListFolder(m, "C:\\Work\\a.com", true).empty());
  EXPECT_TRUE(ListFolder(m, "", true).empty());
}

TEST_F(FolderListing, FindPathGivesTheNamesAsTheDriveKeepsThem) {
  struct Case {
    const char* path;
    std::optional<std::string> long_path;
    bool folder;
  } cases[] = {
      {"c:\\work\\progra~1", "C:\\Work\\Program Files", true},
      {"C:\\WORK\\PROGRA~1\\X.EXE", "C:\\Work\\Program Files\\x.exe", false},
      {"d:\\", "D:\\", true},
      {"C:\\Work\\none", std::nullopt, false},
      {"Q:\\", std::nullopt, false},
      {"C:\\Work\\a<b", std::nullopt, false},
  };
  for (const auto& c : cases) {
    const auto found = FindPath(*machine_, c.path);
    ASSERT_EQ(found.has_value(), c.long_path.has_value()) << c.path;
    if (!found) continue;
    EXPECT_EQ(found->long_path, *c.long_path);
    EXPECT_EQ(found->folder, c.folder) << c.path;
  }
}

TEST(Filter, Patterns) {
  struct Case {
    const char* name;
    const char* patterns;
    bool match;
  } cases[] = {
      {"setup.exe", "*.exe", true},
      {"SETUP.EXE", "*.exe", true},
      {"setup.exe.txt", "*.exe", false},
      {"README", "*.*", true},
      {"a.txt", "*.exe; *.txt", true},
      {"a.txt", "*.exe;", false},
      {"ServUDaemon.ini", "ServUDaemon.ini", true},
      {"x1.ini", "x?.ini", true},
      {"x12.ini", "x?.ini", false},
      {"abcabd", "*abd", true},
      {"", "*", true},
      {"a", "", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesFilter(c.name, c.patterns), c.match) << c.name << " " << c.patterns;
}

TEST(WindowsPaths, JoinAndParent) {
  EXPECT_EQ(JoinWindowsPath("D:\\", "Apps"), "D:\\Apps");
  EXPECT_EQ(JoinWindowsPath("D:\\Apps", "x"), "D:\\Apps\\x");
  EXPECT_EQ(JoinWindowsPath("D:\\Apps\\", "x"), "D:\\Apps\\x");
  struct Case {
    const char* path;
    const char* parent;
  } cases[] = {
      {"D:\\Apps\\x", "D:\\Apps"}, {"D:\\Apps", "D:\\"}, {"D:\\Apps\\", "D:\\"}, {"D:\\", ""}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(ParentWindowsPath(c.path), c.parent) << c.path;
}

}  // namespace
}  // namespace quorvale::ui::fltk
