#include "machine_fixture.h"
#include "quorvale/machine/accounts.h"

namespace quorvale {
namespace {

constexpr std::int32_t kUserExists = static_cast<std::int32_t>(0x800708B0);
constexpr std::int32_t kUserNotFound = static_cast<std::int32_t>(0x800708AD);
constexpr std::int32_t kMemberInGroup = static_cast<std::int32_t>(0x80070562);

class WinNt : public OnMachine {
 protected:
  // The site account recipe with resume-on-error; returns the Err after it.
  Err CreateSiteAccount(const std::string& user, const std::string& group) {
    Err err;
    ComPtr<IDispatch> computer, account;
    err.Resume([&] { computer = Bind("WinNT://QUORVALE"); });
    err.Resume([&] {
      account = Obj(CallMethod(computer.get(), "Create", {Variant("User"), Variant(user)}));
    });
    err.Resume([&] { CallMethod(account.get(), "SetInfo"); });
    err.Resume([&] { CallMethod(account.get(), "SetPassword", {Variant("secret")}); });
    err.Resume([&] { Put(account, "FullName", Variant("网站用户独立帐户")); });
    err.Resume([&] { Put(account, "Description", Variant("匿名访问 Internet 信息服务的内置帐户")); });
    err.Resume([&] { Put(account, "UserFlags", Variant(std::int32_t{65600})); });
    err.Resume([&] { CallMethod(account.get(), "SetInfo"); });
    err.Resume([&] {
      CallMethod(Bind("WinNT://QUORVALE/" + group).get(), "Add", {Variant("WinNT://QUORVALE/" + user)});
    });
    return err;
  }
  LocalAccounts Accounts() { return LocalAccounts(temp_.machine()); }
};

TEST_F(WinNt, AccountCreatedWithItsPropertiesAndGroup) {
  EXPECT_FALSE(CreateSiteAccount("IUSR_42", "Guests"));
  auto stored = Accounts().FindUser("iusr_42");
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, (UserAccount{"IUSR_42", "网站用户独立帐户", "匿名访问 Internet 信息服务的内置帐户",
                                  65600, "secret"}));
  const auto guests = Accounts().FindGroup("Guests");
  ASSERT_TRUE(guests);
  ASSERT_FALSE(guests->members.empty());
  EXPECT_EQ(guests->members.back(), "IUSR_42");
}

TEST_F(WinNt, ExistingAccountIsRefusedAndLeftAsItWas) {
  const auto before = Accounts().FindUser("Administrator");
  Err err = CreateSiteAccount("administrator", "Administrators");
  EXPECT_TRUE(err);
  EXPECT_EQ(Accounts().FindUser("Administrator"), before);
  EXPECT_EQ(ErrorOf([&] {
              CallMethod(Bind("WinNT://QUORVALE").get(), "Create", {Variant("User"), Variant("Guest")});
            }),
            kUserExists);
}

TEST_F(WinNt, MembershipTwiceFailsTheSecondTime) {
  ASSERT_FALSE(CreateSiteAccount("IUSR_7", "Guests"));
  auto guests = Bind("WinNT://QUORVALE/Guests");
  EXPECT_EQ(ErrorOf([&] { CallMethod(guests.get(), "Add", {Variant("WinNT://QUORVALE/IUSR_7")}); }),
            kMemberInGroup);
  EXPECT_EQ(ErrorOf([&] { CallMethod(guests.get(), "Add", {Variant("WinNT://QUORVALE/nobody")}); }),
            kUserNotFound);
  const auto g = Accounts().FindGroup("Guests");
  ASSERT_TRUE(g);
  EXPECT_EQ(std::count(g->members.begin(), g->members.end(), "IUSR_7"), 1);
}

TEST_F(WinNt, AccountRemovedThroughItsParent) {
  ASSERT_FALSE(CreateSiteAccount("IUSR_9", "Guests"));
  auto account = Bind("WinNT://QUORVALE/IUSR_9");
  const auto parent = Get(account, "Parent").TextForm();
  ASSERT_TRUE(parent);
  auto computer = Bind(*parent);
  EXPECT_EQ(Get(computer, "Class"), Variant("Computer"));
  CallMethod(computer.get(), "Delete", {Variant("User"), Get(account, "Name")});
  EXPECT_FALSE(Accounts().FindUser("IUSR_9"));
  const auto g = Accounts().FindGroup("Guests");
  ASSERT_TRUE(g);
  EXPECT_EQ(std::count(g->members.begin(), g->members.end(), "IUSR_9"), 0);
  EXPECT_EQ(ErrorOf([&] {
              CallMethod(computer.get(), "Delete", {Variant("User"), Variant("IUSR_9")});
            }),
            kUserNotFound);
}

TEST_F(WinNt, FreshMachineAndItsNames) {
  struct Case {
    const char* name;
    std::int32_t error;
    const char* cls;
  } cases[] = {
      {"WinNT://QUORVALE", 0, "Computer"},
      {"WinNT://quorvale/Administrator", 0, "User"},
      {"WinNT://QUORVALE/IUSR_QUORVALE", 0, "User"},
      {"WinNT://QUORVALE/IWAM_QUORVALE,user", 0, "User"},
      {"WinNT://WORKGROUP/QUORVALE/Guest", 0, "User"},
      {"WinNT://QUORVALE/Administrators", 0, "Group"},
      {"WinNT://QUORVALE/Users,Group", 0, "Group"},
      {"WinNT://QUORVALE/IUSR_1", kUserNotFound, ""},
      {"WinNT://OTHER/Guest", static_cast<std::int32_t>(0x80070035), ""},
      {"WinNT://QUORVALE//Guest", static_cast<std::int32_t>(0x80005000), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BindError(c.name), c.error) << c.name;
    if (!c.error) {
      EXPECT_EQ(Get(Bind(c.name), "Class"), Variant(c.cls)) << c.name;
    }
  }
}

TEST_F(WinNt, PasswordNeedsASavedAccount) {
  auto account = Obj(CallMethod(Bind("WinNT://QUORVALE").get(), "Create", {Variant("User"), Variant("u1")}));
  EXPECT_EQ(ErrorOf([&] { CallMethod(account.get(), "SetPassword", {Variant("x")}); }),
            static_cast<std::int32_t>(0x80005005));
  EXPECT_EQ(ErrorOf([&] { CallMethod(account.get(), "NoSuchMethod"); }), 438);
  EXPECT_FALSE(Accounts().FindUser("u1"));
}

}  // namespace
}  // namespace quorvale
