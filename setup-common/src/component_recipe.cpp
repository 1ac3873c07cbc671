#include "quorvale/setup/component_recipe.h"

#include <array>

#include "ansi_text.h"
#include "late_bound.h"
#include "quorvale/core/text.h"
#include "quorvale/setup/payload_recipe.h"
#include "quorvale/win32/kernel.h"

namespace quorvale::setup {

using detail::LateBound;

namespace {

constexpr auto kMove = Placement::kMoveIfAbsent;
constexpr auto kRegsvr32 = Registration::kRegsvr32;
constexpr auto kRegAsm = Registration::kRegAsm;
constexpr auto kNone = Registration::kNone;
constexpr const char* kSiteAccount = nullptr;
constexpr const char* kRegisterStep = "正在注册组件...";

constexpr std::array<ComponentEntry, 4> kServerControlEntries = {{
    {"mswinsck.ocx", kMove, 4200, kRegsvr32, 4900, nullptr, nullptr, 0, 0, 0},
    {"ntsvc.ocx", kMove, 4400, kRegsvr32, 5000, nullptr, nullptr, 0, 0, 0},
    {"TABCTL32.OCX", kMove, 4600, kRegsvr32, 5100, nullptr, nullptr, 0, 0, 0},
    {"MSCOMCTL.OCX", kMove, 4800, kRegsvr32, 5200, nullptr, nullptr, 0, 0, 0},
}};
constexpr std::array<ComponentEntry, 1> kMailPageEntries = {{
    {"MailCtrl.asp", kMove, 3800, kNone, 0, nullptr, nullptr, 0, 0, 0},
}};
constexpr std::array<ComponentEntry, 1> kMailComponentEntries = {{
    {"WinWebMail.dll", Placement::kStays, 0, kRegsvr32, 3900, nullptr, nullptr, 0, 0, 0},
}};
constexpr std::array<ComponentEntry, 2> kNoMailEntries = {{
    {"MailCtrl.asp", Placement::kDiscard, 0, kNone, 0, nullptr, nullptr, 0, 0, 0},
    {"WinWebMail.dll", Placement::kDiscard, 3900, kNone, 0, nullptr, nullptr, 0, 0, 0},
}};
constexpr std::array<ComponentEntry, 3> kControlEntries = {{
    {"DodIde.dll", kMove, 4700, kRegAsm, 5200, kSiteAccount, ":R", 5500, 0, 0},
    {"Quorvale.dll", kMove, 4800, kRegsvr32, 5300, kSiteAccount, ":R", 5600, 0, 0},
    {"Jmail.dll", kMove, 4900, kRegsvr32, 5400, "Everyone", ":R", 5700, 0, 0},
}};
constexpr std::array<ComponentEntry, 3> kRepairEntries = {{
    {"DodIde.dll", Placement::kFromResource, 4200, kRegAsm, 4800, kSiteAccount, ":F", 5400, 101, 98303},
    {"Quorvale.dll", Placement::kFromResource, 4400, kRegsvr32, 5000, kSiteAccount, ":F", 5600, 102, 397311},
    {"jmail.dll", Placement::kFromResource, 4600, kRegsvr32, 5200, kSiteAccount, ":F", 5800, 103, 361983},
}};
constexpr std::array<RemovalEntry, 3> kUninstallEntries = {{
    {"DodIde.dll", kRegAsm, 3500, 5000},
    {"Quorvale.dll", kRegsvr32, 4000, 5500},
    {"jmail.dll", kRegsvr32, 4500, 6000},
}};

std::string In(const std::string& folder, const char* file) { return folder + "\\" + file; }

std::string RegistrationCommand(const ComponentVariant& v, const ComponentPlaces& p, const ComponentEntry& e,
                                const std::string& file) {
  if (e.registration == kRegsvr32) return Regsvr32Command(file);
  const std::string folder = e.placement == Placement::kStays ? p.source : p.target;
  return RegAsmCommand(p.windows, v.regasm_short_folder ? In(SystemHelpers::ShortPath(folder), e.file)
                                                        : SystemHelpers::ShortPath(file)) +
         " /CodeBase";
}

void Place(StepReporter& r, const ComponentPlaces& p, const ComponentEntry& e) {
  Err& err = r.SequenceErr();
  const std::string unpacked = In(p.source, e.file), placed = In(p.target, e.file);
  switch (e.placement) {
    case Placement::kStays: break;
    case Placement::kDiscard:
      err.Resume([&] { p.waits->SleepFile(unpacked); });
      err.Resume([&] { p.waits->ToDeleteFile(unpacked); });
      break;
    case Placement::kMoveIfAbsent:
      err.Resume([&] { p.waits->SleepFile(unpacked); });
      err.Resume([&] {
        if (!FilePresent(placed))
          win32::MoveFileA(detail::AnsiText(unpacked).c_str(), detail::AnsiText(placed).c_str());
        else
          p.waits->ToDeleteFile(unpacked);
      });
      break;
    case Placement::kFromResource: {
      bool missing = false;
      err.Resume([&] { missing = !FilePresent(placed); });
      if (missing) WriteResourceFile(r, {e.resource, e.last_index, {}}, placed);
      break;
    }
  }
  if (e.placed_width) r.MoveBar(e.placed_width);
}

}  // namespace

const ComponentVariant kServerControls{kRegisterStep, 4000, kServerControlEntries, false};
const ComponentVariant kMailPage{"正在配置企业邮局站点...", 0, kMailPageEntries, false};
const ComponentVariant kMailComponent{"正在注册企业邮局组件...", 0, kMailComponentEntries, false};
const ComponentVariant kNoMailFiles{nullptr, 0, kNoMailEntries, false};
const ComponentVariant kControlComponents{kRegisterStep, 4600, kControlEntries, false};
const ComponentVariant kRepairComponents{kRegisterStep, 4000, kRepairEntries, true};
const RemovalVariant kUninstallComponents{"正在卸载组件...", 3000, kUninstallEntries};

std::string Regsvr32Command(const std::string& file, bool remove) {
  return "regsvr32 " + SystemHelpers::ShortPath(file) + (remove ? " /u /s" : " /s");
}

std::string RegAsmCommand(const std::string& windows, const std::string& assembly_argument, bool remove) {
  return SystemHelpers::ShortPath(windows + "\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe") + " " +
         assembly_argument + (remove ? " /u" : "");
}

void RegisterComponents(StepReporter& r, const ComponentVariant& v, const ComponentPlaces& p) {
  Err& err = r.SequenceErr();
  if (v.step) r.ShowStep(v.step);
  if (v.start_width) r.MoveBar(v.start_width);
  // Every file is in place before the first registration.
  for (const auto& e : v.entries) Place(r, p, e);
  for (const auto& e : v.entries) {
    if (e.registration == kNone) continue;
    const std::string file = In(e.placement == Placement::kStays ? p.source : p.target, e.file);
    err.Resume([&] { p.waits->SleepFile(file); });
    StartHidden(err, RegistrationCommand(v, p, e, file));
    r.MoveBar(e.registered_width);
  }
  for (const auto& e : v.entries) {
    if (!e.right) continue;
    const std::string principal = e.principal ? e.principal : p.account;
    StartHidden(
        err, "Cacls " + SystemHelpers::ShortPath(In(p.target, e.file)) + " /e /c /g " + principal + e.right);
    r.MoveBar(e.access_width);
  }
}

namespace {

// Stops or starts the web service through WMI, without waiting for it.
void WebService(Err& err, const char* method) {
  LateBound wmi;
  Variant services;
  err.Resume([&] { wmi = LateBound::Bind("winmgmts:\\\\."); });
  err.Resume([&] { services = wmi.Call("InstancesOf", {"Win32_Service"}); });
  std::vector<Variant> items;
  err.Resume([&] { items = ForEachItem(DispatchOf(services)); });
  for (const auto& item : items) {
    err.Resume([&] {
      LateBound service = LateBound::Of(item);
      const auto name = service.Get("Name").TextForm();
      // Its name in lower case is "w3svc".
      if (name && LowerCase(*name) == "w3svc") service.Call(method);
    });
  }
}

}  // namespace

void RemoveComponents(StepReporter& r, const RemovalVariant& v, const ComponentPlaces& p) {
  Err& err = r.SequenceErr();
  r.ShowStep(v.step);
  r.MoveBar(v.start_width);
  WebService(err, "StopService");
  for (const auto& e : v.entries) {
    const std::string file = In(p.target, e.file);
    StartHidden(err, e.registration == kRegAsm
                         ? RegAsmCommand(p.windows, SystemHelpers::ShortPath(file), true)
                         : Regsvr32Command(file, true));
    r.MoveBar(e.unregistered_width);
  }
  for (const auto& e : v.entries) {
    err.Resume([&] { p.waits->ToDeleteFile(In(p.target, e.file)); });
    r.MoveBar(e.deleted_width);
  }
  WebService(err, "StartService");
}

}  // namespace quorvale::setup
