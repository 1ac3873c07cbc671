// Programs of ours copied onto the machine (ELF executables under their
// Windows names) run as processes of their own on the same machine: the
// machine folder in QUORVALE_MACHINE, the program's folder as the current
// folder, the command line's arguments split as Windows programs split them.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

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

}  // namespace

bool StartNativeProgram(const ProgramRun& run) {
  auto file = run.host.HostPathOf(run.program);
  if (!file) return false;
  // Windows runs any program file; here the file needs its execute bits.
  std::error_code ec;
  fs::permissions(*file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  std::vector<std::string> argv_text{file->string()};
  for (auto& a : SplitArguments(run.arguments)) argv_text.push_back(a);
  auto env_text = EnvironmentFor(run.host.MachineFolder(), run.arguments);
  auto argv = Pointers(argv_text);
  auto envp = Pointers(env_text);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, file->parent_path().c_str());
  pid_t pid = 0;
  int failed = ::posix_spawn(&pid, file->c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    run.host.Record({FileNameOf(run.program), "failed", run.program, std::strerror(failed)});
    return false;
  }
  run.host.Record({FileNameOf(run.program), "started", run.program, run.arguments});
  // A running program's file cannot be deleted, as on Windows.
  auto hold = std::make_shared<FileHold>(run.host.Hold(*file, FileNameOf(run.program)));
  RunDetached([pid, hold] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    hold->Release();
  });
  return true;
}

}  // namespace quorvale::programs
