// The programs' view of a Machine: files through its path resolution and
// 8.3 names, its folders from machine.ini, its registry, holds, access
// lists, services and record of program events, and the machine's clock.
#pragma once

#include <memory>

#include "quorvale/programs/program_host.h"

namespace quorvale {

class MachineProgramHost : public ProgramHost {
 public:
  explicit MachineProgramHost(std::shared_ptr<Machine> machine);

  Machine& machine() const { return *machine_; }

  std::filesystem::path MachineFolder() const override { return machine_->Folder(); }
  std::optional<std::filesystem::path> HostPathOf(const std::string& windows_path) const override;
  std::optional<std::string> WindowsPathOf(const std::filesystem::path& file) const override;
  std::string LongPathOf(const std::string& windows_path) const override;
  std::string SystemFolder() const override;
  std::string WindowsFolder() const override;
  RegistryStore& Registry() override { return machine_->Registry(); }
  bool IsHeld(const std::filesystem::path& file) const override;
  FileHold Hold(const std::filesystem::path& file, const std::string& holder, long pid = 0) const override;
  void ForgetPath(const std::string& long_path) const override { machine_->ForgetPath(long_path); }
  void AddAccessEntry(const AccessGrant& grant) override;
  void InheritAccess(const std::filesystem::path& made) override;
  bool RegisterService(const ServiceRecord& service) override;
  void Record(const ProgramEvent& event) override;
  void Sleep(std::chrono::milliseconds duration) override;

 private:
  std::shared_ptr<Machine> machine_;
};

// The host of the process's current machine (CurrentMachine()): one per
// machine folder, kept for the life of the process, so programs started on
// it may outlive any caller.
MachineProgramHost& CurrentProgramHost();

}  // namespace quorvale
