#include "quorvale/programs/machine_program_host.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <mutex>

#include "quorvale/machine/clock.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

MachineProgramHost::MachineProgramHost(std::shared_ptr<Machine> machine) : machine_(std::move(machine)) {}

std::optional<fs::path> MachineProgramHost::HostPathOf(const std::string& windows_path) const {
  ResolvedPath r = machine_->Resolve(windows_path);
  if (r.error) return std::nullopt;
  return r.host;
}

std::optional<std::string> MachineProgramHost::WindowsPathOf(const fs::path& file) const {
  return quorvale::WindowsPathOf(machine_->Folder(), file);
}

std::string MachineProgramHost::LongPathOf(const std::string& windows_path) const {
  ResolvedPath r = machine_->Resolve(windows_path);
  return r.error ? windows_path : r.long_path;
}

std::string MachineProgramHost::SystemFolder() const {
  return WithoutTrailingSeparator(machine_->Info().system_directory);
}

std::string MachineProgramHost::WindowsFolder() const {
  return WithoutTrailingSeparator(machine_->Info().windows_directory);
}

bool MachineProgramHost::IsHeld(const fs::path& file) const {
  auto path = WindowsPathOf(file);
  return path && machine_->IsHeld(*path);
}

FileHold MachineProgramHost::Hold(const fs::path& file, const std::string& holder, long pid) const {
  auto path = WindowsPathOf(file);
  if (!path) return FileHold();
  return machine_->Hold(*path, holder, pid);
}

void MachineProgramHost::AddAccessEntry(const AccessGrant& grant) {
  auto apply = [&](const std::string& path) {
    if (grant.replace) machine_->ClearAccess(path);
    machine_->Grant(path, grant.principal, grant.right);
  };
  apply(grant.path);
  if (!grant.recursive) return;
  // Cacls /t changes the list of every file and folder below as well: each
  // folder's own list first, then what it holds.
  std::function<void(const fs::path&)> below = [&](const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const auto path = WindowsPathOf(it->path());
      if (!path) continue;
      apply(*path);
      std::error_code kind;
      if (it->is_directory(kind) && !it->is_symlink(kind)) below(it->path());
    }
  };
  if (auto folder = HostPathOf(grant.path)) below(*folder);
}

void MachineProgramHost::InheritAccess(const fs::path& made) {
  const auto path = WindowsPathOf(made);
  const auto folder = path ? WindowsPathOf(made.parent_path()) : std::nullopt;
  if (!folder) return;
  for (const auto& entry : machine_->AccessList())
    if (NamesEqual(entry.path, *folder)) machine_->Grant(*path, entry.principal, entry.right);
}

bool MachineProgramHost::RegisterService(const ServiceRecord& service) {
  return machine_->AddService(service);
}

void MachineProgramHost::Record(const ProgramEvent& event) { machine_->RecordEvent(event); }

void MachineProgramHost::Sleep(std::chrono::milliseconds duration) {
  constexpr auto kMost =
      static_cast<std::chrono::milliseconds::rep>(std::numeric_limits<std::uint32_t>::max());
  ClockSleep(
      static_cast<std::uint32_t>(std::clamp<std::chrono::milliseconds::rep>(duration.count(), 0, kMost)));
}

MachineProgramHost& CurrentProgramHost() {
  static std::mutex mutex;
  static std::map<fs::path, std::unique_ptr<MachineProgramHost>> hosts;
  std::shared_ptr<Machine> machine = CurrentMachine();
  std::lock_guard lock(mutex);
  auto& host = hosts[machine->Folder()];
  if (!host) host = std::make_unique<MachineProgramHost>(std::move(machine));
  return *host;
}

}  // namespace quorvale
