#include "quorvale/setup/registry_helpers.h"

#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/setup/helper_module.h"

namespace quorvale::setup {
namespace {

using quorvale::testing::TempMachine;
using win32::HKEY_LOCAL_MACHINE;

constexpr const char* kKey = "SOFTWARE\\Quorvale\\Test";
const std::string kFullKey = std::string("HKEY_LOCAL_MACHINE\\") + kKey;

// Only the server end reads the registry codes; the repair program has no CreateDir.
template <class H>
concept ReadsCodes = requires(const H& h) {
  h.ErrorCode() + h.DataSize();
};
template <class H>
concept MakesFolders = requires {
  H::CreateDir("");
};
static_assert(ReadsCodes<ServerEndHelpers> && !ReadsCodes<ControlEndHelpers> && !ReadsCodes<RepairHelpers>);
static_assert(MakesFolders<ServerEndHelpers> && MakesFolders<ControlEndHelpers> &&
              !MakesFolders<RepairHelpers>);

std::optional<RegValue> Stored(TempMachine& temp, const std::string& name,
                               const std::string& key = kFullKey) {
  return temp.machine().Registry().GetValue(key, name);
}

TEST(RegistryHelpers, WriteStringStoresAllButTheLastTwoBytes) {
  TempMachine temp;
  ServerEndHelpers reg;
  struct Case {
    const char* value;
    std::optional<RegValue> stored;
    std::int32_t error, size;
  } cases[] = {
      {"abc  ", RegValue{kRegSz, "abc"}, 0, 3},
      {"v3.0 主控端  ", RegValue{kRegSz, "v3.0 \xD6\xF7\xBF\xD8\xB6\xCB"}, 0, 11},
      {"主", RegValue{kRegSz, ""}, 0, 0},  // two bytes, both cut
      {"a", std::nullopt, 87, 0},
      {"", std::nullopt, 87, 0},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "V" + std::to_string(n++);
    reg.WriteString(HKEY_LOCAL_MACHINE, kKey, name, c.value);
    EXPECT_EQ(Stored(temp, name), c.stored) << c.value;
    EXPECT_EQ(reg.ErrorCode(), c.error) << c.value;
    EXPECT_EQ(reg.DataSize(), c.size) << c.value;
  }
  reg.WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Short", "V", "a");
  EXPECT_FALSE(temp.machine().Registry().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Short"));
}

TEST(RegistryHelpers, ReadStringGivesTheTextOrNothingWithTheWindowsCode) {
  TempMachine temp;
  ServerEndHelpers reg;
  reg.WriteString(HKEY_LOCAL_MACHINE, kKey, "Plain", "abc  ");
  temp.machine().Registry().SetValue(kFullKey, "WithNul", RegValue::Text("C:\\Q\\Uninstall.exe -delete"));
  struct Case {
    const char *sub, *name;
    std::int32_t buffer;
    const char* text;
    std::int32_t error, size;
  } cases[] = {
      {kKey, "Plain", 260, "abc", 0, 3},  {kKey, "withnul", 260, "C:\\Q\\Uninstall.exe -delete", 0, 27},
      {kKey, "Plain", 3, "abc", 0, 3},    {kKey, "Plain", 2, "", 234, 3},  // ERROR_MORE_DATA: the size needed
      {kKey, "Missing", 260, "", 2, 260}, {"SOFTWARE\\Missing", "Plain", 260, "", 2, -1},  // -1: not read
      {kKey, "Plain", -5, "", 234, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reg.ReadString(HKEY_LOCAL_MACHINE, c.sub, c.name, c.buffer), c.text) << c.name << c.buffer;
    EXPECT_EQ(reg.ErrorCode(), c.error) << c.name << c.buffer;
    if (c.size >= 0) {
      EXPECT_EQ(reg.DataSize(), c.size) << c.name << c.buffer;
    }
  }
}

TEST(RegistryHelpers, DwordAndBinaryRoundTrips) {
  TempMachine temp;
  ServerEndHelpers reg;
  for (std::int32_t v : {0, 1, -1, 0x12345678, INT32_MIN}) {
    reg.WriteLong(HKEY_LOCAL_MACHINE, kKey, "Long", v);
    EXPECT_EQ(reg.DataSize(), 4);
    EXPECT_EQ(reg.ReadLong(HKEY_LOCAL_MACHINE, kKey, "Long"), v);
  }
  EXPECT_EQ(Stored(temp, "Long"), (RegValue{kRegDword, std::string("\x00\x00\x00\x80", 4)}));
  EXPECT_EQ(reg.ReadLong(HKEY_LOCAL_MACHINE, kKey, "Missing"), 0);
  EXPECT_EQ(reg.ErrorCode(), 2);

  const Bytes bytes{0, 1, 0xFF, 0x80, 0};
  reg.WriteBinary(HKEY_LOCAL_MACHINE, kKey, "Bin", bytes);
  EXPECT_EQ(reg.DataSize(), 5);
  EXPECT_EQ(Stored(temp, "Bin"), (RegValue{kRegBinary, std::string("\x00\x01\xFF\x80\x00", 5)}));
  reg.WriteBinary(HKEY_LOCAL_MACHINE, kKey, "Empty", {});
  struct Case {
    const char* name;
    std::int32_t buffer;
    Bytes read;
    std::int32_t error, size;
  } cases[] = {
      {"Bin", 5, bytes, 0, 5}, {"Bin", 64, bytes, 0, 5},   {"Bin", 4, {}, 234, 5}, {"Empty", 16, {}, 0, 0},
      {"Bin", 0, {}, 0, 5},    {"Missing", 16, {}, 2, 16}, {"Bin", -1, {}, 0, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reg.ReadBinary(HKEY_LOCAL_MACHINE, kKey, c.name, c.buffer), c.read) << c.name << c.buffer;
    EXPECT_EQ(reg.ErrorCode(), c.error) << c.name << c.buffer;
    EXPECT_EQ(reg.DataSize(), c.size) << c.name << c.buffer;
  }
}

TEST(RegistryHelpers, KeysListDeleteAndValuesGo) {
  TempMachine temp;
  ServerEndHelpers reg;
  reg.WriteLong(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\A B", "V", 1);
  reg.WriteLong(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C", "V", 1);
  reg.WriteLong(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C\\D", "V", 1);
  reg.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing");
  EXPECT_EQ(reg.ErrorCode(), 2);
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, kKey), "AB,C");
  EXPECT_EQ(reg.ErrorCode(), 2);  // GetKey leaves the code alone
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C\\D"), "");
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing"), "");

  reg.DeleteKey(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C");
  EXPECT_EQ(reg.ErrorCode(), 5);  // it still has a subkey
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, kKey), "AB,C");
  reg.DeleteKey(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\A B");
  EXPECT_EQ(reg.ErrorCode(), 0);
  EXPECT_EQ(reg.GetKey(HKEY_LOCAL_MACHINE, kKey), "C");

  reg.DeleteValue(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C", "v");
  EXPECT_EQ(reg.ErrorCode(), 0);
  EXPECT_FALSE(Stored(temp, "V", kFullKey + "\\C"));
  reg.DeleteValue(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\C", "V");
  EXPECT_EQ(reg.ErrorCode(), 2);
  reg.DeleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", "V");
  EXPECT_EQ(reg.ErrorCode(), 2);
}

}  // namespace
}  // namespace quorvale::setup
