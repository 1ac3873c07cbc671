// Named mutexes kept per machine, and the running program's file name.
#include <gtest/gtest.h>

#include "ansi_text.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

TEST(NamedMutex, TheFirstCreatorMakesItLaterOnesFindItUntilEveryHandleIsClosed) {
  TempMachine temp;
  struct Step {
    const char* name;
    bool close_all_first;
    DWORD error;
  } steps[] = {
      {"Quorvale.Uninstall", false, ERROR_SUCCESS},
      {"Quorvale.Uninstall", false, ERROR_ALREADY_EXISTS},
      {"Quorvale.Uninstall", false, ERROR_ALREADY_EXISTS},
      {"quorvale.uninstall", false, ERROR_SUCCESS},  // names keep their case
      {"修复程序", false, ERROR_SUCCESS},
      {"修复程序", false, ERROR_ALREADY_EXISTS},
      {"Quorvale.Uninstall", true, ERROR_SUCCESS},  // every handle closed: gone
  };
  std::vector<HANDLE> open;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.close_all_first) {
      for (HANDLE h : open) EXPECT_TRUE(CloseHandle(h));
      open.clear();
    }
    HANDLE h = CreateMutexA(nullptr, FALSE, A(s.name).c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetLastError(), s.error);
    open.push_back(h);
  }
  for (HANDLE h : open) EXPECT_TRUE(CloseHandle(h));
  // A closed handle is no handle any more.
  EXPECT_FALSE(CloseHandle(open.front()));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(NamedMutex, EachMachineKeepsItsOwn) {
  TempMachine first;
  HANDLE held = CreateMutexA(nullptr, FALSE, "Quorvale.Uninstall");
  ASSERT_NE(held, nullptr);
  {
    TempMachine second;  // the process works on this machine now
    HANDLE h = CreateMutexA(nullptr, FALSE, "Quorvale.Uninstall");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(h);
  }
  HANDLE again = CreateMutexA(nullptr, FALSE, "Quorvale.Uninstall");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(again);
  CloseHandle(held);
}

TEST(NamedMutex, OnlyNamedOnesAreKept) {
  TempMachine temp;
  for (LPCSTR name : {static_cast<LPCSTR>(nullptr), ""}) {
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
}

TEST(ModuleFileName, AProgramOutsideTheMachinesDrivesHasNoPathOnIt) {
  TempMachine temp;
  char buffer[MAX_PATH] = "unchanged";
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(buffer, "unchanged");
  int other = 0;
  EXPECT_EQ(GetModuleFileNameA(&other, buffer, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace quorvale::win32
