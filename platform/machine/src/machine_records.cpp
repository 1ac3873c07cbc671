// Open-file holds, access lists, services and the record of started programs.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <utility>

#include "quorvale/machine/machine.h"
#include "record_checks.h"

namespace quorvale {

namespace {

// Whether a process that has ended but is not yet reaped: it runs nothing.
bool Zombie(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  // pid (name) S ...: the state follows the last ")".
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

// A hold of a process that has ended holds nothing.
bool Alive(const std::string& pid_text) {
  long pid = 0;
  try {
    pid = std::stol(pid_text);
  } catch (const std::exception&) {
    return false;
  }
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) && !Zombie(pid);
}

}  // namespace

std::string CheckService(const Record& r) {
  if (r[0].empty()) return "has a service without a name";
  if (r[1] != "running" && r[1] != "stopped")
    return "has a service state other than running or stopped: " + r[1];
  if (r[2] != "auto" && r[2] != "demand" && r[2] != "disabled")
    return "has a start type other than auto, demand or disabled: " + r[2];
  return "";
}

ServiceRecord ServiceOf(const Record& r) { return {r[0], r[3], r[4], r[2], r[1]}; }

std::vector<ServiceRecord> ParseServices(const std::string& text, const std::filesystem::path& file) {
  std::vector<ServiceRecord> out;
  for (const auto& r : ParseRecordText(text, file, 5, CheckService)) out.push_back(ServiceOf(r));
  return out;
}

FileHold::FileHold(const Machine* machine, std::string holder, std::string path, long pid)
    : machine_(machine), holder_(std::move(holder)), path_(std::move(path)), pid_(pid) {}

FileHold::FileHold(FileHold&& other) noexcept
    : machine_(std::exchange(other.machine_, nullptr)),
      holder_(std::move(other.holder_)),
      path_(std::move(other.path_)),
      pid_(other.pid_) {}

FileHold& FileHold::operator=(FileHold&& other) noexcept {
  if (this != &other) {
    Release();
    machine_ = std::exchange(other.machine_, nullptr);
    holder_ = std::move(other.holder_);
    path_ = std::move(other.path_);
    pid_ = other.pid_;
  }
  return *this;
}

FileHold::~FileHold() {
  try {
    Release();
  } catch (const std::exception&) {
    // A hold that cannot be written away ends with its process.
  }
}

void FileHold::Release() {
  if (machine_) std::exchange(machine_, nullptr)->ReleaseHold(holder_, path_, pid_);
}

FileHold Machine::Hold(const std::string& long_path, const std::string& holder, long pid) const {
  if (pid <= 0) pid = ::getpid();
  holds_.Update([&](std::vector<Record>& records) {
    records.push_back({std::to_string(pid), holder, long_path});
    return true;
  });
  return FileHold(this, holder, long_path, pid);
}

void Machine::ReleaseHold(const std::string& holder, const std::string& path, long pid) const {
  const std::string pid_text = std::to_string(pid);
  holds_.Update([&](std::vector<Record>& records) {
    auto it = std::find_if(records.begin(), records.end(), [&](const Record& r) {
      return r[0] == pid_text && r[1] == holder && r[2] == path;
    });
    if (it != records.end()) records.erase(it);
    std::erase_if(records, [](const Record& r) { return !Alive(r[0]); });
    return true;
  });
}

bool Machine::IsHeld(const std::string& long_path) const {
  for (const auto& r : holds_.Load())
    if (NamesEqual(r[2], long_path) && Alive(r[0])) return true;
  return false;
}

std::vector<HoldRecord> Machine::Holds() const {
  std::vector<HoldRecord> out;
  for (const auto& r : holds_.Load())
    if (Alive(r[0])) out.push_back({std::stol(r[0]), r[1], r[2]});
  return out;
}

void Machine::Grant(const std::string& path, const std::string& principal, const std::string& right) const {
  access_.Update([&](std::vector<Record>& records) {
    for (auto& r : records)
      if (NamesEqual(r[0], path) && NamesEqual(r[1], principal)) {
        r[2] = right;
        return true;
      }
    records.push_back({path, principal, right});
    return true;
  });
}

void Machine::ClearAccess(const std::string& path) const {
  access_.Update([&](std::vector<Record>& records) {
    return std::erase_if(records, [&](const Record& r) { return NamesEqual(r[0], path); }) > 0;
  });
}

std::vector<AccessEntry> Machine::AccessList() const {
  std::vector<AccessEntry> out;
  for (const auto& r : access_.Load()) out.push_back({r[0], r[1], r[2]});
  return out;
}

void Machine::SetService(const ServiceRecord& s) const {
  Record record{s.name, s.state, s.start_type, s.display_name, s.binary_path};
  services_.Update([&](std::vector<Record>& records) {
    for (auto& r : records)
      if (NamesEqual(r[0], s.name)) {
        r = record;
        return true;
      }
    records.push_back(record);
    return true;
  });
}

bool Machine::AddService(const ServiceRecord& s) const {
  return services_.Update([&](std::vector<Record>& records) {
    if (std::any_of(records.begin(), records.end(),
                    [&](const Record& r) { return NamesEqual(r[0], s.name); }))
      return false;
    records.push_back({s.name, s.state, s.start_type, s.display_name, s.binary_path});
    return true;
  });
}

bool Machine::RemoveService(const std::string& name) const {
  return services_.Update([&](std::vector<Record>& records) {
    return std::erase_if(records, [&](const Record& r) { return NamesEqual(r[0], name); }) > 0;
  });
}

std::vector<ServiceRecord> Machine::Services() const {
  std::vector<ServiceRecord> out;
  for (const auto& r : services_.Load()) out.push_back(ServiceOf(r));
  return out;
}

std::optional<ServiceRecord> Machine::FindService(const std::string& name) const {
  for (auto& s : Services())
    if (NamesEqual(s.name, name)) return s;
  return std::nullopt;
}

void Machine::RecordStart(const StartedProgram& start) const {
  started_.Update([&](std::vector<Record>& records) {
    records.push_back(
        {std::to_string(start.show), start.launched ? "started" : "not found", start.command_line});
    return true;
  });
}

std::vector<StartedProgram> Machine::StartedPrograms() const {
  std::vector<StartedProgram> out;
  for (const auto& r : started_.Load()) out.push_back({r[2], std::stoi(r[0]), r[1] == "started"});
  return out;
}

void Machine::RecordEvent(const ProgramEvent& event) const {
  events_.Update([&](std::vector<Record>& records) {
    records.push_back({event.program, event.what, event.path, event.detail});
    return true;
  });
}

std::vector<ProgramEvent> Machine::ProgramEvents() const {
  std::vector<ProgramEvent> out;
  for (const auto& r : events_.Load()) out.push_back({r[0], r[1], r[2], r[3]});
  return out;
}

}  // namespace quorvale
