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

struct ServerCall {
  bool loaded = false;                 // a library of ours that loaded
  std::optional<std::int32_t> result;  // the entry point's, when it has one
  std::string error;                   // why it did not load
};

// Calls the entry point of a library of ours.
ServerCall CallServer(ProgramHost& host, const std::filesystem::path& file, const char* entry) {
  ServerCall call;
  FileHold hold = host.Hold(file, kProgram);  // a loaded library cannot be deleted
  MachineEnvironment environment(host.MachineFolder());
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = ::dlerror();
    call.error = error ? error : "cannot load";
    return call;
  }
  call.loaded = true;
  if (auto function = reinterpret_cast<EntryPoint>(::dlsym(handle, entry))) call.result = function();
  ::dlclose(handle);
  return call;
}

}  // namespace

void RunRegsvr32(const ProgramRun& run) {
  bool unregister = false;
  std::string target;
  for (const auto& arg : SplitArguments(run.arguments)) {
    if (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) {
      if (NamesEqual(arg.substr(1), "u")) unregister = true;
      continue;  // /s: no message box; hidden anyway
    }
    if (target.empty()) target = arg;
  }
  if (target.empty()) {
    run.host.Record({kProgram, "failed", "", "no file named"});
    return;
  }
  const std::string path = run.host.LongPathOf(JoinWindowsPath(run.host.SystemFolder(), target));
  auto file = run.host.HostPathOf(path);
  std::error_code ec;
  if (!file || !std::filesystem::is_regular_file(*file, ec)) {
    run.host.Record({kProgram, "failed", path, "file not found"});
    return;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const std::string done = unregister ? "unregistered" : "registered";
  const ElfKind kind = ElfKindOf(*file);
  if (kind == ElfKind::kDamaged) {
    run.host.Record({kProgram, "failed", path, "damaged library"});
    return;
  }
  if (kind == ElfKind::kLibrary) {
    ServerCall call = CallServer(run.host, *file, entry);
    if (!call.loaded) {
      run.host.Record({kProgram, "failed", path, call.error});
      return;
    }
    if (call.result) {
      const std::string action = *call.result >= 0 ? done : "failed";
      run.host.Record({kProgram, action, path, std::string(entry) + " " + Hex(*call.result)});
      return;
    }
  }
  run.host.Record({kProgram, done, path, "stand-in"});
}

}  // namespace quorvale::programs
