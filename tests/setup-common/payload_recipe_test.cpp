// UnpackPayload of the server end, run on a machine with the program's own
// resources: what the install folder holds afterwards, the bar's widths in
// order and the unpacker's command line.
#include "quorvale/setup/payload_recipe.h"

#include <filesystem>

#include "quorvale/win32/kernel.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::HostFile;
using testing::RecipeMachine;
using testing::RecordedSteps;

constexpr long long kArchiveSize = 2861144, kUnpackerSize = 314368;

const std::vector<int> kServerWidths = {150,  200,  300,  400,  500,  600,  700,  800,  900,
                                        1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800,
                                        1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700};

struct FolderCase {
  const char* folder;
  bool made;            // the folder exists before the step
  const char* command;  // what is started
};

TEST(UnpackPayload, WritesBothFilesAndStartsTheUnpackerOnTheirShortPaths) {
  const FolderCase cases[] = {
      {"C:\\Program Files\\Quorvale Server", true,
       "C:\\Program Files\\Quorvale Server\\Rar.exe x -r -y -o+ C:\\PROGRA~1\\QUORVA~1\\Quorvale.rar "
       "C:\\PROGRA~1\\QUORVA~1"},
      {"D:\\Q", true, "D:\\Q\\Rar.exe x -r -y -o+ D:\\Q\\Quorvale.rar D:\\Q"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    MachineShape shape;
    shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
    RecipeMachine m(shape);
    win32::CreateDirectoryA(c.folder, nullptr);
    RecordedSteps r;
    UnpackPayload(r, kServerEndPayload, c.folder);

    const std::string folder = c.folder;
    EXPECT_EQ(r.Captions(), (std::vector<std::string>{"正在释放安装程序包...", "正在解压缩安装文件..."}));
    EXPECT_EQ(r.ListLines(), r.Captions());
    EXPECT_EQ(r.Widths(), kServerWidths);
    EXPECT_EQ(r.turns, kArchiveSize + kUnpackerSize + 2);
    EXPECT_FALSE(r.err) << r.err.Description();
    EXPECT_TRUE(m.temp.Read(folder + "\\Quorvale.rar") == HostFile(SERVER_PAYLOAD));
    EXPECT_TRUE(m.temp.Read(folder + "\\Rar.exe") == HostFile(UNPACKER));
    EXPECT_EQ(m.Started(), std::vector<std::string>{c.command});

    WaitForPrograms();
    for (const char* member : {"MSCOMCTL.OCX", "System.ini", "Bin\\Rar.exe", "Template\\Images\\spacer.gif",
                               "MailCtrl.asp", "说明.txt"})
      EXPECT_TRUE(m.temp.Exists(folder + "\\" + member)) << member;
  }
}

TEST(UnpackPayload, FailuresAreSkippedSilently) {
  RecipeMachine m;
  RecordedSteps r;
  UnpackPayload(r, kServerEndPayload, "C:\\No Such Folder");
  EXPECT_EQ(r.ListLines(), (std::vector<std::string>{"正在释放安装程序包...", "正在解压缩安装文件..."}));
  EXPECT_EQ(r.Widths(), kServerWidths);
  EXPECT_EQ(r.turns, kArchiveSize + kUnpackerSize + 2);
  EXPECT_TRUE(r.err);
  EXPECT_FALSE(m.temp.Exists("C:\\No Such Folder"));
}

// Bounds past the end of a resource: those writes are skipped, never read.
TEST(UnpackPayload, WritesNoByteBeyondTheResource) {
  RecipeMachine m;
  win32::CreateDirectoryA("C:\\Q", nullptr);
  std::vector<ProgressPoint> points = {
      {kArchiveSize - 1, 1000}, {kArchiveSize, 1100}, {kArchiveSize + 999, 1200}};
  RecordedSteps r;
  WriteResourceFile(r, {101, kArchiveSize + 999, points}, "C:\\Q\\Quorvale.rar");
  EXPECT_EQ(r.Widths(), (std::vector<int>{1000, 1100, 1200}));
  EXPECT_EQ(r.turns, kArchiveSize + 1000);
  EXPECT_EQ(r.err.Number(), 9);
  EXPECT_TRUE(m.temp.Read("C:\\Q\\Quorvale.rar") == HostFile(SERVER_PAYLOAD));

  // A resource the program does not carry: an empty file, every write skipped.
  RecordedSteps none;
  WriteResourceFile(none, {999, 9, {}}, "C:\\Q\\None.bin");
  EXPECT_EQ(none.turns, 10);
  EXPECT_EQ(none.err.Number(), 9);
  EXPECT_EQ(m.temp.Read("C:\\Q\\None.bin"), "");

  // An older, longer file of the name leaves nothing behind.
  m.temp.Write("C:\\Q\\Short.bin", std::string(100, 'x'));
  RecordedSteps shorter;
  WriteResourceFile(shorter, {102, 9, {}}, "C:\\Q\\Short.bin");
  EXPECT_EQ(m.temp.Read("C:\\Q\\Short.bin"), HostFile(UNPACKER).substr(0, 10));
}

// An archive whose members name places outside the install folder.
TEST(UnpackPayload, TheUnpackerWritesNothingOutsideTheInstallFolder) {
  RecipeMachine m;
  win32::CreateDirectoryA("C:\\Program Files\\Quorvale", nullptr);
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(ESCAPE_ARCHIVE));
  PayloadVariant variant = kServerEndPayload;
  variant.archive = {901, size - 1, {}};
  RecordedSteps r;
  UnpackPayload(r, variant, "C:\\Program Files\\Quorvale");
  WaitForPrograms();
  EXPECT_TRUE(m.temp.Exists("C:\\Program Files\\Quorvale\\inside.txt"));
  EXPECT_TRUE(m.temp.Exists("C:\\Program Files\\Quorvale\\MailCtrl.asp"));
  for (const char* outside : {"C:\\outside.txt", "C:\\Program Files\\outside.txt", "C:\\rooted.txt",
                              "C:\\Program Files\\Quorvale\\rooted.txt"})
    EXPECT_FALSE(m.temp.Exists(outside)) << outside;
}

}  // namespace
}  // namespace quorvale::setup
