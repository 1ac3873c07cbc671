#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include "ansi_text.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/win32/win32.h"

namespace quorvale::win32 {
namespace {

using quorvale::testing::TempMachine;

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";

// The registry helpers as the setup programs call the registry functions.
struct Helpers {
  LONG ErrorCode = 0;
  LONG DataSize = 0;

  std::string ReadString(HKEY root, const std::string& sub, const std::string& name, LONG size) {
    HKEY h;
    ErrorCode = RegOpenKeyExA(root, sub.c_str(), 0, KEY_ALL_ACCESS, &h);
    if (ErrorCode) return "";
    std::string buf(static_cast<std::size_t>(size) + 1, '\0');
    DataSize = size;
    DWORD n = static_cast<DWORD>(DataSize);
    ErrorCode = RegQueryValueExA(h, name.c_str(), nullptr, nullptr, reinterpret_cast<LPBYTE>(buf.data()), &n);
    DataSize = static_cast<LONG>(n);
    RegCloseKey(h);
    if (ErrorCode) return "";
    std::erase(buf, '\0');
    return FromAnsi(buf);
  }
  void WriteString(HKEY root, const std::string& sub, const std::string& name, const std::string& value) {
    HKEY h;
    ErrorCode = RegCreateKeyExA(root, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &h, nullptr);
    if (ErrorCode) return;
    std::string bytes = A(value);
    DataSize = static_cast<LONG>(bytes.size()) - 2;
    ErrorCode = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(DataSize));
    RegCloseKey(h);
  }
  std::string GetKey(HKEY root, const std::string& sub) {
    HKEY h = nullptr;
    RegOpenKeyA(root, sub.c_str(), &h);
    std::string list;
    for (DWORD i = 0;; ++i) {
      std::string name(255, ' ');
      DWORD len = 255;
      if (RegEnumKeyExA(h, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr)) break;
      list += (list.empty() ? "" : ",") + name.substr(0, name.find('\0'));
    }
    std::erase(list, ' ');
    RegCloseKey(h);
    return list;
  }
};

TEST(Registry, StringsAsTheHelpersWriteAndReadThem) {
  TempMachine temp;
  Helpers reg;
  reg.WriteString(HKEY_LOCAL_MACHINE, kKey, "DisplayVersion", "abc  ");
  EXPECT_EQ(reg.ErrorCode, 0);
  EXPECT_EQ(reg.DataSize, 3);
  EXPECT_EQ(temp.machine().Registry().GetValue(std::string("HKEY_LOCAL_MACHINE\\") + kKey, "DisplayVersion"),
            (RegValue{REG_SZ, "abc"}));  // three bytes, no NUL
  EXPECT_EQ(reg.ReadString(HKEY_LOCAL_MACHINE, kKey, "DisplayVersion", 260), "abc");
  EXPECT_EQ(reg.DataSize, 3);
  reg.WriteString(HKEY_LOCAL_MACHINE, kKey, "DisplayName", "Quorvale虚拟主机管理系统v3.0 被控端  ");
  EXPECT_EQ(reg.ReadString(HKEY_LOCAL_MACHINE, kKey, "displayname", 260),
            "Quorvale虚拟主机管理系统v3.0 被控端");

  struct Case {
    const char* sub;
    const char* name;
    LONG size;
    LONG error;
  } cases[] = {
      {kKey, "Missing", 260, 2},
      {"SOFTWARE\\Missing", "DisplayVersion", 260, 2},
      {kKey, "DisplayVersion", 2, 234},  // ERROR_MORE_DATA
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reg.ReadString(HKEY_LOCAL_MACHINE, c.sub, c.name, c.size), "") << c.sub << " " << c.name;
    EXPECT_EQ(reg.ErrorCode, c.error) << c.sub << " " << c.name;
  }
  EXPECT_EQ(reg.DataSize, 3);  // the size needed
}

TEST(Registry, KeysEnumerateDeleteAndRefuse) {
  TempMachine temp;
  HKEY h;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T\\A B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &h, &disposition),
            0);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(h);
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "software\\t\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            nullptr),
            0);
  const DWORD d = 0x12345678;
  EXPECT_EQ(RegSetValueExA(h, "N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), 4), 0);
  DWORD type = 0, got = 0, size = 4;
  EXPECT_EQ(RegQueryValueExA(h, "n", nullptr, &type, reinterpret_cast<LPBYTE>(&got), &size), 0);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(got, d);
  EXPECT_EQ(RegDeleteValueA(h, "N"), 0);
  EXPECT_EQ(RegDeleteValueA(h, "N"), 2);
  RegCloseKey(h);

  Helpers reg;
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\T"), "AB,C");
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\T\\C"), "");
  char name[2];
  DWORD len = 2;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", 0, KEY_READ, &h), 0);
  EXPECT_EQ(RegEnumKeyExA(h, 0, name, &len, nullptr, nullptr, nullptr, nullptr), 234);
  EXPECT_EQ(RegEnumKeyExA(h, 2, name, &len, nullptr, nullptr, nullptr, nullptr), 259);
  RegCloseKey(h);

  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T"), 5);  // it has subkeys
  EXPECT_TRUE(temp.machine().Registry().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\T"));
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T\\A B"), 0);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T\\A B"), 2);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), 5);

  struct Bad {
    LONG result;
    LONG error;
  } bad[] = {
      {RegCloseKey(reinterpret_cast<HKEY>(std::uintptr_t{0x77})), 6},
      {RegOpenKeyExA(reinterpret_cast<HKEY>(std::uintptr_t{0x77}), "x", 0, KEY_READ, &h), 6},
      {RegCreateKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                       nullptr),
       161},
      {RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\a\r\nb", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                       nullptr),
       87},
      {RegCreateKeyExA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\" + std::string(256, 'k')).c_str(), 0, nullptr, 0,
                       KEY_ALL_ACCESS, nullptr, &h, nullptr),
       87},
      {RegSetValueExA(HKEY_LOCAL_MACHINE, "line\nbreak", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 1),
       87},
  };
  for (std::size_t i = 0; i < std::size(bad); ++i) EXPECT_EQ(bad[i].result, bad[i].error) << "case " << i;
}

TEST(Registry, AKeyDeletedUnderAnOpenHandle) {
  TempMachine temp;
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Gone", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            0);
  ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Gone"), 0);
  EXPECT_EQ(RegSetValueExA(h, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 1),
            static_cast<LONG>(ERROR_KEY_DELETED));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(h, "v", nullptr, nullptr, nullptr, &size), static_cast<LONG>(ERROR_KEY_DELETED));
  RegCloseKey(h);
}

TEST(Registry, TwoThreadsWritingAtOnceLoseNothing) {
  TempMachine temp;
  constexpr int kEach = 40;
  auto writer = [](int t) {
    for (int i = 0; i < kEach; ++i) {
      HKEY h;
      std::string sub = "SOFTWARE\\Both\\" + std::to_string(i % 3);
      ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                nullptr),
                0);
      std::string name = std::to_string(t) + "-" + std::to_string(i);
      ASSERT_EQ(RegSetValueExA(h, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(name.data()),
                               static_cast<DWORD>(name.size())),
                0);
      RegCloseKey(h);
    }
  };
  std::thread a(writer, 0), b(writer, 1);
  a.join();
  b.join();
  std::size_t values = 0;
  for (int k = 0; k < 3; ++k)
    values += temp.machine()
                  .Registry()
                  .ValueNames("HKEY_LOCAL_MACHINE\\SOFTWARE\\Both\\" + std::to_string(k))
                  .size();
  EXPECT_EQ(values, std::size_t{2 * kEach});
}

// However the file was damaged, the call fails with 1392 and the message
// names the file; nothing is written over it.
TEST(Registry, ADamagedFileFailsTheCallWithAClearMessage) {
  struct Case {
    const char* what;
    std::function<std::string(const std::string&)> damage;  // whole text -> what is left; "-" removes it
  } cases[] = {
      {"cut inside a value", [](const std::string& t) { return t.substr(0, t.find("D:\\\\Q") + 3); }},
      {"cut at the line end before a key",
       [](const std::string& t) { return t.substr(0, t.find("\r\n[HKEY_LOCAL") + 2); }},
      {"cut before its end line", [](const std::string& t) { return t.substr(0, t.rfind("; end")); }},
      {"emptied", [](const std::string&) { return std::string(); }},
      {"removed", [](const std::string&) { return std::string("-"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempMachine temp;
    Helpers reg;
    reg.WriteString(HKEY_LOCAL_MACHINE, kKey, "UninstallString", "D:\\Q\\Uninstall.exe -delete  ");
    const auto file = temp.Folder() / "registry.reg";
    std::string text;
    {
      std::ifstream in(file, std::ios::binary);
      text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string left = c.damage(text);
    if (left == "-")
      std::filesystem::remove(file);
    else
      std::ofstream(file, std::ios::binary | std::ios::trunc) << left;
    EXPECT_EQ(reg.ReadString(HKEY_LOCAL_MACHINE, kKey, "UninstallString", 260), "");
    EXPECT_EQ(reg.ErrorCode, LONG{1392});
    EXPECT_EQ(LastMachineMessage().find("machine file " + file.string() + ": "), 0u) << LastMachineMessage();
    reg.WriteString(HKEY_LOCAL_MACHINE, kKey, "Other", "x");
    EXPECT_EQ(reg.ErrorCode, LONG{1392});
    EXPECT_EQ(std::filesystem::exists(file), left != "-");
    if (left != "-") {
      std::ifstream in(file, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), left);
    }
  }
}

}  // namespace
}  // namespace quorvale::win32
