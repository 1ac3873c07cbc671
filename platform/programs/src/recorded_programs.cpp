// Programs from outside the system whose work the machine only records:
// the .NET assembly registrar, the agent's service program and Notepad.
#include <filesystem>

#include "programs.h"
#include "quorvale/programs/launch.h"
#include "windows_paths.h"

namespace quorvale::programs {

namespace {

bool IsSwitch(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

bool Exists(const ProgramHost& host, const std::string& path) {
  auto file = host.HostPathOf(path);
  std::error_code ec;
  return file && std::filesystem::is_regular_file(*file, ec);
}

std::string CurrentFolderOf(const ProgramRun& run) { return FolderOf(run.program); }

}  // namespace

// The agent's service, as its service program installs it.
constexpr const char* kAgentServiceName = "Quorvale";
constexpr const char* kAgentServiceDisplayName = "Quorvale";

void RunRegAsm(const ProgramRun& run) {
  constexpr const char* kProgram = "RegAsm.exe";
  bool unregister = false;
  bool codebase = false;
  std::string target;
  for (const auto& arg : SplitArguments(run.arguments)) {
    if (IsSwitch(arg)) {
      std::string name = LowerCase(arg.substr(1));
      if (name == "u" || name == "unregister") unregister = true;
      if (name == "codebase") codebase = true;
    } else if (target.empty()) {
      target = arg;
    }
  }
  if (target.empty()) {
    run.host.Record({kProgram, "failed", "", "no assembly named"});
    return;
  }
  const std::string path = run.host.LongPathOf(JoinWindowsPath(CurrentFolderOf(run), target));
  if (!Exists(run.host, path)) {
    run.host.Record({kProgram, "failed", path, "file not found"});
    return;
  }
  run.host.Record({kProgram, unregister ? "unregistered" : "registered", path, codebase ? "/CodeBase" : ""});
}

void RunServiceProgram(const ProgramRun& run) {
  constexpr const char* kProgram = "Service.exe";
  auto args = SplitArguments(run.arguments);
  if (args.size() != 1 || !NamesEqual(args[0], "-install")) {
    run.host.Record({kProgram, "skipped", run.program, run.arguments});
    return;
  }
  ServiceRecord service{kAgentServiceName, kAgentServiceDisplayName, run.program, "auto", "stopped"};
  if (run.host.RegisterService(service))
    run.host.Record({kProgram, "installed", run.program, kAgentServiceName});
  else
    run.host.Record({kProgram, "failed", run.program, "service exists"});
}

void RunNotepad(const ProgramRun& run) {
  std::string target = run.arguments;
  if (target.size() >= 2 && target.front() == '"' && target.back() == '"')
    target = target.substr(1, target.size() - 2);
  if (target.empty()) {
    run.host.Record({"notepad.exe", "opened", "", ""});
    return;
  }
  const std::string path = run.host.LongPathOf(JoinWindowsPath(CurrentFolderOf(run), target));
  run.host.Record({"notepad.exe", "opened", path, Exists(run.host, path) ? "" : "file not found"});
}

}  // namespace quorvale::programs
