#include <gtest/gtest.h>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale {
namespace {

TEST(MetabaseXml, RoundTripsAndReadsWhatPeopleWrite) {
  std::vector<MetabaseKey> keys = {
      {"/LM/W3SVC", "IIsWebService", {}},
      {"/LM/W3SVC/5",
       "IIsWebServer",
       {{"ServerBindings", ":80:a\n:80:b"}, {"ServerComment", "<&\"'>\t中文"}}},
  };
  EXPECT_EQ(ParseMetabaseXml(WriteMetabaseXml(keys), "m.xml"), keys);
  const std::string by_hand =
      "<?xml version='1.0'?>\n<!-- edited -->\n<configuration><MBProperty>\n"
      "<IIsWebServer Location='/LM/W3SVC/5' ServerBindings=':80:a&#10;:80:b'\n"
      "  ServerComment=\"&lt;&amp;&quot;&apos;&gt;&#x9;中文\"/>\n"
      "<IIsWebService Location=\"/LM/W3SVC\"></IIsWebService></MBProperty></configuration>";
  auto read = ParseMetabaseXml(by_hand, "m.xml");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0], keys[1]);
}

TEST(MetabaseXml, RefusesWhatItCannotRead) {
  for (const char* text : {"<a Location=\"/LM\"", "<a Location=\"/LM\">", "<a Location=/LM/>", "text",
                           "<a Location=\"&bogus;\"/>", "<a Location=\"&#0;\"/>",
                           "<a Location=\"/LM/X\"/><b Location=\"/lm/x/\"/>", "</a>"})
    EXPECT_THROW(ParseMetabaseXml(text, "m.xml"), MachineStateError) << text;
}

TEST(Metabase, ChangesAreWholeOrNone) {
  testing::TempMachine temp;
  Metabase mb(temp.machine());
  const auto before = mb.Load();
  EXPECT_EQ(before, InitialMetabase());
  EXPECT_THROW(mb.Update([](std::vector<MetabaseKey>& keys) -> bool {
    keys.clear();
    throw std::runtime_error("failed half way");
  }),
               std::runtime_error);
  EXPECT_EQ(mb.Load(), before);
  // A machine whose file went missing is damaged, not a fresh IIS.
  std::filesystem::remove(Metabase::FileOf(temp.Folder()));
  EXPECT_THROW(mb.Load(), MachineStateError);
}

UserAccount Named(const std::string& name) {
  UserAccount u;
  u.name = name;
  return u;
}

TEST(LocalAccountsTest, FreshAccountsAndRefusedChanges) {
  MachineShape shape;
  shape.iis = false;
  testing::TempMachine temp(shape);
  LocalAccounts accounts(temp.machine());
  EXPECT_FALSE(accounts.FindUser("IUSR_QUORVALE"));
  EXPECT_TRUE(accounts.FindUser("guest"));
  struct Case {
    std::function<std::uint32_t()> call;
    std::uint32_t error;
  } cases[] = {
      {[&] { return accounts.CreateUser(Named("GUEST")); }, NERR_UserExists},
      {[&] { return accounts.CreateUser(Named("Users")); }, NERR_UserExists},
      {[&] { return accounts.CreateUser(Named("a,b")); }, NERR_BadUsername},
      {[&] { return accounts.CreateUser(Named("...")); }, NERR_BadUsername},
      {[&] { return accounts.AddMember("Guests", "guest"); }, ERROR_MEMBER_IN_ALIAS},
      {[&] { return accounts.AddMember("Nobody", "Guest"); }, NERR_GroupNotFound},
      {[&] { return accounts.AddMember("Users", "Nobody"); }, NERR_UserNotFound},
      {[&] { return accounts.RemoveMember("Users", "Guest"); }, ERROR_NO_SUCH_MEMBER},
      {[&] { return accounts.DeleteUser("Nobody"); }, NERR_UserNotFound},
      {[&] { return accounts.UpdateUser(Named("Nobody")); }, NERR_UserNotFound},
  };
  const auto users = accounts.Users();
  for (auto& c : cases) EXPECT_EQ(c.call(), c.error);
  EXPECT_EQ(accounts.Users(), users);
  EXPECT_EQ(accounts.CreateUser({"u1", "", "", 0x10040, "pw"}), 0u);
  EXPECT_EQ(accounts.AddMember("users", "U1"), 0u);
  const auto users_group = accounts.FindGroup("Users");
  ASSERT_TRUE(users_group);
  EXPECT_EQ(users_group->members, std::vector<std::string>{"u1"});
}

}  // namespace
}  // namespace quorvale
