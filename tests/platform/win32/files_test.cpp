#include <gtest/gtest.h>

#include "ansi_text.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

// The short-path helper: a buffer of 255, the text before the first NUL.
std::string ShortPath(const std::string& path) {
  std::string buf(255, ' ');
  DWORD n = GetShortPathNameA(A(path).c_str(), buf.data(), 255);
  if (n == 0 || n > 255) return "";
  return FromAnsi(buf.substr(0, buf.find('\0')));
}

TEST(ShortPathName, EightDotThreeFormsOfWholePaths) {
  TempMachine temp;
  temp.Write("C:\\Program Files\\Quorvale\\被控端\\Quorvale.rar", "x");
  temp.Write("C:\\Program Files\\Quorvale虚拟主机管理系统\\主控端\\Web\\Index.asp", "x");
  struct Case {
    const char* path;
    const char* short_path;
  } cases[] = {
      {"C:\\Program Files\\Quorvale\\被控端\\Quorvale.rar", "C:\\PROGRA~1\\Quorvale\\被控端\\Quorvale.rar"},
      {"C:\\Program Files\\Quorvale\\被控端", "C:\\PROGRA~1\\Quorvale\\被控端"},
      {"C:\\Program Files\\Quorvale虚拟主机管理系统\\主控端\\Web", "C:\\PROGRA~1\\QUORVA~1\\主控端\\Web"},
      {"C:\\PROGRA~1\\QUORVA~1\\主控端\\Web\\Index.asp", "C:\\PROGRA~1\\QUORVA~1\\主控端\\Web\\Index.asp"},
      {"C:\\WINDOWS\\system32\\", "C:\\WINDOWS\\system32\\"},
      {"C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\",
       "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\"},
      {"C:\\Program Files\\Missing.txt", ""},
      {"C:\\Missing\\x.txt", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShortPath(c.path), c.short_path) << c.path;
  char small[8];
  EXPECT_EQ(GetShortPathNameA("C:\\Program Files", small, 8), 12u);  // "C:\PROGRA~1" and its NUL
  EXPECT_EQ(GetShortPathNameA("C:\\Program Files\\Missing.txt", small, 8), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetShortPathNameA("C:\\Missing\\x.txt", small, 8), 0u);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  // The short form names the same file for every call.
  EXPECT_NE(GetFileAttributesA(A("C:\\PROGRA~1\\QUORVA~1\\主控端\\WEB\\index.ASP").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

// The folder helper: CreateDirectoryA on every level, the last result counts.
bool CreateDir(std::string path) {
  if (path.back() != '\\') path += '\\';
  BOOL last = FALSE;
  for (auto at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
    last = CreateDirectoryA(A(path.substr(0, at + 1)).c_str(), nullptr);
  return last;
}

TEST(CreateDirectory, ResultsAndErrors) {
  TempMachine temp;
  EXPECT_TRUE(CreateDir("C:\\A\\B"));
  EXPECT_TRUE(temp.Exists("C:\\A\\B"));
  EXPECT_FALSE(CreateDir("C:\\A\\B\\"));
  struct Case {
    const char* path;
    DWORD error;
  } cases[] = {
      {"c:\\a\\b", ERROR_ALREADY_EXISTS}, {"C:\\X\\Y", ERROR_PATH_NOT_FOUND}, {"C:\\", ERROR_ACCESS_DENIED},
      {"C:\\a?b", ERROR_INVALID_NAME},    {"Q:\\A", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(CreateDirectoryA(c.path, nullptr)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  const std::string bad = "C:\\\x81";  // half a double-byte character
  EXPECT_FALSE(CreateDirectoryA(bad.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
  EXPECT_FALSE(CreateDirectoryA(("C:\\" + std::string(300, 'a')).c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
}

TEST(MoveFile, FailsOntoAnExistingFileAndMovesWhatGoesWithIt) {
  TempMachine temp;
  temp.Write("C:\\Q\\Quorvale.mdf", "new");
  temp.Write("C:\\Q\\Data\\Quorvale.mdf", "old");
  EXPECT_FALSE(MoveFileA("C:\\Q\\Quorvale.mdf", "C:\\Q\\data\\QUORVALE.MDF"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(temp.Read("C:\\Q\\Data\\Quorvale.mdf"), "old");
  EXPECT_FALSE(MoveFileA("C:\\Q\\Missing.mdf", "C:\\Q\\x"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(MoveFileA("C:\\Q\\Quorvale.mdf", "C:\\None\\x"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  ASSERT_TRUE(SetFileAttributesA("C:\\Q\\Quorvale.mdf", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(MoveFileA("C:\\q\\quorvale.mdf", "C:\\Q\\HostData.mdf"));
  EXPECT_EQ(temp.Read("C:\\Q\\HostData.mdf"), "new");
  EXPECT_EQ(GetFileAttributesA("C:\\Q\\HostData.mdf"), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(MoveFileA("C:\\Q\\HostData.mdf", "C:\\Q\\HOSTDATA.MDF"));  // a change of case only
  EXPECT_TRUE(std::filesystem::exists(temp.Folder() / "drives/C/Q/HOSTDATA.MDF"));
  ASSERT_TRUE(MoveFileA("C:\\Q\\HOSTDATA.MDF", "D:\\x") == FALSE);  // no drive D:
  ASSERT_TRUE(MoveFileA("C:\\Q", "C:\\R"));
  EXPECT_EQ(temp.Read("C:\\R\\Data\\Quorvale.mdf"), "old");
}

TEST(DeleteFile, RefusesAHeldOrReadOnlyFile) {
  TempMachine temp;
  temp.Write("C:\\Q\\Quorvale.rar", "x");
  {
    FileHold hold = temp.machine().Hold(temp.machine().Resolve("C:\\Q\\Quorvale.rar").long_path, "Rar.exe");
    EXPECT_FALSE(DeleteFileA("C:\\PROGRA~1\\..\\Q\\QUORVALE.RAR"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(MoveFileA("C:\\Q\\Quorvale.rar", "C:\\Q\\x.rar"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(temp.Exists("C:\\Q\\Quorvale.rar"));
  }
  SetFileAttributesA("C:\\Q\\Quorvale.rar", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteFileA("C:\\Q\\Quorvale.rar"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  SetFileAttributesA("C:\\Q\\Quorvale.rar", FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteFileA("C:\\Q\\Quorvale.rar"));
  EXPECT_FALSE(DeleteFileA("C:\\Q\\Quorvale.rar"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA("C:\\Q"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(CreateFile, AnOpenFileIsHeldUntilClosed) {
  TempMachine temp;
  HANDLE h = CreateFileA("C:\\out.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "\x00\xff", 2, &n, nullptr));
  EXPECT_EQ(GetFileSize(h, nullptr), 2u);
  EXPECT_FALSE(DeleteFileA("C:\\out.bin"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(temp.Read("C:\\out.bin"), std::string("\x00\xff", 2));
  EXPECT_EQ(CreateFileA("C:\\none\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_TRUE(DeleteFileA("C:\\out.bin"));
}

TEST(Dir, HiddenAndSystemFilesAreAbsentForNormalAttributes) {
  TempMachine temp;
  temp.Write("C:\\Q\\plain.txt", "1234");
  temp.Write("C:\\Q\\hidden.txt", "x");
  temp.Write("C:\\Q\\system.txt", "x");
  temp.Write("C:\\Q\\ro.txt", "x");
  temp.Write("C:\\Q\\Web\\x.asp", "x");
  SetAttr("C:\\Q\\hidden.txt", vbHidden);
  SetAttr("C:\\Q\\system.txt", vbSystem);
  SetAttr("C:\\Q\\ro.txt", vbReadOnly);
  auto all = [](const std::string& pattern, int attributes) {
    std::vector<std::string> names;
    for (std::string n = Dir(pattern, attributes); !n.empty(); n = Dir()) names.push_back(n);
    return names;
  };
  using V = std::vector<std::string>;
  struct Case {
    const char* pattern;
    int attributes;
    V names;
  } cases[] = {
      {"C:\\Q\\*.*", vbNormal, V{"plain.txt", "ro.txt"}},
      {"C:\\Q\\", vbNormal, V{"plain.txt", "ro.txt"}},
      {"C:\\Q\\*.txt", vbHidden, V{"hidden.txt", "plain.txt", "ro.txt"}},
      {"C:\\Q\\*", vbHidden | vbSystem | vbDirectory,
       V{".", "..", "hidden.txt", "plain.txt", "ro.txt", "system.txt", "Web"}},
      {"c:\\q\\HIDDEN.TXT", vbNormal, V{}},
      {"c:\\q\\HIDDEN.TXT", vbHidden, V{"hidden.txt"}},
      {"C:\\Q\\web", vbNormal, V{}},
      {"C:\\Q\\web", vbDirectory, V{"Web"}},
      {"C:\\Q\\p?ain.*", vbNormal, V{"plain.txt"}},
      {"C:\\Missing\\*.*", vbNormal, V{}},
  };
  for (const auto& c : cases) EXPECT_EQ(all(c.pattern, c.attributes), c.names) << c.pattern;
  EXPECT_EQ(FileLen("C:\\Q\\plain.txt"), 4);
  EXPECT_EQ(GetAttr("C:\\Q\\ro.txt"), vbReadOnly);
  EXPECT_EQ(GetAttr("C:\\Q\\Web"), vbDirectory);
  EXPECT_EQ(GetAttr("C:\\Q\\plain.txt"), vbArchive);
}

TEST(VbFiles, FailuresRaiseTheRuntimeErrors) {
  TempMachine temp;
  temp.Write("C:\\Q\\a.txt", "x");
  temp.Write("C:\\Q\\c.txt", "x");
  struct Case {
    std::function<void()> statement;
    std::int32_t number;
  } cases[] = {
      {[] { FileLen("C:\\Q\\none.txt"); }, 53},
      {[] { Kill("C:\\Q\\*.dll"); }, 53},
      {[] { FileCopy("C:\\Q\\a.txt", "C:\\None\\a.txt"); }, 76},
      {[] { MkDir("C:\\Q"); }, 75},
      {[] { Name("C:\\Q\\a.txt", "C:\\Q\\C.TXT"); }, 58},
      {[] { Dir("C:\\Q\\a<b"); }, 52},
      {[] { GetAttr("C:\\Q\\\xF0\x9F\x98\x80"); }, 52},  // no such character in code page 936
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    try {
      cases[i].statement();
      ADD_FAILURE() << "case " << i << " raised nothing";
    } catch (const RaisedError& e) {
      EXPECT_EQ(e.Number(), cases[i].number) << "case " << i;
    }
  }
  FileCopy("C:\\Q\\a.txt", "C:\\Q\\b.txt");
  Kill("C:\\Q\\*.txt");
  EXPECT_TRUE(Dir("C:\\Q\\*.*").empty());
}

}  // namespace
}  // namespace quorvale::win32
