// The open-file dialog call and the current folder it may move.
#include <gtest/gtest.h>

#include <cstring>

#include "ansi_text.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

std::string Current() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  return FromAnsi(std::string(buffer, n));
}

// The dialog for one test: answers what it is given and keeps what it saw.
struct ScriptedDialog {
  explicit ScriptedDialog(std::optional<std::string> answer) {
    previous = SetFileDialog([this, answer](const FileDialogRequest& r) {
      seen = r;
      return answer;
    });
  }
  ~ScriptedDialog() { SetFileDialog(previous); }
  FileDialog previous;
  std::optional<FileDialogRequest> seen;
};

MachineShape WithDriveD() {
  MachineShape shape;
  shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
  return shape;
}

TEST(OpenFileName, TheDialogGetsTheRecordsFilterTitleAndFolder) {
  TempMachine temp;
  ScriptedDialog dialog(std::nullopt);
  const std::string filter = A("ISAPI dll 文件(*.dll)") + '\0' + "*.dll" + '\0' + A("CGI Exe 文件(*.exe)") +
                             '\0' + "*.exe" + '\0' + A("没有模式") + '\0' + '\0';
  const std::string title = A("请选择PHP执行程序路径...");
  char file[255] = {};
  OPENFILENAMEA r{};
  r.lStructSize = 76;
  r.lpstrFilter = filter.c_str();
  r.lpstrFile = file;
  r.nMaxFile = 255;
  r.lpstrTitle = title.c_str();
  EXPECT_EQ(GetOpenFileNameA(&r), FALSE);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  ASSERT_TRUE(dialog.seen);
  EXPECT_EQ(dialog.seen->record, &r);
  EXPECT_EQ(dialog.seen->filter, (std::vector<std::pair<std::string, std::string>>{
                                     {"ISAPI dll 文件(*.dll)", "*.dll"}, {"CGI Exe 文件(*.exe)", "*.exe"}}));
  EXPECT_EQ(dialog.seen->title, "请选择PHP执行程序路径...");
  // No initial folder in the record: the current one.
  EXPECT_EQ(dialog.seen->initial_folder, "C:\\");
  const std::string folder = A("D:\\软件");
  r.lpstrInitialDir = folder.c_str();
  GetOpenFileNameA(&r);
  EXPECT_EQ(dialog.seen->initial_folder, "D:\\软件");
}

TEST(OpenFileName, TheAnswerGoesIntoTheCallersBuffers) {
  struct Case {
    const char* name;
    std::optional<std::string> answer;
    DWORD flags;
    DWORD max_file;
    BOOL result;
    DWORD error;
    std::string file;  // the buffer up to its NUL
    const char* file_title;
    WORD offset, extension;
    const char* folder_after;
  } cases[] = {
      {"chosen", "C:\\Serv-U\\ServUDaemon.ini", 0, 255, TRUE, 0, "C:\\Serv-U\\ServUDaemon.ini",
       "ServUDaemon.ini", 10, 22, "C:\\Serv-U"},
      {"in a drive root", "D:\\x.ini", 0, 255, TRUE, 0, "D:\\x.ini", "x.ini", 3, 5, "D:\\"},
      {"folder kept", "C:\\Serv-U\\ServUDaemon.ini", OFN_NOCHANGEDIR, 255, TRUE, 0,
       "C:\\Serv-U\\ServUDaemon.ini", "ServUDaemon.ini", 10, 22, "C:\\"},
      {"typed missing file", "C:\\Serv-U\\New.ini", 0, 255, TRUE, 0, "C:\\Serv-U\\New.ini", "New.ini", 10, 14,
       "C:\\Serv-U"},
      {"missing folder", "C:\\Nowhere\\a", 0, 255, TRUE, 0, "C:\\Nowhere\\a", "a", 11, 0, "C:\\"},
      {"GBK counts bytes", "C:\\中文\\文件.ini", 0, 255, TRUE, 0, A("C:\\中文\\文件.ini"), "文件.ini", 8, 13,
       "C:\\中文"},
      {"cancelled", std::nullopt, 0, 255, FALSE, 0, "old", "", 0, 0, "C:\\"},
      {"buffer too small", "C:\\Serv-U\\ServUDaemon.ini", 0, 20, FALSE, FNERR_BUFFERTOOSMALL, "", "", 0, 0,
       "C:\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempMachine temp(WithDriveD());
    temp.Write("C:\\Serv-U\\ServUDaemon.ini", "[GLOBAL]");
    temp.Write("C:\\中文\\文件.ini", "x");
    temp.Write("D:\\x.ini", "x");
    ScriptedDialog dialog(c.answer);
    char file[255] = "old";
    char title[255] = {};
    OPENFILENAMEA r{};
    r.lStructSize = 76;
    r.lpstrFile = file;
    r.nMaxFile = c.max_file;
    r.lpstrFileTitle = title;
    r.nMaxFileTitle = 255;
    r.Flags = c.flags;
    EXPECT_EQ(GetOpenFileNameA(&r), c.result);
    EXPECT_EQ(CommDlgExtendedError(), c.error);
    if (c.error == FNERR_BUFFERTOOSMALL) {
      WORD needed = 0;
      std::memcpy(&needed, file, sizeof needed);
      EXPECT_EQ(needed, 26);
    } else {
      EXPECT_EQ(std::string(file), c.file);
      EXPECT_EQ(FromAnsi(title), c.file_title);
    }
    EXPECT_EQ(r.nFileOffset, c.offset);
    EXPECT_EQ(r.nFileExtension, c.extension);
    EXPECT_EQ(Current(), c.folder_after);
  }
}

TEST(OpenFileName, RefusesWhatItCannotShow) {
  TempMachine temp;
  char file[255] = {};
  OPENFILENAMEA r{};
  r.lStructSize = 88;
  r.lpstrFile = file;
  r.nMaxFile = 255;
  {
    ScriptedDialog dialog("C:\\a.ini");
    EXPECT_EQ(GetOpenFileNameA(&r), FALSE);
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
    r.lStructSize = 76;
    r.lpstrFile = nullptr;
    EXPECT_EQ(GetOpenFileNameA(&r), FALSE);
    EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
    EXPECT_FALSE(dialog.seen);
  }
  r.lpstrFile = file;
  const FileDialog none = SetFileDialog(nullptr);
  EXPECT_EQ(GetOpenFileNameA(&r), FALSE);
  EXPECT_EQ(CommDlgExtendedError(), CDERR_DIALOGFAILURE);
  SetFileDialog(none);
}

TEST(CurrentFolder, StartsAtTheWindowsDriveAndBelongsToItsMachine) {
  {
    TempMachine temp;
    temp.Write("C:\\Program Files\\a.txt", "x");
    EXPECT_EQ(Current(), "C:\\");
    struct Case {
      const char* path;
      BOOL ok;
      DWORD error;
      const char* after;
    } cases[] = {
        {"c:\\program files\\", TRUE, 0, "C:\\Program Files"},
        {"C:\\PROGRA~1\\a.txt", FALSE, ERROR_DIRECTORY, "C:\\Program Files"},
        {"C:\\Missing", FALSE, ERROR_FILE_NOT_FOUND, "C:\\Program Files"},
        {"C:\\Missing\\deeper", FALSE, ERROR_PATH_NOT_FOUND, "C:\\Program Files"},
        {"Q:\\", FALSE, ERROR_PATH_NOT_FOUND, "C:\\Program Files"},
        {"C:\\WINDOWS", TRUE, 0, "C:\\WINDOWS"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.path);
      SetLastError(0);
      EXPECT_EQ(SetCurrentDirectoryA(c.path), c.ok);
      if (!c.ok) {
        EXPECT_EQ(GetLastError(), c.error);
      }
      EXPECT_EQ(Current(), c.after);
    }
    char small[4] = {};
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), 11u);  // "C:\WINDOWS" and its NUL
  }
  TempMachine other;
  EXPECT_EQ(Current(), "C:\\");
  EXPECT_EQ(GetModuleHandleA(nullptr), reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}));
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
}

}  // namespace
}  // namespace quorvale::win32
