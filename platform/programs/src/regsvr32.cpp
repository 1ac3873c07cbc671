// regsvr32: loads an in-process server of ours and calls its registration
// entry point. A component that is no library of ours (a stand-in for an
// outside control) is only recorded as registered or unregistered.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "elf_file.h"
#include "programs.h"
#include "quorvale/programs/launch.h"
#include "windows_paths.h"

namespace quorvale::programs {

namespace {

constexpr const char* kProgram = "regsvr32.exe";

using EntryPoint = std::int32_t (*)();

std::string Hex(std::int32_t result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
  return text;
}

// Sets QUORVALE_MACHINE to the host's machine while a loaded server runs,
// so that the server writes the same registry the host reads.
class MachineEnvironment {
 public:
  explicit MachineEnvironment(const std::filesystem::path& machine) : lock_(EnvironmentMutex()) {
    if (const char* old = std::getenv("QUORVALE_MACHINE")) previous_ = old;
    ::setenv("QUORVALE_MACHINE", machine.c_str(), 1);
  }
  ~MachineEnvironment() {
    if (previous_)
      ::setenv("QUORVALE_MACHINE", previous_->c_str(), 1);
    else
      ::unsetenv("QUORVALE_MACHINE");
  }
  MachineEnvironment(const MachineEnvironment&) = delete;
  MachineEnvironment& operator=(const MachineEnvironment&) = delete;

 private:
  std::lock_guard<std::mutex> lock_;
  std::optional<std::string> previous_;
};

// Calls the entry point of a library of ours; nothing when the file is no
// such library.
std::optional<std::int32_t> CallServer(ProgramHost& host, const std::filesystem::path& file,
                                       const char* entry) {
  if (ElfKindOf(file) != ElfKind::kLibrary) return std::nullopt;
  MachineEnvironment environment(host.MachineFolder());
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return std::nullopt;
  auto function = reinterpret_cast<EntryPoint>(::dlsym(handle, entry));
  std::optional<std::int32_t> result;
  if (function) result = function();
  ::dlclose(handle);
  return result;
}

}  // namespace

void RunRegsvr32(const ProgramRun& run) {
  bool unregister = false;
  std::string target;
  for (const auto& arg : SplitArguments(run.arguments)) {
    if (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) {
      if (SameText(arg.substr(1), "u")) unregister = true;
      continue;  // /s: no message box; hidden anyway
    }
    if (target.empty()) target = arg;
  }
  if (target.empty()) {
    run.host.Record({kProgram, "failed", "", "no file named"});
    return;
  }
  const std::string path = LongPathOf(run.host, JoinWindowsPath(run.host.SystemFolder(), target));
  auto file = run.host.HostPathOf(path);
  std::error_code ec;
  if (!file || !std::filesystem::is_regular_file(*file, ec)) {
    run.host.Record({kProgram, "failed", path, "file not found"});
    return;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const std::string done = unregister ? "unregistered" : "registered";
  if (auto result = CallServer(run.host, *file, entry)) {
    run.host.Record(
        {kProgram, *result >= 0 ? done : "failed", path, std::string(entry) + " " + Hex(*result)});
    return;
  }
  run.host.Record({kProgram, done, path, "stand-in"});
}

}  // namespace quorvale::programs
