// What the programs that run on a machine need from that machine: its files
// by Windows path, its folders, its registry, holds on open files, its
// access lists and services, a record of what the programs did, and a clock
// to pause on. MachineProgramHost is the one over a Machine.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "quorvale/machine/machine.h"

namespace quorvale {

// One grant of Cacls: principal gets right ("R", "W", "C", "F" or "N") on
// path (a long Windows path); recursive for /t (every file and folder
// below path too); replace when the command replaced the whole access list
// instead of editing it (no /e).
struct AccessGrant {
  std::string path;
  std::string principal;
  std::string right;
  bool recursive = false;
  bool replace = false;
  bool operator==(const AccessGrant&) const = default;
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
  // and never climb above the drive. Nothing for a path that names nothing
  // on the machine (no drive path, a drive it lacks, a name Windows refuses).
  virtual std::optional<std::filesystem::path> HostPathOf(const std::string& windows_path) const = 0;
  // The long Windows path of a host file under the drives.
  virtual std::optional<std::string> WindowsPathOf(const std::filesystem::path& file) const = 0;
  // The long form of a Windows path: the names of what exists as the drive
  // keeps them, the rest as written; a path that names nothing as it is.
  virtual std::string LongPathOf(const std::string& windows_path) const = 0;

  // "C:\WINDOWS\system32" and "C:\WINDOWS", without a trailing backslash.
  virtual std::string SystemFolder() const = 0;
  virtual std::string WindowsFolder() const = 0;

  virtual RegistryStore& Registry() = 0;

  // True while some program holds the file open: it cannot be deleted.
  virtual bool IsHeld(const std::filesystem::path& file) const = 0;
  // Holds the file open for holder (a program's file name) while the
  // returned hold lives and the process pid runs (0: this process).
  virtual FileHold Hold(const std::filesystem::path& file, const std::string& holder, long pid = 0) const = 0;

  // A file or folder removed: what the machine kept about it (attributes,
  // 8.3 name, access list), and about everything below it, goes.
  virtual void ForgetPath(const std::string& long_path) const = 0;

  // A recursive grant is made on a folder before what lies in it is listed,
  // level by level, so a file made in the folder meanwhile is either listed
  // or finds the folder's grant to inherit.
  virtual void AddAccessEntry(const AccessGrant& grant) = 0;
  // A file or folder just made (it was not there before): it takes the
  // grants of the folder it was made in, as a new file on Windows inherits
  // the entries of its folder's access list (Cacls grants on a folder are
  // inherited by what is made in it).
  virtual void InheritAccess(const std::filesystem::path& made) = 0;
  // False when a service of that name exists already (it stays as it was).
  virtual bool RegisterService(const ServiceRecord& service) = 0;
  virtual void Record(const ProgramEvent& event) = 0;

  // A pause of a running program on the machine's clock (the test clock
  // returns at once with virtual time advanced).
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace quorvale
