#include "quorvale/setup/site_recipe.h"

#include <cmath>

#include "late_bound.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/vb_random.h"

namespace quorvale::setup {

using detail::LateBound;

namespace {
// The captions the variants share: every site's account, group and folder
// steps, and the panel site's own steps in the setup and the repair.
constexpr const char* kAccountCaption = "正在建立网站独立帐户...";
constexpr const char* kGroupCaption = "正在设置网站独立帐户所属组...";
constexpr const char* kPermissionsCaption = "正在设置网站文件夹权限...";
constexpr const char* kPanelPrepareCaption = "正在准备建立主控端站点...";
constexpr const char* kPanelSiteCaption = "正在建立主控端站点...";
constexpr const char* kPanelRootCaption = "正在建立主控端站点虚拟目录...";
constexpr const char* kPanelStartCaption = "正在启动主控端站点...";
}  // namespace

const SiteVariant kMailSite{
    .prepare = {.caption = "正在准备建立企业邮局站点...", .width = 2800},
    .draws_password = true,
    .draws_number = true,
    .present_line = nullptr,
    .present_width = 0,
    .account = {.caption = kAccountCaption, .width = 2900},
    .account_created_width = 0,
    .reuses_account = false,
    .clears_after_account = false,
    .full_name = "企业邮局网站独立帐户",
    .group = {.caption = kGroupCaption, .width = 3100},
    .group_name = "Administrators",
    .permissions = {.caption = kPermissionsCaption, .width = 3200},
    .shortens_folder_only = true,
    .waits_for_web = false,
    .clears_after_permissions = false,
    .site = {.caption = "正在建立企业邮局站点...", .width = 3300},
    .site_failure = nullptr,
    .server_comment = "MailSystem",
    .default_doc = "Default.asp",
    .root = {.caption = "正在建立企业邮局站点虚拟目录...", .width = 3500},
    .root_failure = "企业邮局网站建立失败...",
    .start = {.caption = "正在启动企业邮局站点...", .width = 3600},
    .start_failure = "企业邮局网站启动失败...",
};

const SiteVariant kPanelSite{
    .prepare = {.caption = kPanelPrepareCaption, .width = 3000},
    .draws_password = false,
    .draws_number = true,
    .present_line = nullptr,
    .present_width = 0,
    .account = {.caption = kAccountCaption, .width = 3200},
    .account_created_width = 3100,
    .reuses_account = false,
    .clears_after_account = false,
    .full_name = "网站用户独立帐户",
    .group = {.caption = kGroupCaption, .width = 3300},
    .group_name = "Guests",
    .permissions = {.caption = kPermissionsCaption, .width = 3400},
    .shortens_folder_only = false,
    .waits_for_web = true,
    .clears_after_permissions = false,
    .site = {.caption = kPanelSiteCaption, .width = 3500},
    .site_failure = nullptr,
    .server_comment = "HostSystem",
    .default_doc = "Index.asp",
    .root = {.caption = kPanelRootCaption, .width = 3600},
    .root_failure = "主控端网站建立失败...",
    .start = {.caption = kPanelStartCaption, .width = 3700},
    .start_failure = "主控端网站启动失败...",
};

const SiteVariant kPanelSiteRebuild{
    .prepare = {.caption = kPanelPrepareCaption, .width = 1000},
    .draws_password = true,
    .draws_number = false,
    .present_line = "主控端站点正常...",
    .present_width = 2200,
    .account = {.caption = kAccountCaption, .width = 1200},
    .account_created_width = 0,
    .reuses_account = true,
    .clears_after_account = true,
    .full_name = "网站用户独立帐户",
    .group = {.caption = kGroupCaption, .width = 1400},
    .group_name = "Guests",
    .permissions = {.caption = kPermissionsCaption, .width = 1600},
    .shortens_folder_only = false,
    .waits_for_web = false,
    .clears_after_permissions = true,
    .site = {.caption = kPanelSiteCaption, .width = 1800},
    .site_failure = "主控端站点建立失败...",
    .server_comment = "HostSystem",
    .default_doc = "Index.asp",
    .root = {.caption = kPanelRootCaption, .width = 2000},
    .root_failure = "主控端站点虚拟目录建立失败...",
    .start = {.caption = kPanelStartCaption, .width = 2200},
    .start_failure = "主控端网站启动失败...",
};

namespace {

constexpr const char* kSites = "IIS://localhost/w3svc";
constexpr const char* kAccountDescription = "匿名访问 Internet 信息服务的内置帐户";
constexpr std::int32_t kAccountFlags = 65600;  // the password never expires; the user cannot change it
constexpr std::int16_t kAuthFlags = 5;         // anonymous plus integrated Windows authentication

// Every number drawn was taken.
[[noreturn]] void RaiseNoNumber() {
  Raise(Error::kSystemNoMoreItems, "no free site number in " + std::to_string(kSiteNumberDraws) + " draws");
}

// The paths bound to: the machine, an account or group on it, a site by
// its number.
std::string ComputerPath() { return "WinNT://" + SystemHelpers::ComputerName(); }
std::string AccountPath(const std::string& name) { return ComputerPath() + "/" + name; }
std::string SitePath(const std::string& number) { return std::string(kSites) + "/" + number; }

class SiteBuilder {
 public:
  SiteBuilder(StepReporter& reporter, const SiteVariant& variant, const SiteRequest& request)
      : r_(reporter), err_(reporter.SequenceErr()), v_(variant), request_(request) {
    out_.number = request.number;
    out_.password = request.password;
  }

  SiteOutcome Run() {
    if (v_.present_line && SiteExists(err_, out_.number)) {
      out_.present = true;
      out_.account = SiteAccountOf(out_.number);
      if (AccountExists()) {
        r_.ListLine(v_.present_line);
      } else {
        RestoreAccount();
      }
      r_.MoveBar(v_.present_width);
      return out_;
    }
    Prepare();
    Account();
    Group();
    Permissions();
    Site();
    Root();
    Start();
    return out_;
  }

 private:
  void Begin(const SiteStep& step) { r_.ShowStep(step.caption); }
  void Statement(const std::function<void()>& f) { err_.Resume(f); }

  bool AccountExists() {
    Err look;
    return look.Resume([&] { LateBound::Bind(AccountPath(out_.account)).Release(); });
  }

  void DrawPassword() {
    if (v_.draws_password) Statement([&] { out_.password = SystemHelpers::GetLetter(32); });
  }

  // The site is there but its anonymous account is not: the account is made
  // as the rebuild makes it (group, folder access) and given to the site
  // with its new password. The group step's check covers the site's update.
  void RestoreAccount() {
    DrawPassword();
    Account();
    LateBound site;
    Statement([&] { site = LateBound::Bind(SitePath(out_.number)); });
    Statement([&] { site.Let("AnonymousUserName", out_.account); });
    Statement([&] { site.Let("AnonymousUserPass", out_.password); });
    Statement([&] { site.Call("SetInfo"); });
    Group();
    Permissions();
  }

  void Prepare() {
    Begin(v_.prepare);
    DrawPassword();
    if (v_.draws_number) out_.number = SiteNumberText(FindFreeSiteNumber(err_));
    out_.account = out_.number.empty() ? "" : SiteAccountOf(out_.number);
    r_.MoveBar(v_.prepare.width);
  }

  void Account() {
    Begin(v_.account);
    err_.Clear();
    if (!out_.account.empty()) {
      LateBound user;
      const bool exists =
          v_.reuses_account && err_.Resume([&] { user = LateBound::Bind(AccountPath(out_.account)); });
      if (exists) {
        Statement([&] { user.Call("SetPassword", {out_.password}); });
        Statement([&] { user.Call("SetInfo"); });
      } else {
        CreateAccount();
      }
    }
    if (v_.clears_after_account) err_.Clear();
    r_.MoveBar(v_.account.width);
  }

  void CreateAccount() {
    LateBound computer, user;
    Statement([&] { computer = LateBound::Bind(ComputerPath()); });
    Statement([&] { user = LateBound::Of(computer.Call("Create", {"User", out_.account})); });
    Statement([&] { user.Call("SetInfo"); });
    if (v_.account_created_width) r_.MoveBar(v_.account_created_width);
    Statement([&] { user.Call("SetPassword", {out_.password}); });
    Statement([&] { user.Let("FullName", v_.full_name); });
    Statement([&] { user.Let("Description", kAccountDescription); });
    Statement([&] { user.Let("UserFlags", kAccountFlags); });
    Statement([&] { user.Call("SetInfo"); });
  }

  void Group() {
    Begin(v_.group);
    if (!out_.account.empty()) {
      LateBound group;
      Statement([&] { group = LateBound::Bind(AccountPath(v_.group_name)); });
      Statement([&] { group.Call("Add", {AccountPath(out_.account)}); });
    }
    r_.CheckStep(kAccountFailure);
    r_.MoveBar(v_.group.width);
  }

  void Permissions() {
    Begin(v_.permissions);
    if (!out_.account.empty()) {
      // Granted on what is there once Web is: what the unpacker writes into
      // it later inherits the grant.
      if (v_.waits_for_web) {
        const SystemHelpers setup_waits;
        const SystemHelpers& waits = request_.waits ? *request_.waits : setup_waits;
        Statement([&] { waits.SleepFolder(request_.folder + "\\Web"); });
      }
      const std::string web = v_.shortens_folder_only ? SystemHelpers::ShortPath(request_.folder) + "\\Web"
                                                      : SystemHelpers::ShortPath(request_.folder + "\\Web");
      StartHidden(err_, "Cacls " + web + " /t /e /c /g " + out_.account + ":F");
    }
    if (v_.clears_after_permissions) err_.Clear();
    r_.MoveBar(v_.permissions.width);
  }

  void Site() {
    Begin(v_.site);
    Statement([&] {
      if (out_.number.empty()) RaiseNoNumber();
    });
    if (!out_.number.empty()) {
      LateBound sites;
      Statement([&] { sites = LateBound::Bind(kSites); });
      Variant::Array bindings(1);
      bindings[0] = ":80:" + request_.host;
      Statement([&] { site_ = LateBound::Of(sites.Call("Create", {"IIsWebServer", out_.number})); });
      Statement([&] { site_.Let("ServerBindings", bindings); });
      Statement([&] { site_.Let("ServerComment", v_.server_comment); });
      Statement([&] { site_.Let("AnonymousUserName", out_.account); });
      Statement([&] { site_.Let("AnonymousUserPass", out_.password); });
      Statement([&] { site_.Let("AuthFlags", kAuthFlags); });
      Statement([&] { site_.Let("KeyType", "IIsWebServer"); });
      Statement([&] { site_.Let("FrontPageWeb", false); });
      Statement([&] { site_.Let("EnableDefaultDoc", true); });
      Statement([&] { site_.Let("DefaultDoc", v_.default_doc); });
      Statement([&] { site_.Let("AspEnableParentPaths", true); });
      Statement([&] { site_.Call("SetInfo"); });
    }
    if (v_.site_failure) r_.CheckStep(v_.site_failure);
    r_.MoveBar(v_.site.width);
  }

  void Root() {
    Begin(v_.root);
    LateBound root;
    if (!out_.number.empty()) {
      Statement([&] { root = LateBound::Of(site_.Call("Create", {"IIsWebVirtualDir", "ROOT"})); });
      Statement([&] { root.Let("path", request_.folder + "\\Web"); });
      Statement([&] { root.Call("SetInfo"); });
      Statement([&] { root.Let("AccessScript", true); });
      Statement([&] { root.Let("AccessSource", false); });
      Statement([&] { root.Let("AccessRead", true); });
      Statement([&] { root.Let("AccessWrite", false); });
      Statement([&] { root.Let("AppFriendlyName", "默认应用程序"); });
      Statement([&] { root.Call("AppCreate", {true}); });
      Statement([&] { root.Call("SetInfo"); });
    }
    r_.CheckStep(v_.root_failure);
    root.Release();
    site_.Release();
    r_.MoveBar(v_.root.width);
  }

  void Start() {
    Begin(v_.start);
    Statement([&] {
      if (out_.number.empty()) RaiseNoNumber();
      LateBound::Bind(SitePath(out_.number)).Call("Start");
    });
    r_.CheckStep(v_.start_failure);
    r_.MoveBar(v_.start.width);
  }

  StepReporter& r_;
  Err& err_;
  const SiteVariant& v_;
  const SiteRequest& request_;
  SiteOutcome out_;
  LateBound site_;
};

}  // namespace

double DrawSiteNumber() { return std::floor(static_cast<double>(win32::Rnd()) * 999999999.0 + 1.0); }

std::optional<double> FindFreeSiteNumber(Err& err, bool reseed_first) {
  for (int draw = 0; draw < kSiteNumberDraws; ++draw) {
    if (draw > 0 || reseed_first) win32::Randomize();
    const double n = DrawSiteNumber();
    err.Clear();
    if (!SiteExists(err, SiteNumberText(n))) return n;
  }
  return std::nullopt;
}

std::string SiteNumberText(const std::optional<double>& number) {
  return number ? std::to_string(static_cast<long long>(*number)) : std::string();
}

std::string SiteAccountOf(const std::string& number) { return "IUSR_" + number; }

bool SiteExists(Err& err, const std::string& number) {
  if (number.empty()) return false;
  return err.Resume([&] { LateBound::Bind(SitePath(number)).Release(); });
}

void DeleteSiteAccount(Err& err, const std::string& account) {
  LateBound user, computer;
  Variant name;
  err.Resume([&] { user = LateBound::Bind(AccountPath(account)); });
  err.Resume([&] {
    const auto parent = user.Get("Parent").TextForm();
    if (!parent) Raise(Error::kTypeMismatch);
    computer = LateBound::Bind(*parent);
  });
  err.Resume([&] { name = user.Get("Name"); });
  err.Resume([&] { computer.Call("Delete", {"User", name}); });
}

void DeleteWebSite(Err& err, const std::string& number) {
  err.Resume([&] { LateBound::Bind(kSites).Call("Delete", {"IIsWebServer", number}); });
}

SiteOutcome BuildSite(StepReporter& reporter, const SiteVariant& variant, const SiteRequest& request) {
  return SiteBuilder(reporter, variant, request).Run();
}

}  // namespace quorvale::setup
