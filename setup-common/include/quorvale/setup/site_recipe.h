// The web site that runs under an account of its own: FindFreeSiteNumber,
// CreateSiteAccount (account IUSR_<number> and its group), the folder's
// access for it (Cacls), and CreateWebSite (site, root directory and
// application, start). The mail site of the server end, the panel site of
// the control end and the repair's rebuild of the panel site run the same
// steps; SiteVariant holds what differs between them.
#pragma once

#include <optional>
#include <string>

#include "quorvale/setup/step_reporter.h"
#include "quorvale/setup/system_helpers.h"

namespace quorvale::setup {

// Draws before FindFreeSiteNumber gives up: a machine whose IIS answers
// every number must not hang the install.
inline constexpr int kSiteNumberDraws = 1000;

// One number n = Int(Rnd * 999999999 + 1), 1 <= n <= 999,999,999.
double DrawSiteNumber();

// A number no site under IIS://localhost/w3svc has: seeds the generator
// from the timer (unless reseed_first is false: the first candidate comes
// from the generator as it stands), draws, and while a site of that number
// binds, seeds and draws again. Nothing after kSiteNumberDraws numbers that
// all bind. The bind failures go into err, as the recipe leaves them.
std::optional<double> FindFreeSiteNumber(Err& err, bool reseed_first = true);

// The decimal digits of a site number; "" for none.
std::string SiteNumberText(const std::optional<double>& number);

// The site's own account: "IUSR_" and its number.
std::string SiteAccountOf(const std::string& number);

// Whether IIS://localhost/w3svc/<number> binds: a site of that number is
// there. A failed bind is left in err. No number names no site.
bool SiteExists(Err& err, const std::string& number);

// The uninstall's removal: the site account through its Parent (the
// computer's Delete of the "User" of the account's Name), and the site
// under IIS://localhost/w3svc (not stopped first; its folder stays).
// Failures are left in err.
void DeleteSiteAccount(Err& err, const std::string& account);
void DeleteWebSite(Err& err, const std::string& number);

struct SiteStep {
  const char* caption;  // also the list line
  int width;
};

struct SiteVariant {
  // The first step: draws the password and/or the number.
  SiteStep prepare;
  bool draws_password;
  bool draws_number;
  // The repair first looks for the site: when it binds, only this list line
  // and width, and nothing is rebuilt; when its account is gone, only the
  // account, group and permissions steps run, and the site gets the account
  // and its new password as its anonymous user.
  const char* present_line;  // nullptr: no look
  int present_width;

  SiteStep account;
  int account_created_width;  // after the account's first SetInfo; 0: none
  bool reuses_account;        // an existing account only gets the password
  bool clears_after_account;  // else the group step's check covers it
  const char* full_name;

  SiteStep group;
  const char* group_name;

  SiteStep permissions;
  // Cacls on ShortPath(folder) & "\Web" (true) or ShortPath(folder & "\Web").
  bool shortens_folder_only;
  // Web comes from the unpacker, which may not have made it yet: the step
  // waits for it (the request's waits) before it starts Cacls.
  bool waits_for_web;
  bool clears_after_permissions;

  SiteStep site;
  const char* site_failure;  // nullptr: the root step's check covers it
  const char* server_comment;
  const char* default_doc;

  SiteStep root;
  const char* root_failure;

  SiteStep start;
  const char* start_failure;
};

extern const SiteVariant kMailSite;
extern const SiteVariant kPanelSite;
extern const SiteVariant kPanelSiteRebuild;

inline constexpr const char* kAccountFailure = "网站独立访问帐户添加失败...";

struct SiteRequest {
  // The folder whose "Web" is the site's root: the WinWebMail folder, or
  // the install folder.
  std::string folder;
  // The host name after ":80:" in the binding; "" binds every name.
  std::string host;
  // Given: the password the control end drew at its start; the number the
  // repair chose (its record's text, or the drawn number's).
  std::string password;
  std::string number;
  // The program's waits, for a variant that waits for Web (nullptr: the
  // setup programs' 20 tries 500 ms apart).
  const SystemHelpers* waits = nullptr;
};

struct SiteOutcome {
  std::string number;   // "": no free number was found
  std::string account;  // "IUSR_" & number
  std::string password;
  bool present = false;  // the repair found the site and did not build it again
};

// The steps of the variant, reported on the page. A failure adds the
// variant's line at its check point and the run goes on; without a number
// nothing is created and the site and start steps report their failure.
SiteOutcome BuildSite(StepReporter& reporter, const SiteVariant& variant, const SiteRequest& request);

}  // namespace quorvale::setup
