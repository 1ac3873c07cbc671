#include "quorvale/programs/folder_program_host.h"

#include <algorithm>
#include <cctype>
#include <thread>

#include "quorvale/machine/machine_folder.h"
#include "windows_paths.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> NamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  return names;
}

// The entry of folder that part names, by long name or alias.
std::optional<std::string> Match(const fs::path& folder, const std::string& part) {
  auto names = NamesIn(folder);
  for (const auto& n : names)
    if (programs::SameText(n, part)) return n;
  for (const auto& n : names)
    if (programs::SameText(ShortNameOf(n, names), part)) return n;
  return std::nullopt;
}

struct Walk {
  fs::path file;
  std::string short_path;
};

// Follows a drive path part by part; nothing for a path that is no drive path.
std::optional<Walk> WalkPath(const fs::path& machine, const std::string& windows_path) {
  if (windows_path.size() < 2 || windows_path[1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(windows_path[0])))
    return std::nullopt;
  char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(windows_path[0])));
  std::vector<std::pair<std::string, std::string>> parts;  // long, short
  std::string rest = windows_path.substr(2);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find_first_of("\\/", start);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    fs::path folder = machine / "drives" / std::string(1, drive);
    for (const auto& p : parts) folder /= p.first;
    auto found = Match(folder, part);
    if (found)
      parts.emplace_back(*found, ShortNameOf(*found, NamesIn(folder)));
    else
      parts.emplace_back(part, part);
  }
  Walk walk{machine / "drives" / std::string(1, drive), std::string(1, drive) + ":"};
  for (const auto& p : parts) {
    walk.file /= p.first;
    walk.short_path += "\\" + p.second;
  }
  if (parts.empty()) walk.short_path += "\\";
  return walk;
}

}  // namespace

FolderProgramHost::FolderProgramHost(fs::path machine)
    : machine_(std::move(machine)), registry_(RegistryFileOf(machine_)) {}

std::optional<fs::path> FolderProgramHost::HostPathOf(const std::string& windows_path) const {
  auto walk = WalkPath(machine_, windows_path);
  if (!walk) return std::nullopt;
  return walk->file;
}

std::optional<std::string> FolderProgramHost::WindowsPathOf(const fs::path& file) const {
  return quorvale::WindowsPathOf(machine_, file);
}

std::string FolderProgramHost::ShortPathOf(const std::string& windows_path) const {
  auto walk = WalkPath(machine_, windows_path);
  return walk ? walk->short_path : windows_path;
}

bool FolderProgramHost::IsHeld(const fs::path& file) const {
  std::lock_guard lock(mutex_);
  return held_.count(fs::weakly_canonical(file)) > 0;
}

void FolderProgramHost::Hold(const fs::path& file) {
  std::lock_guard lock(mutex_);
  held_.insert(fs::weakly_canonical(file));
}

void FolderProgramHost::Release(const fs::path& file) {
  std::lock_guard lock(mutex_);
  held_.erase(fs::weakly_canonical(file));
}

void FolderProgramHost::AddAccessEntry(const AccessEntry& entry) {
  std::lock_guard lock(mutex_);
  access_.push_back(entry);
}

bool FolderProgramHost::RegisterService(const ServiceEntry& entry) {
  std::lock_guard lock(mutex_);
  auto same = [&](const ServiceEntry& s) { return programs::SameText(s.name, entry.name); };
  if (std::any_of(services_.begin(), services_.end(), same)) return false;
  services_.push_back(entry);
  return true;
}

void FolderProgramHost::Record(const ProgramRecord& record) {
  std::lock_guard lock(mutex_);
  records_.push_back(record);
}

void FolderProgramHost::Sleep(std::chrono::milliseconds duration) {
  std::function<void(std::chrono::milliseconds)> sleep;
  {
    std::lock_guard lock(mutex_);
    sleep = sleep_;
  }
  if (sleep)
    sleep(duration);
  else
    std::this_thread::sleep_for(duration);
}

void FolderProgramHost::SetSleep(std::function<void(std::chrono::milliseconds)> sleep) {
  std::lock_guard lock(mutex_);
  sleep_ = std::move(sleep);
}

std::vector<AccessEntry> FolderProgramHost::AccessEntries() const {
  std::lock_guard lock(mutex_);
  return access_;
}

std::vector<ServiceEntry> FolderProgramHost::Services() const {
  std::lock_guard lock(mutex_);
  return services_;
}

std::vector<ProgramRecord> FolderProgramHost::Records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

}  // namespace quorvale
