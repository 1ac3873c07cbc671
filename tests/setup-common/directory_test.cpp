#include <gtest/gtest.h>

#include "quorvale/setup/number_text.h"
#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

TEST(FreeSpaceText, FormatsWithThePointAlwaysThere) {
  struct Case {
    double gb;
    const char* text;
  };
  const Case cases[] = {{12.346, "12.35"},      {12, "12."},   {0.5, ".5"},  {0, "."},
                        {12.5, "12.5"},         {40, "40."},   {0.004, "."}, {0.005, ".01"},
                        {99999.999, "100000."}, {-0.5, "-.5"}, {0.1, ".1"},  {12.05, "12.05"}};
  for (const auto& c : cases) EXPECT_EQ(FormatFreeSpace(c.gb), c.text) << c.gb;
}

TEST(FreeSpaceText, ReadsNumbersAsTheChecksDo) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"12.5", 12.5}, {"12.", 12.0},         {".5", 0.5},  {".", std::nullopt},     {"", std::nullopt},
      {" 3 ", 3.0},   {"0GB", std::nullopt}, {"-1", -1.0}, {"1.2.3", std::nullopt}, {"4.8MB", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << c.text;
}

TEST(FreeSpaceText, ComputesGigabytesFromTheClusterCounts) {
  EXPECT_DOUBLE_EQ(FreeGigabytes({8, 512, 4 * 1024 * 1024, 0}), 16.0);
  EXPECT_DOUBLE_EQ(FreeGigabytes({0, 0, 0, 0}), 0.0);
  // Past 2 TB free the count no longer fits 32 bits and must not wrap.
  EXPECT_NEAR(FreeGigabytes({64, 512, 0x7FFFFFFF, 0}), 65535.99997, 1e-4);
}

struct OnDirectory : Wizard {
  explicit OnDirectory(ProgramProfile profile = TestProfile(),
                       const MachineShape& shape = FreeOnC(kSixteenGB),
                       std::function<void(Wizard&)> arrange = {})
      : Wizard(std::move(profile), shape) {
    if (arrange) arrange(*this);
    Start();
    WalkToDirectory();
  }
  DirectoryPage& page() { return Page<DirectoryPage>(); }
};

MachineShape WithoutProgramFiles() {
  MachineShape shape = FreeOnC(kSixteenGB);
  shape.program_files = false;
  return shape;
}

TEST(DirectoryPageTest, DefaultFolderUnderTheWindowsDrive) {
  struct Case {
    const char* name;
    ProgramProfile profile;
    MachineShape shape;
    std::function<void(Wizard&)> arrange;
    const char* folder;
    const char* space;
  };
  MachineShape with_d = FreeOnC(kSixteenGB);
  with_d.drives['D'] = 0;
  const std::vector<Case> cases = {
      {"server, Program Files",
       TestProfile(),
       FreeOnC(kSixteenGB),
       {},
       "C:\\Program Files\\Quorvale\\被控端",
       "16.GB"},
      {"server, no Program Files", TestProfile(), WithoutProgramFiles(), {}, "C:\\Quorvale\\被控端", "16.GB"},
      {"control end",
       TestProfile(ControlEndTexts(), ControlEndRules()),
       FreeOnC(kSixteenGB),
       {},
       "C:\\Program Files\\Quorvale\\主控端",
       "16.GB"},
      {"Windows on a full D:", TestProfile(), with_d,
       [](Wizard& w) {
         auto info = w.temp.machine().Info();
         info.windows_directory = "D:\\WINNT";
         w.temp.machine().SetInfo(info);
         w.temp.Write("D:\\Program Files\\x.txt", "");
       },
       "D:\\Program Files\\Quorvale\\被控端", ".GB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OnDirectory w(c.profile, c.shape, c.arrange);
    EXPECT_EQ(w.page().Directory.Text(), c.folder);
    EXPECT_EQ(w.page().ZSpace.Caption(), c.space);
    EXPECT_TRUE(w.page().Directory.Locked());
  }
}

TEST(DirectoryPageTest, BrowsingSetsTheFolderAndItsFreeSpace) {
  struct Case {
    std::optional<std::string> chosen;
    const char* folder;
    const char* space;
  };
  const Case cases[] = {
      {"D:\\", "D:\\Quorvale\\被控端", "2.5GB"},
      {"D:\\Apps", "D:\\Apps\\Quorvale\\被控端", "2.5GB"},
      {"E:\\Data", "E:\\Data\\Quorvale\\被控端", "0GB"},  // drive that cannot be read
      {std::nullopt, "C:\\Program Files\\Quorvale\\被控端", "16.GB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    MachineShape shape = FreeOnC(kSixteenGB);
    shape.drives['D'] = 2560ull << 20;  // 2.5 GB
    OnDirectory w(TestProfile(), shape);
    w.driver.AnswerFolder(c.chosen);
    w.driver.Click(w.page().ViewButton);
    EXPECT_EQ(w.page().Directory.Text(), c.folder);
    EXPECT_EQ(w.page().ZSpace.Caption(), c.space);
    EXPECT_EQ(w.driver.FocusName(), "Directory.Directory");
    ASSERT_EQ(w.driver.Backend().FolderRequests().size(), 1u);
    EXPECT_EQ(w.driver.Backend().FolderRequests()[0].title, "请选择 Quorvale 安装目录：");
    EXPECT_EQ(w.driver.Backend().FolderRequests()[0].owner, "Directory");
  }
}

TEST(DirectoryPageTest, NextRefusesTooLittleSpaceForEachProgram) {
  // Clusters of 4 KB: 1310 just under 0.005 GB (shown "."), 2622 = 0.01, 5243 = 0.02, 7864 = 0.03 GB.
  struct Case {
    const char* name;
    bool control_end;
    std::uint64_t clusters;
    bool refused;
  };
  const std::vector<Case> cases = {
      {"server 0.005", false, 1310, true}, {"server 0.01", false, 2622, false},
      {"server full", false, 0, true},     {"client 0.02", true, 5243, true},
      {"client 0.03", true, 7864, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OnDirectory w(c.control_end ? TestProfile(ControlEndTexts(), ControlEndRules()) : TestProfile(),
                  FreeOnC(c.clusters * 4096));
    w.driver.PressTab();
    w.driver.Click(w.page().NextButton);
    if (c.refused) {
      ASSERT_EQ(w.driver.Messages().size(), 1u);
      EXPECT_EQ(w.driver.Messages()[0].request.prompt, "您选择的磁盘剩余空间不足,请选择其他路径!");
      EXPECT_EQ(w.driver.Messages()[0].request.title, "错误");
      EXPECT_EQ(w.driver.Messages()[0].request.icon, ui::MsgIcon::Question);
      EXPECT_EQ(w.driver.FocusName(), "Directory.Directory");
    } else {
      EXPECT_TRUE(w.driver.Messages().empty());
      EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Install"});
    }
  }
}

TEST(DirectoryPageTest, AnEmptyFolderIsRefusedBeforeTheSpaceOnTheServerEnd) {
  OnDirectory w;
  w.page().Directory.SetText("");
  w.page().ZSpace.SetCaption(".GB");
  w.driver.Click(w.page().NextButton);
  ASSERT_EQ(w.driver.Messages().size(), 1u);
  EXPECT_EQ(w.driver.Messages()[0].request.prompt, "请选择Quorvale虚拟主机管理系统要安装的目标文件夹!");
  EXPECT_EQ(w.driver.Messages()[0].request.title, "错误");
  EXPECT_EQ(w.driver.FocusName(), "Directory.Directory");
}

TEST(DirectoryPageTest, BackLeadsToTheProgramsPreviousPage) {
  OnDirectory w;
  w.driver.Click(w.page().StepButton);
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Choice"});
  EXPECT_EQ(w.driver.FocusName(), "Choice.Box");
}

}  // namespace
}  // namespace quorvale::setup::testing
