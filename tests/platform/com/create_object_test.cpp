#include "quorvale/com/create_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "quorvale/com/dispatch_base.h"
#include "quorvale/core/err.h"

namespace quorvale {
namespace {

constexpr const char* kClsid = "{11111111-2222-3333-4444-555555555555}";

class CreateObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("com-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    registry_ = std::make_unique<RegistryStore>(dir_ / "registry.reg");
    host_.registry = registry_.get();
    // The library's Windows path names a file in the test's build folder.
    host_.resolve_path = [](const std::string& windows) -> std::filesystem::path {
      return windows == "C:\\WINDOWS\\system32\\Echo.dll" ? TEST_SERVER_PATH : "/nonexistent";
    };
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Register(const std::string& prog_id, const std::string& clsid, const std::string& library) {
    registry_->CreateKey("HKEY_CLASSES_ROOT\\" + prog_id + "\\CLSID");
    registry_->SetValue("HKEY_CLASSES_ROOT\\" + prog_id + "\\CLSID", "", RegValue::Text(clsid));
    std::string key = "HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\InprocServer32";
    registry_->CreateKey(key);
    registry_->SetValue(key, "", RegValue::Text(library));
  }

  std::filesystem::path dir_;
  std::unique_ptr<RegistryStore> registry_;
  ComHost host_;
};

TEST_F(CreateObjectTest, LateBoundCallsThroughTheRegistry) {
  Register("Test.Echo", kClsid, "C:\\WINDOWS\\system32\\Echo.dll");
  auto echo = CreateObject("test.echo", host_);  // ProgIDs ignore letter case
  ASSERT_TRUE(echo);
  EXPECT_EQ(CallMethod(echo.get(), "Echo", {Variant("中文")}), Variant("中文"));
  Variant n(std::int32_t{41});
  Call(echo.get(), "Bump", DISPATCH_METHOD, {&n});
  EXPECT_EQ(n, Variant(42.0));  // written back through the reference
  EXPECT_EQ(ToVariant(echo).TextForm(), "default");
  try {
    CallMethod(echo.get(), "Missing");
    FAIL();
  } catch (const RaisedError& e) {
    EXPECT_EQ(e.Number(), 438);
  }
  try {
    CallMethod(echo.get(), "Bump", {Variant("x")});
    FAIL();
  } catch (const RaisedError& e) {
    EXPECT_EQ(e.Number(), 13);
  }
}

TEST_F(CreateObjectTest, BrokenChainsRaise429) {
  Register("Bad.Clsid", "not-a-guid", "C:\\WINDOWS\\system32\\Echo.dll");
  Register("Bad.Class", "{11111111-2222-3333-4444-555555555556}", "C:\\WINDOWS\\system32\\Echo.dll");
  for (const char* prog_id : {"Not.Registered", "", "Bad.Clsid", "Bad.Class"}) {
    try {
      CreateObject(prog_id, host_);
      ADD_FAILURE() << prog_id;
    } catch (const RaisedError& e) {
      EXPECT_EQ(e.Number(), 429) << prog_id;
    }
  }
  Register("Bad.Library2", "{11111111-2222-3333-4444-555555555557}", "C:\\missing.dll");
  EXPECT_THROW(CreateObject("Bad.Library2", host_), RaisedError);
}

// A resolution is kept only while nothing is written to the registry
// through any store, and never passes to another store.
TEST_F(CreateObjectTest, KeptResolutionFollowsTheRegistry) {
  Register("Test.Echo", kClsid, "C:\\WINDOWS\\system32\\Echo.dll");
  ASSERT_TRUE(CreateObject("Test.Echo", host_));
  RegistryStore elsewhere(dir_ / "registry.reg");
  ASSERT_TRUE(elsewhere.DeleteTree("HKEY_CLASSES_ROOT\\Test.Echo"));
  EXPECT_THROW(CreateObject("Test.Echo", host_), RaisedError);
  Register("Test.Echo", kClsid, "C:\\WINDOWS\\system32\\Echo.dll");
  ASSERT_TRUE(CreateObject("Test.Echo", host_));
  // A new store in an empty registry, perhaps where the old one lay in
  // memory, knows no class of the old one.
  registry_.reset();
  registry_ = std::make_unique<RegistryStore>(dir_ / "empty.reg");
  host_.registry = registry_.get();
  EXPECT_THROW(CreateObject("Test.Echo", host_), RaisedError);
}

TEST(NumberedMembers, NamesWithoutCaseIdsByPosition) {
  const NumberedMembers members{"Open", "Send", "ReadText"};
  struct Case {
    const char* name;
    DISPID id;  // 0: no such member
  } cases[] = {{"Open", 1}, {"SEND", 2}, {"readtext", 3}, {"ReadTex", 0}, {"ReadTextX", 0}, {"", 0}};
  for (const auto& c : cases) {
    const Member* m = members.Named(c.name);
    EXPECT_EQ(m ? m->id : 0, c.id) << c.name;
  }
  const Member* second = members.WithId(2);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->name, "Send");
  for (DISPID id : {0, 4, -1}) EXPECT_EQ(members.WithId(id), nullptr) << id;
  EXPECT_EQ(members.All().size(), 3u);
}

TEST(Guid, ParseAndPrint) {
  auto g = Guid::Parse("{00020400-0000-0000-c000-000000000046}");
  ASSERT_TRUE(g);
  EXPECT_EQ(*g, IID_IDispatch);
  EXPECT_EQ(g->ToString(), "{00020400-0000-0000-C000-000000000046}");
  for (const char* bad : {"", "00020400-0000-0000-C000-000000000046",
                          "{00020400-0000-0000-C000-00000000004G}", "{00020400+0000-0000-C000-000000000046}"})
    EXPECT_FALSE(Guid::Parse(bad)) << bad;
}

}  // namespace
}  // namespace quorvale
