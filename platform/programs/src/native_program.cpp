// Programs of ours copied onto the machine (ELF executables under their
// Windows names) run as processes of their own on the same machine: the
// machine folder in QUORVALE_MACHINE, the program's folder as the current
// folder, the command line's arguments split as Windows programs split them.
// A batch file runs in a process of its own too (quorvale-cmd), which
// outlives the program that started it, as cmd.exe does.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "elf_file.h"
#include "programs.h"
#include "quorvale/programs/launch.h"
#include "windows_paths.h"

extern char** environ;

namespace quorvale::programs {

namespace fs = std::filesystem;

bool IsNativeProgram(const std::string& host_file) { return ElfKindOf(host_file) == ElfKind::kProgram; }

namespace {

// The caller's environment with the machine, and the arguments as the
// command line held them (blanks included), as a Windows program reads its
// own command line.
std::vector<std::string> EnvironmentFor(const fs::path& machine, const std::string& arguments) {
  std::lock_guard lock(EnvironmentMutex());
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "QUORVALE_MACHINE=", 17) != 0 && std::strncmp(*e, "QUORVALE_COMMAND_LINE=", 22) != 0)
      env.emplace_back(*e);
  env.push_back("QUORVALE_MACHINE=" + machine.string());
  env.push_back("QUORVALE_COMMAND_LINE=" + arguments);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (auto& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

// Starts file with the arguments (after its own name), the run's machine
// and command line in the environment, stdin from /dev/null, in folder, in
// a session of its own when asked; nothing when it cannot be started, the
// failure recorded under the name.
std::optional<pid_t> Spawn(const ProgramRun& run, const std::string& name, const fs::path& file,
                           const std::vector<std::string>& arguments, const fs::path& folder,
                           bool own_session) {
  std::vector<std::string> argv_text{file.string()};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  auto env_text = EnvironmentFor(run.host.MachineFolder(), run.arguments);
  auto argv = Pointers(argv_text);
  auto envp = Pointers(env_text);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (own_session) posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  int failed = ::posix_spawn(&pid, file.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    run.host.Record({name, "failed", run.program, std::strerror(failed)});
    return std::nullopt;
  }
  return pid;
}

// The process is reaped when it ends, and then release runs. A caller of
// this process waits for it with WaitForPrograms; if the caller ends first,
// the process goes on alone.
void ReapWhenEnded(pid_t pid, std::function<void()> release) {
  RunDetached(
      [pid, release = std::move(release)] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (release) release();
      },
      false);
}

}  // namespace

bool StartNativeProgram(const ProgramRun& run) {
  auto file = run.host.HostPathOf(run.program);
  if (!file) return false;
  // Windows runs any program file; here the file needs its execute bits.
  std::error_code ec;
  fs::permissions(*file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  const std::string name = FileNameOf(run.program);
  const auto pid = Spawn(run, name, *file, SplitArguments(run.arguments), file->parent_path(), false);
  if (!pid) return false;
  run.host.Record({name, "started", run.program, run.arguments});
  // A running program's file cannot be deleted, as on Windows; the hold is
  // the program's own, so it ends with the program, whatever becomes of
  // the process that started it.
  auto hold = std::make_shared<FileHold>(run.host.Hold(*file, name, *pid));
  ReapWhenEnded(*pid, [hold] { hold->Release(); });
  return true;
}

bool StartBatchProcess(const ProgramRun& run) {
  const fs::path runner = QUORVALE_BATCH_RUNNER;
  const auto pid = Spawn(run, "cmd.exe", runner, {run.program}, runner.parent_path(), true);
  if (!pid) return false;
  ReapWhenEnded(*pid, nullptr);
  return true;
}

}  // namespace quorvale::programs
