// The site recipes on a machine, for the mail site, the panel site and the
// repair's rebuild: the list lines and widths, and what the machine holds
// afterwards (site, root directory and application, account, group,
// access).
#include "quorvale/setup/site_recipe.h"

#include <algorithm>
#include <cmath>

#include "metabase_reads.h"
#include "quorvale/com/class_registration.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/win32/kernel.h"
#include "quorvale/win32/vb_random.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::InGroup;
using testing::MetabaseKeyAt;
using testing::PropertyOf;
using testing::RecipeMachine;
using testing::RecordedSteps;

void MakeSite(Machine& machine, const std::string& number) {
  Metabase(machine).Update([&](std::vector<MetabaseKey>& keys) {
    keys.push_back({"/LM/W3SVC/" + number, "IIsWebServer", {{"ServerComment", "taken"}}});
    return true;
  });
}

struct SiteCase {
  const char* name;
  const SiteVariant* variant;
  SiteRequest request;
  std::vector<std::string> lines;
  std::vector<int> widths;
  const char* full_name;
  const char* group;
  const char* binding;
  const char* comment;
  const char* default_doc;
  const char* web;    // the root's path and the folder opened to the account
  const char* cacls;  // the command, before the account's name
};

const SiteCase kSiteCases[] = {
    {"mail site",
     &kMailSite,
     {"C:\\Program Files\\WinWebMail", "", "", ""},
     {"正在准备建立企业邮局站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组...",
      "正在设置网站文件夹权限...", "正在建立企业邮局站点...", "正在建立企业邮局站点虚拟目录...",
      "正在启动企业邮局站点..."},
     {2800, 2900, 3100, 3200, 3300, 3500, 3600},
     "企业邮局网站独立帐户",
     "Administrators",
     ":80:",
     "MailSystem",
     "Default.asp",
     "C:\\Program Files\\WinWebMail\\Web",
     "Cacls C:\\PROGRA~1\\WINWEB~1\\Web /t /e /c /g "},
    {"panel site",
     &kPanelSite,
     {"C:\\Program Files\\Quorvale", "www.example.com", "AbCdEfGhIjKlMnOpQrStUvWxYz012345", ""},
     {"正在准备建立主控端站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组...",
      "正在设置网站文件夹权限...", "正在建立主控端站点...", "正在建立主控端站点虚拟目录...",
      "正在启动主控端站点..."},
     {3000, 3100, 3200, 3300, 3400, 3500, 3600, 3700},
     "网站用户独立帐户",
     "Guests",
     ":80:www.example.com",
     "HostSystem",
     "Index.asp",
     "C:\\Program Files\\Quorvale\\Web",
     "Cacls C:\\PROGRA~1\\Quorvale\\Web /t /e /c /g "},
    {"rebuild by the repair",
     &kPanelSiteRebuild,
     {"C:\\Program Files\\Quorvale", "panel.example.com", "", "123456789"},
     {"正在准备建立主控端站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组...",
      "正在设置网站文件夹权限...", "正在建立主控端站点...", "正在建立主控端站点虚拟目录...",
      "正在启动主控端站点..."},
     {1000, 1200, 1400, 1600, 1800, 2000, 2200},
     "网站用户独立帐户",
     "Guests",
     ":80:panel.example.com",
     "HostSystem",
     "Index.asp",
     "C:\\Program Files\\Quorvale\\Web",
     "Cacls C:\\PROGRA~1\\Quorvale\\Web /t /e /c /g "},
};

TEST(BuildSite, EachVariantLeavesItsSiteAccountAndAccess) {
  for (const auto& c : kSiteCases) {
    SCOPED_TRACE(c.name);
    RecipeMachine m;
    win32::CreateDirectoryA(c.request.folder.c_str(), nullptr);
    win32::CreateDirectoryA(c.web, nullptr);
    RecordedSteps r;
    const SiteOutcome out = BuildSite(r, *c.variant, c.request);
    WaitForPrograms();

    EXPECT_EQ(r.ListLines(), c.lines);
    EXPECT_EQ(r.Captions(), c.lines);
    EXPECT_EQ(r.Widths(), c.widths);
    if (!c.request.number.empty()) {
      EXPECT_EQ(out.number, c.request.number);
    }
    const double n = std::stod(out.number);
    EXPECT_TRUE(n >= 1 && n <= 999999999 && n == std::floor(n)) << out.number;
    EXPECT_EQ(out.number.find_first_not_of("0123456789"), std::string::npos);
    const std::string account = "IUSR_" + out.number;
    EXPECT_EQ(out.account, account);
    if (!c.request.password.empty()) {
      EXPECT_EQ(out.password, c.request.password);
    }
    EXPECT_EQ(out.password.size(), 32u);

    auto user = LocalAccounts(m.temp.machine()).FindUser(account);
    ASSERT_TRUE(user);
    EXPECT_EQ(user->full_name, c.full_name);
    EXPECT_EQ(user->description, "匿名访问 Internet 信息服务的内置帐户");
    EXPECT_EQ(user->flags, 65600u);
    EXPECT_EQ(user->password, out.password);
    EXPECT_TRUE(InGroup(m.temp.machine(), c.group, account));

    auto site = MetabaseKeyAt(m.temp.machine(), "/LM/W3SVC/" + out.number);
    ASSERT_TRUE(site);
    EXPECT_EQ(site->key_type, "IIsWebServer");
    EXPECT_EQ(PropertyOf(*site, "ServerBindings"), c.binding);
    EXPECT_EQ(PropertyOf(*site, "ServerComment"), c.comment);
    EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), account);
    EXPECT_EQ(PropertyOf(*site, "AnonymousUserPass"), out.password);
    EXPECT_EQ(PropertyOf(*site, "AuthFlags"), "5");
    EXPECT_EQ(PropertyOf(*site, "FrontPageWeb"), "FALSE");
    EXPECT_EQ(PropertyOf(*site, "EnableDefaultDoc"), "TRUE");
    EXPECT_EQ(PropertyOf(*site, "DefaultDoc"), c.default_doc);
    EXPECT_EQ(PropertyOf(*site, "AspEnableParentPaths"), "TRUE");
    EXPECT_EQ(PropertyOf(*site, "ServerState"), "2");  // started

    auto root = MetabaseKeyAt(m.temp.machine(), "/LM/W3SVC/" + out.number + "/ROOT");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->key_type, "IIsWebVirtualDir");
    EXPECT_EQ(PropertyOf(*root, "Path"), c.web);
    EXPECT_EQ(PropertyOf(*root, "AccessFlags"), "513");  // script and read; no source, no write
    EXPECT_EQ(PropertyOf(*root, "AppFriendlyName"), "默认应用程序");
    EXPECT_EQ(PropertyOf(*root, "AppRoot"), "/LM/W3SVC/" + out.number + "/ROOT");
    EXPECT_EQ(PropertyOf(*root, "AppIsolated"), "0");  // in process

    EXPECT_EQ(m.Started(), std::vector<std::string>{c.cacls + account + ":F"});
    const auto access = m.temp.machine().AccessList();
    EXPECT_EQ(std::count(access.begin(), access.end(), AccessEntry{c.web, account, "F"}), 1);
  }
}

// The repair leaves a site that is still there with its account alone.
TEST(BuildSite, TheRebuildKeepsASiteThatIsThere) {
  RecipeMachine m;
  MakeSite(m.temp.machine(), "77");
  LocalAccounts(m.temp.machine()).CreateUser({"IUSR_77", "old", "", 65600, "old password"});
  RecordedSteps r;
  const SiteOutcome out = BuildSite(r, kPanelSiteRebuild, {"C:\\Q", "", "", "77"});
  EXPECT_TRUE(out.present);
  EXPECT_EQ(out.account, "IUSR_77");
  EXPECT_EQ(r.ListLines(), std::vector<std::string>{"主控端站点正常..."});
  EXPECT_TRUE(r.Captions().empty());
  EXPECT_EQ(r.Widths(), std::vector<int>{2200});
  const auto user = LocalAccounts(m.temp.machine()).FindUser("IUSR_77");
  const auto site = MetabaseKeyAt(m.temp.machine(), "/LM/W3SVC/77");
  ASSERT_TRUE(user);
  ASSERT_TRUE(site);
  EXPECT_EQ(user->password, "old password");
  EXPECT_EQ(PropertyOf(*site, "AnonymousUserName"), "<none>");
  EXPECT_TRUE(m.Started().empty());
}

// An account of the site's name is there already: the mail and panel sites
// report it once and go on; the rebuild gives it the new password silently.
TEST(BuildSite, AnExistingAccount) {
  struct Case {
    const SiteVariant* variant;
    std::vector<std::string> failures;  // the lines after the group step's
    bool password_changed;
  } cases[] = {
      {&kMailSite, {"网站独立访问帐户添加失败..."}, false},
      {&kPanelSite, {"网站独立访问帐户添加失败..."}, false},
      {&kPanelSiteRebuild, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant->full_name + std::string(" ") + c.variant->prepare.caption);
    // The number the variant will use: drawn from a known state of the
    // generator, at the same moment of the test clock.
    std::string number = "4242";
    if (c.variant->draws_number) {
      RecipeMachine probe;
      win32::Rnd(-1);
      Err err;
      number = SiteNumberText(FindFreeSiteNumber(err));
    }
    RecipeMachine m;
    win32::Rnd(-1);
    LocalAccounts(m.temp.machine()).CreateUser({"IUSR_" + number, "old", "", 0x201, "old password"});
    win32::CreateDirectoryA("C:\\Q", nullptr);
    win32::CreateDirectoryA("C:\\Q\\Web", nullptr);
    RecordedSteps r;
    const SiteOutcome out =
        BuildSite(r, *c.variant, {"C:\\Q", "", "", c.variant->draws_number ? "" : number});
    WaitForPrograms();
    ASSERT_EQ(out.number, number);
    std::vector<std::string> failures;
    const auto captions = r.Captions();
    for (const auto& line : r.ListLines())
      if (std::find(captions.begin(), captions.end(), line) == captions.end()) failures.push_back(line);
    EXPECT_EQ(failures, c.failures);
    EXPECT_EQ(r.ListLines().size(), 7 + c.failures.size());
    auto user = LocalAccounts(m.temp.machine()).FindUser("IUSR_" + number);
    ASSERT_TRUE(user);
    EXPECT_EQ(user->full_name, "old");
    EXPECT_EQ(user->password == out.password, c.password_changed);
    EXPECT_TRUE(MetabaseKeyAt(m.temp.machine(), "/LM/W3SVC/" + number + "/ROOT"));
  }
}

TEST(FindFreeSiteNumber, DrawsAgainWhileTheNumberIsTaken) {
  std::optional<double> first;
  {
    RecipeMachine probe;
    win32::Rnd(-1);
    Err err;
    first = FindFreeSiteNumber(err);
    EXPECT_TRUE(err) << "the last bind failed";
  }
  ASSERT_TRUE(first);
  RecipeMachine m;
  MakeSite(m.temp.machine(), SiteNumberText(first));
  win32::Rnd(-1);
  Err err;
  auto second = FindFreeSiteNumber(err);
  ASSERT_TRUE(second);
  EXPECT_NE(*second, *first);
  EXPECT_FALSE(MetabaseKeyAt(m.temp.machine(), "/LM/W3SVC/" + SiteNumberText(second)));

  // Without reseeding first, the first candidate is the generator's next
  // number as it stands: Int(Rnd * 999999999 + 1).
  win32::Rnd(-1);
  const double expected = std::floor(static_cast<double>(win32::Rnd()) * 999999999.0 + 1.0);
  win32::Rnd(-1);
  EXPECT_EQ(FindFreeSiteNumber(err, false), expected);
}

// An IIS that answers every number: the draws stop and the site steps
// report their failure; nothing is created.
TEST(FindFreeSiteNumber, GivesUpOnAnIisThatAnswersEveryNumber) {
  RecipeMachine m;
  RegisterInprocClass(m.temp.machine().Registry(),
                      {"IIS", "{5EE0A11D-1115-4E55-8A5E-000000000001}", EVERY_NUMBER_IIS, "", ""});
  Err err;
  EXPECT_FALSE(FindFreeSiteNumber(err));

  const auto accounts = LocalAccounts(m.temp.machine()).Users().size();
  RecordedSteps r;
  const SiteOutcome out = BuildSite(r, kMailSite, {"C:\\Q", "", "", ""});
  EXPECT_EQ(out.number, "");
  EXPECT_EQ(r.ListLines(),
            (std::vector<std::string>{
                "正在准备建立企业邮局站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组...",
                "正在设置网站文件夹权限...", "正在建立企业邮局站点...", "正在建立企业邮局站点虚拟目录...",
                "企业邮局网站建立失败...", "正在启动企业邮局站点...", "企业邮局网站启动失败..."}));
  EXPECT_EQ(r.Widths(), (std::vector<int>{2800, 2900, 3100, 3200, 3300, 3500, 3600}));
  EXPECT_EQ(LocalAccounts(m.temp.machine()).Users().size(), accounts);
  EXPECT_TRUE(m.Started().empty());
}

}  // namespace
}  // namespace quorvale::setup
