// The dialogs' view of the machine: drives, folders, filters, Windows paths.
#include "quorvale/ui/fltk/folder_listing.h"

#include <gtest/gtest.h>

#include <fstream>

namespace quorvale::ui::fltk {
namespace {

namespace fs = std::filesystem;

class FolderListing : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = fs::temp_directory_path() /
               ("quorvale-listing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(machine_);
    for (const char* d : {"drives/C/Program Files", "drives/C/apps", "drives/C/WINDOWS", "drives/D/Data",
                          "drives/x", "drives/DD"}) {
      fs::create_directories(machine_ / d);
    }
    for (const char* f :
         {"drives/C/setup.EXE", "drives/C/readme.txt", "drives/C/Boot.ini", "drives/C/a.com", "drives/E"}) {
      std::ofstream(machine_ / f) << "x";
    }
  }
  void TearDown() override { fs::remove_all(machine_); }
  fs::path machine_;
};

TEST_F(FolderListing, DrivesAreTheUpperCaseLetterFolders) {
  // Not "x" (no such drive for HostPathOf), not "DD", not the file "E".
  EXPECT_EQ(Drives(machine_), (std::vector<std::string>{"C:\\", "D:\\"}));
  EXPECT_TRUE(Drives(machine_ / "none").empty());
}

TEST_F(FolderListing, FoldersFirstThenMatchingFiles) {
  using E = FolderEntry;
  EXPECT_EQ(ListFolder(machine_, "C:\\", false),
            (std::vector<E>{{"apps", true}, {"Program Files", true}, {"WINDOWS", true}}));
  EXPECT_EQ(ListFolder(machine_, "C:\\", true, "*.exe;*.com"), (std::vector<E>{{"apps", true},
                                                                               {"Program Files", true},
                                                                               {"WINDOWS", true},
                                                                               {"a.com", false},
                                                                               {"setup.EXE", false}}));
  EXPECT_EQ(ListFolder(machine_, "C:\\", true).size(), 7u);
  EXPECT_EQ(ListFolder(machine_, "D:\\Data", true), std::vector<E>{});
  EXPECT_TRUE(ListFolder(machine_, "Q:\\", true).empty());
  EXPECT_TRUE(ListFolder(machine_, "", true).empty());
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
