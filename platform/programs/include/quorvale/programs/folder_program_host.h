// A ProgramHost over a plain machine folder: files under drives/, the
// registry file of the folder, and everything else kept in memory. 8.3
// aliases are derived from each folder's listing (the Nth long name, in name
// order, that shares the first six letters and the extension gets ~N).
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <vector>

#include "quorvale/programs/program_host.h"

namespace quorvale {

class FolderProgramHost : public ProgramHost {
 public:
  explicit FolderProgramHost(std::filesystem::path machine);

  std::filesystem::path MachineFolder() const override { return machine_; }
  std::optional<std::filesystem::path> HostPathOf(const std::string& windows_path) const override;
  std::optional<std::string> WindowsPathOf(const std::filesystem::path& file) const override;
  std::string SystemFolder() const override { return "C:\\WINDOWS\\system32"; }
  std::string WindowsFolder() const override { return "C:\\WINDOWS"; }
  RegistryStore& Registry() override { return registry_; }
  bool IsHeld(const std::filesystem::path& file) const override;
  void AddAccessEntry(const AccessEntry& entry) override;
  bool RegisterService(const ServiceEntry& entry) override;
  void Record(const ProgramRecord& record) override;
  void Sleep(std::chrono::milliseconds duration) override;

  // The 8.3 form of an existing path ("C:\PROGRA~1\Quorvale"); parts that
  // do not exist stay as written.
  std::string ShortPathOf(const std::string& windows_path) const;

  void Hold(const std::filesystem::path& file);
  void Release(const std::filesystem::path& file);
  // Replaces the real pause (for a test clock).
  void SetSleep(std::function<void(std::chrono::milliseconds)> sleep);

  std::vector<AccessEntry> AccessEntries() const;
  std::vector<ServiceEntry> Services() const;
  std::vector<ProgramRecord> Records() const;

 private:
  std::filesystem::path machine_;
  RegistryStore registry_;
  mutable std::mutex mutex_;
  std::set<std::filesystem::path> held_;
  std::vector<AccessEntry> access_;
  std::vector<ServiceEntry> services_;
  std::vector<ProgramRecord> records_;
  std::function<void(std::chrono::milliseconds)> sleep_;
};

// The 8.3 alias of a long name among the names of its folder: the name
// itself when it already fits 8.3, else up to six letters of its
// base, "~", a number, and up to three letters of its extension.
std::string ShortNameOf(const std::string& name, const std::vector<std::string>& siblings);

}  // namespace quorvale
