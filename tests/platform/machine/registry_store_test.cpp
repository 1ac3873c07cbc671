#include "quorvale/machine/registry_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace quorvale {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("reg-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path File() const { return dir_ / "registry.reg"; }

  std::filesystem::path dir_;
};

TEST_F(RegistryStoreTest, ValuesSurviveAReopenExactly) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvale";
  struct Case {
    const char* name;
    RegValue value;
  } cases[] = {
      {"", RegValue::Text("C:\\Program Files\\Quorvale.dll")},
      {"Quote\"d", RegValue::Text("say \"hi\"")},
      {"Chinese", RegValue::Text("\xD6\xD0\xCE\xC4")},
      {"NoNul", {kRegSz, "abc"}},
      {"TwoLines", RegValue::Text("a\r\nb")},
      {"Dword", {kRegDword, std::string("\x01\x00\x00\x80", 4)}},
      {"Binary", {kRegBinary, std::string("\x00\xff", 2)}},
      {"EmptyBinary", {kRegBinary, ""}},
      {"Expand", {2, RegValue::Text("%SystemRoot%").data}},
      {"Multi", {7, std::string("a\0b\0\0", 5)}},
      {"Qword", {11, std::string("\x01\x00\x00\x00\x00\x00\x00\x02", 8)}},
      {"Type33", {33, "x"}},
  };
  {
    RegistryStore store(File());
    ASSERT_TRUE(store.CreateKey(key));
    for (const auto& c : cases) ASSERT_TRUE(store.SetValue(key, c.name, c.value)) << c.name;
  }
  RegistryStore again(File());
  for (const auto& c : cases) EXPECT_EQ(again.GetValue(key, c.name), c.value) << c.name;
  std::ifstream in(File(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().rfind("REGEDIT4\r\n", 0), 0u);
  EXPECT_NE(text.str().find("@=\"C:\\\\Program Files\\\\Quorvale.dll\"\r\n"), std::string::npos);
  // Types in hexadecimal, as regedit writes them.
  EXPECT_NE(text.str().find("\"Multi\"=hex(7):61,00,62,00,00\r\n"), std::string::npos);
  EXPECT_NE(text.str().find("\"Qword\"=hex(b):01,00,00,00,00,00,00,02\r\n"), std::string::npos);
  EXPECT_NE(text.str().find("\"Type33\"=hex(21):78\r\n"), std::string::npos);
}

TEST_F(RegistryStoreTest, KeysAreCaseInsensitiveAndKeepTheirCase) {
  RegistryStore store(File());
  ASSERT_TRUE(store.CreateKey("HKEY_CLASSES_ROOT\\Quorvale.Host\\CLSID"));
  EXPECT_TRUE(store.KeyExists("hkey_classes_root\\QUORVALE.HOST\\clsid"));
  EXPECT_EQ(store.SubKeys("HKEY_CLASSES_ROOT"), std::vector<std::string>{"Quorvale.Host"});
  ASSERT_TRUE(store.SetValue("HKEY_CLASSES_ROOT\\quorvale.host", "A", RegValue::Text("1")));
  EXPECT_EQ(store.GetValue("HKEY_CLASSES_ROOT\\Quorvale.Host", "a"), RegValue::Text("1"));
  // The second byte of a double-byte character is no letter to fold: two keys.
  ASSERT_TRUE(store.CreateKey("HKEY_CLASSES_ROOT\\\x81\x41"));
  ASSERT_TRUE(store.CreateKey("HKEY_CLASSES_ROOT\\\x81\x61"));
  EXPECT_EQ(store.SubKeys("HKEY_CLASSES_ROOT").size(), 3u);
  EXPECT_FALSE(store.CreateKey("HKEY_CLASSES_ROOT\\two\nlines"));
  EXPECT_FALSE(store.CreateKey("HKEY_NOWHERE\\x"));
  EXPECT_FALSE(store.SetValue("HKEY_CLASSES_ROOT\\Missing", "A", RegValue::Text("1")));
}

TEST_F(RegistryStoreTest, Deletion) {
  RegistryStore store(File());
  store.CreateKey("HKEY_LOCAL_MACHINE\\A\\B");
  store.SetValue("HKEY_LOCAL_MACHINE\\A", "v", RegValue::Text("x"));
  EXPECT_FALSE(store.DeleteKey("HKEY_LOCAL_MACHINE\\A"));  // has a subkey
  EXPECT_FALSE(store.DeleteKey("HKEY_LOCAL_MACHINE"));     // a root
  EXPECT_TRUE(store.DeleteValue("HKEY_LOCAL_MACHINE\\A", "V"));
  EXPECT_FALSE(store.DeleteValue("HKEY_LOCAL_MACHINE\\A", "V"));
  EXPECT_TRUE(store.DeleteKey("HKEY_LOCAL_MACHINE\\A\\B"));
  EXPECT_TRUE(store.DeleteKey("HKEY_LOCAL_MACHINE\\A"));
  EXPECT_FALSE(store.DeleteKey("HKEY_LOCAL_MACHINE\\A"));
  store.CreateKey("HKEY_LOCAL_MACHINE\\T\\U\\V");
  EXPECT_TRUE(store.DeleteTree("HKEY_LOCAL_MACHINE\\T"));
  EXPECT_FALSE(store.KeyExists("HKEY_LOCAL_MACHINE\\T"));
}

TEST_F(RegistryStoreTest, ConcurrentWritersLoseNothing) {
  constexpr int kThreads = 4, kEach = 25;
  RegistryStore(File()).CreateKey("HKEY_LOCAL_MACHINE\\C");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      RegistryStore store(File());
      for (int i = 0; i < kEach; ++i)
        store.SetValue("HKEY_LOCAL_MACHINE\\C", std::to_string(t) + "-" + std::to_string(i),
                       RegValue::Text("x"));
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(RegistryStore(File()).ValueNames("HKEY_LOCAL_MACHINE\\C").size(), std::size_t{kThreads * kEach});
}

}  // namespace
}  // namespace quorvale

namespace quorvale {
namespace {

// Each store keeps the parsed file; it must never serve a copy older than
// another store's write or an edit of the file by hand.
TEST_F(RegistryStoreTest, KeptCopyFollowsOtherWritersAndHandEdits) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Q";
  RegistryStore a(File()), b(File());
  ASSERT_TRUE(a.CreateKey(key));
  for (int i = 0; i < 50; ++i) {
    // Same size each time, within one clock tick: only the write count
    // tells the copies apart.
    ASSERT_TRUE(a.SetValue(key, "v", RegValue::Text(std::to_string(i % 10))));
    ASSERT_EQ(b.GetValue(key, "v"), RegValue::Text(std::to_string(i % 10))) << i;
  }
  auto before = b.Take();
  {
    std::ofstream edit(File(), std::ios::binary | std::ios::trunc);
    edit << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Q]\r\n\"v\"=\"by hand\"\r\n\r\n; end\r\n";
  }
  EXPECT_EQ(b.GetValue(key, "v"), RegValue::Text("by hand"));
  EXPECT_FALSE(before.SameAs(b.Take()));
  EXPECT_TRUE(b.Take().SameAs(b.Take()));
  EXPECT_EQ(before.GetValue(key, "v"), RegValue::Text("9"));
}

// The stand tells stores apart and moves with a write through any store of
// the file; reads and hand edits leave it where it is.
TEST_F(RegistryStoreTest, StandMovesWithEveryWrite) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Q";
  RegistryStore a(File()), b(File()), other(dir_ / "other.reg");
  EXPECT_NE(a.CurrentStand().store, b.CurrentStand().store);
  EXPECT_NE(a.CurrentStand(), other.CurrentStand());
  const auto start = a.CurrentStand();
  ASSERT_TRUE(b.CreateKey(key));
  const auto written = a.CurrentStand();
  EXPECT_EQ(written.store, start.store);
  EXPECT_GT(written.writes, start.writes);
  EXPECT_EQ(b.CurrentStand().writes, written.writes);
  a.GetValue(key, "v");
  a.SubKeys("HKEY_LOCAL_MACHINE");
  EXPECT_EQ(a.CurrentStand(), written);
  ASSERT_TRUE(a.SetValue(key, "v", RegValue::Text("x")));
  EXPECT_GT(b.CurrentStand().writes, written.writes);
  EXPECT_EQ(other.CurrentStand().writes, 0u);
  const auto before_edit = a.CurrentStand();
  std::ofstream(File(), std::ios::binary | std::ios::trunc) << "REGEDIT4\r\n\r\n; end\r\n";
  EXPECT_EQ(a.CurrentStand(), before_edit);
  EXPECT_FALSE(a.KeyExists(key));  // the reads see the edit at once
}

}  // namespace
}  // namespace quorvale
