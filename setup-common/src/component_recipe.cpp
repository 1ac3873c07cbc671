#include "quorvale/setup/component_recipe.h"

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

constexpr ComponentEntry kServerControlEntries[] = {
    {.file = "mswinsck.ocx",
     .placement = kMove,
     .placed_width = 4200,
     .registration = kRegsvr32,
     .registered_width = 4900},
    {.file = "ntsvc.ocx",
     .placement = kMove,
     .placed_width = 4400,
     .registration = kRegsvr32,
     .registered_width = 5000},
    {.file = "TABCTL32.OCX",
     .placement = kMove,
     .placed_width = 4600,
     .registration = kRegsvr32,
     .registered_width = 5100},
    {.file = "MSCOMCTL.OCX",
     .placement = kMove,
     .placed_width = 4800,
     .registration = kRegsvr32,
     .registered_width = 5200},
};
constexpr ComponentEntry kMailPageEntries[] = {
    {.file = "MailCtrl.asp", .placement = kMove, .placed_width = 3800},
};
constexpr ComponentEntry kMailComponentEntries[] = {
    {.file = "WinWebMail.dll",
     .placement = Placement::kStays,
     .registration = kRegsvr32,
     .registered_width = 3900},
};
constexpr ComponentEntry kNoMailEntries[] = {
    {.file = "MailCtrl.asp", .placement = Placement::kDiscard},
    {.file = "WinWebMail.dll", .placement = Placement::kDiscard, .placed_width = 3900},
};
constexpr ComponentEntry kControlEntries[] = {
    {.file = "DodIde.dll",
     .placement = kMove,
     .placed_width = 4700,
     .registration = kRegAsm,
     .registered_width = 5200,
     .principal = kSiteAccount,
     .right = ":R",
     .access_width = 5500},
    {.file = "Quorvale.dll",
     .placement = kMove,
     .placed_width = 4800,
     .registration = kRegsvr32,
     .registered_width = 5300,
     .principal = kSiteAccount,
     .right = ":R",
     .access_width = 5600},
    {.file = "Jmail.dll",
     .placement = kMove,
     .placed_width = 4900,
     .registration = kRegsvr32,
     .registered_width = 5400,
     .principal = "Everyone",
     .right = ":R",
     .access_width = 5700},
};
constexpr ComponentEntry kRepairEntries[] = {
    {.file = "DodIde.dll",
     .placement = Placement::kFromResource,
     .placed_width = 4200,
     .registration = kRegAsm,
     .registered_width = 4800,
     .principal = kSiteAccount,
     .right = ":F",
     .access_width = 5400,
     .resource = 101,
     .last_index = 98303},
    {.file = "Quorvale.dll",
     .placement = Placement::kFromResource,
     .placed_width = 4400,
     .registration = kRegsvr32,
     .registered_width = 5000,
     .principal = kSiteAccount,
     .right = ":F",
     .access_width = 5600,
     .resource = 102,
     .last_index = 397311},
    {.file = "jmail.dll",
     .placement = Placement::kFromResource,
     .placed_width = 4600,
     .registration = kRegsvr32,
     .registered_width = 5200,
     .principal = kSiteAccount,
     .right = ":F",
     .access_width = 5800,
     .resource = 103,
     .last_index = 361983},
};
constexpr RemovalEntry kUninstallEntries[] = {
    {.file = "DodIde.dll", .registration = kRegAsm, .unregistered_width = 3500, .deleted_width = 5000},
    {.file = "Quorvale.dll", .registration = kRegsvr32, .unregistered_width = 4000, .deleted_width = 5500},
    {.file = "jmail.dll", .registration = kRegsvr32, .unregistered_width = 4500, .deleted_width = 6000},
};

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
      if (missing)
        WriteResourceFile(r, {.resource = e.resource, .last_index = e.last_index, .points = {}}, placed);
      break;
    }
  }
  if (e.placed_width) r.MoveBar(e.placed_width);
}

}  // namespace

const ComponentVariant kServerControls{
    .step = kRegisterStep,
    .start_width = 4000,
    .entries = kServerControlEntries,
    .regasm_short_folder = false,
};
const ComponentVariant kMailPage{
    .step = "正在配置企业邮局站点...",
    .start_width = 0,
    .entries = kMailPageEntries,
    .regasm_short_folder = false,
};
const ComponentVariant kMailComponent{
    .step = "正在注册企业邮局组件...",
    .start_width = 0,
    .entries = kMailComponentEntries,
    .regasm_short_folder = false,
};
const ComponentVariant kNoMailFiles{
    .step = nullptr,
    .start_width = 0,
    .entries = kNoMailEntries,
    .regasm_short_folder = false,
};
const ComponentVariant kControlComponents{
    .step = kRegisterStep,
    .start_width = 4600,
    .entries = kControlEntries,
    .regasm_short_folder = false,
};
const ComponentVariant kRepairComponents{
    .step = kRegisterStep,
    .start_width = 4000,
    .entries = kRepairEntries,
    .regasm_short_folder = true,
};
const RemovalVariant kUninstallComponents{
    .step = "正在卸载组件...",
    .start_width = 3000,
    .entries = kUninstallEntries,
};

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
