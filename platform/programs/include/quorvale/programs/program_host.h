// What the programs that run on a machine need from that machine: its files
// by Windows path, its folders, its registry, its access lists and services,
// a record of what the programs did, and a clock to pause on.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "quorvale/machine/registry_store.h"

namespace quorvale {

// One grant of Cacls: principal gets right ("R", "W", "C", "F" or "N") on
// path (a long Windows path); recursive for /t; replace when the command
// replaced the whole access list instead of editing it (no /e).
struct AccessEntry {
  std::string path;
  std::string principal;
  std::string right;
  bool recursive = false;
  bool replace = false;
  bool operator==(const AccessEntry&) const = default;
};

// Start types as Windows numbers them.
inline constexpr int kServiceAutoStart = 2;
inline constexpr int kServiceDemandStart = 3;

struct ServiceEntry {
  std::string name;
  std::string display_name;
  std::string binary_path;  // long Windows path of the service program
  int start_type = kServiceAutoStart;
  bool operator==(const ServiceEntry&) const = default;
};

// "This program did that": program is the file name as Windows spells it
// ("regsvr32.exe", "RegAsm.exe", "cmd.exe"), action one word ("registered",
// "unregistered", "opened", "extracted", "skipped", "refused", "failed"),
// path the long Windows path it concerned, detail anything more.
struct ProgramRecord {
  std::string program;
  std::string action;
  std::string path;
  std::string detail;
  bool operator==(const ProgramRecord&) const = default;
};

class ProgramHost {
 public:
  virtual ~ProgramHost() = default;

  // The machine folder: what QUORVALE_MACHINE names for the programs and
  // libraries of ours that run on this machine.
  virtual std::filesystem::path MachineFolder() const = 0;

  // The host file of a drive path ("C:\PROGRA~1\x"): parts compare without
  // case and may be long names or 8.3 aliases; parts that do not exist are
  // kept as written, so a new file can be named. "." and ".." are resolved
  // and never climb above the drive. Nothing for a path that is no drive path.
  virtual std::optional<std::filesystem::path> HostPathOf(const std::string& windows_path) const = 0;
  // The long Windows path of a host file under the drives.
  virtual std::optional<std::string> WindowsPathOf(const std::filesystem::path& file) const = 0;

  // "C:\WINDOWS\system32" and "C:\WINDOWS", without a trailing backslash.
  virtual std::string SystemFolder() const = 0;
  virtual std::string WindowsFolder() const = 0;

  virtual RegistryStore& Registry() = 0;

  // True while some program holds the file open: it cannot be deleted.
  virtual bool IsHeld(const std::filesystem::path& file) const = 0;

  virtual void AddAccessEntry(const AccessEntry& entry) = 0;
  // False when a service of that name exists already (it stays as it was).
  virtual bool RegisterService(const ServiceEntry& entry) = 0;
  virtual void Record(const ProgramRecord& record) = 0;

  // A pause of a running program; the machine's clock decides how long it
  // really takes (a test clock returns at once).
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace quorvale
