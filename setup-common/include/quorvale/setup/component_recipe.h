// RegisterComponent: components put into place (moved from the install
// folder unless the target already has one of that name, written from the
// program's own resources when missing, or left where they are), then
// registered with regsvr32 or RegAsm.exe, then opened to an account with
// Cacls; all programs hidden, never waited for. And the uninstall's
// counterpart: unregister and delete, with the web service stopped around
// it. ComponentVariant holds what differs between the sequences.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "quorvale/setup/step_reporter.h"
#include "quorvale/setup/system_helpers.h"

namespace quorvale::setup {

enum class Placement {
  kMoveIfAbsent,  // wait for the unpacked file; move it unless the target has one, else delete it
  kFromResource,  // write the resource byte by byte when the target has no such file
  kStays,         // registered where it lies
  kDiscard,       // wait for the unpacked file and delete it
};

enum class Registration { kNone, kRegsvr32, kRegAsm };

// One file of a variant. A table row names the columns it uses; the rest
// keep these defaults.
struct ComponentEntry {
  const char* file;
  Placement placement;
  int placed_width = 0;  // 0: none
  Registration registration = Registration::kNone;
  int registered_width = 0;
  // Cacls ... /e /c /g <principal>:<right>; principal nullptr: the site
  // account; right nullptr: no access step.
  const char* principal = nullptr;
  const char* right = nullptr;
  int access_width = 0;
  // kFromResource: the resource and its last byte index.
  int resource = 0;
  std::int64_t last_index = 0;
};

struct ComponentVariant {
  const char* step;  // caption and list line; nullptr: no step shown
  int start_width;   // 0: none
  std::span<const ComponentEntry> entries;
  // RegAsm.exe's assembly: ShortPath(folder) & "\" & file (true) or the
  // short path of the whole file path.
  bool regasm_short_folder;
};

extern const ComponentVariant kServerControls;     // the four ActiveX controls
extern const ComponentVariant kMailPage;           // MailCtrl.asp into the mail site
extern const ComponentVariant kMailComponent;      // WinWebMail.dll where it lies
extern const ComponentVariant kNoMailFiles;        // without WinWebMail: both files deleted
extern const ComponentVariant kControlComponents;  // DodIde.dll, Quorvale.dll, Jmail.dll
extern const ComponentVariant kRepairComponents;   // the same, from the repair's resources

struct ComponentPlaces {
  std::string source;          // the install folder
  std::string target;          // the system folder, or the mail site's Web folder
  std::string windows;         // the Windows folder (RegAsm.exe)
  std::string account;         // the site account for the access step
  const SystemHelpers* waits;  // SleepFile and ToDeleteFile of the program
};

void RegisterComponents(StepReporter& reporter, const ComponentVariant& variant,
                        const ComponentPlaces& places);

// The registration commands, as each variant starts them.
std::string Regsvr32Command(const std::string& file, bool remove = false);
std::string RegAsmCommand(const std::string& windows, const std::string& assembly_argument,
                          bool remove = false);

// The uninstall: the web service stopped through WMI, RegAsm.exe /u for
// DodIde.dll, regsvr32 /u /s for Quorvale.dll and jmail.dll, the three
// deleted from the system folder, the web service started.
struct RemovalEntry {
  const char* file;
  Registration registration;
  int unregistered_width;
  int deleted_width;
};
struct RemovalVariant {
  const char* step;
  int start_width;
  std::span<const RemovalEntry> entries;
};
extern const RemovalVariant kUninstallComponents;

void RemoveComponents(StepReporter& reporter, const RemovalVariant& variant, const ComponentPlaces& places);

}  // namespace quorvale::setup
