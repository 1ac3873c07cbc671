#include "quorvale/programs/launch.h"

#include <array>

#include "programs.h"
#include "quorvale/machine/clock.h"
#include "windows_paths.h"

namespace quorvale {

namespace fs = std::filesystem;
using namespace programs;

namespace {

// Windows' own tools, present in every system folder.
constexpr std::array<const char*, 3> kSystemTools = {"regsvr32.exe", "cacls.exe", "notepad.exe"};

bool IsSystemTool(const std::string& file_name) {
  for (const char* tool : kSystemTools)
    if (LowerCase(file_name) == tool) return true;
  return false;
}

bool IsFile(const ProgramHost& host, const std::string& windows_path) {
  auto file = host.HostPathOf(windows_path);
  std::error_code ec;
  return file && fs::is_regular_file(*file, ec);
}

// The long path of the program that name (one candidate first word) names.
std::optional<std::string> FindProgram(const ProgramHost& host, std::string name) {
  if (name.empty()) return std::nullopt;
  if (ExtensionOf(name).empty()) name += ".exe";
  const bool bare = name.find_first_of("\\/:") == std::string::npos;
  if (!bare) {
    if (!IsDrivePath(name)) return std::nullopt;
    if (IsFile(host, name)) return host.LongPathOf(name);
    if (IsSystemTool(FileNameOf(name)) && NamesEqual(host.LongPathOf(FolderOf(name)), host.SystemFolder()))
      return host.SystemFolder() + "\\" + FileNameOf(name);
    return std::nullopt;
  }
  for (const auto& folder : {host.SystemFolder(), host.WindowsFolder()}) {
    std::string path = folder + "\\" + name;
    if (IsFile(host, path)) return host.LongPathOf(path);
  }
  if (IsSystemTool(name)) return host.SystemFolder() + "\\" + name;
  return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

}  // namespace

std::optional<ResolvedCommand> ResolveCommand(const ProgramHost& host, const std::string& command_line) {
  const std::string line = TrimLeft(command_line);
  if (line.empty()) return std::nullopt;
  if (line[0] == '"') {
    auto close = line.find('"', 1);
    std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    std::string rest = close == std::string::npos ? "" : line.substr(close + 1);
    auto program = FindProgram(host, name);
    if (!program) return std::nullopt;
    return ResolvedCommand{*program, TrimLeft(rest)};
  }
  // Unquoted: "C:\Program Files\a b\x.exe args" tries "C:\Program", then
  // "C:\Program Files\a", then "C:\Program Files\a b\x.exe", ...
  for (std::size_t end = 0; end <= line.size();) {
    end = line.find_first_of(" \t", end);
    if (end == std::string::npos) end = line.size();
    if (auto program = FindProgram(host, line.substr(0, end)))
      return ResolvedCommand{*program, TrimLeft(line.substr(end))};
    while (end < line.size() && IsBlank(line[end])) ++end;
    if (end == line.size()) break;
  }
  return std::nullopt;
}

std::vector<std::string> SplitArguments(const std::string& arguments) {
  std::vector<std::string> out;
  std::size_t i = 0;
  const std::size_t n = arguments.size();
  while (true) {
    while (i < n && IsBlank(arguments[i])) ++i;
    if (i >= n) break;
    std::string word;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(arguments[i]))) {
      if (arguments[i] == '\\') {
        std::size_t slashes = 0;
        while (i < n && arguments[i] == '\\') ++slashes, ++i;
        if (i < n && arguments[i] == '"') {
          word.append(slashes / 2, '\\');
          if (slashes % 2) {
            word += '"';
            ++i;
          }
        } else {
          word.append(slashes, '\\');
        }
        continue;
      }
      if (arguments[i] == '"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      word += arguments[i++];
    }
    out.push_back(word);
  }
  return out;
}

bool Launch(ProgramHost& host, const std::string& command_line, int show) {
  auto resolved = ResolveCommand(host, command_line);
  if (!resolved) return false;
  ProgramRun run{host, resolved->program, resolved->arguments, show};
  const std::string name = LowerCase(FileNameOf(run.program));
  const std::string ext = ExtensionOf(run.program);
  void (*body)(const ProgramRun&) = nullptr;
  if (name == "regsvr32.exe") body = RunRegsvr32;
  if (name == "regasm.exe") body = RunRegAsm;
  if (name == "cacls.exe") body = RunCacls;
  if (name == "notepad.exe") body = RunNotepad;
  if (name == "rar.exe") body = RunUnpacker;
  if (name == "service.exe") body = RunServiceProgram;
  if (ext == ".bat" || ext == ".cmd") {
    // On the machine's test clock, a clock of this process, the batch stays
    // in it; otherwise it runs in a process of its own, as on Windows.
    if (!OnTestClock()) return StartBatchProcess(run);
    body = RunBatch;
  }
  if (body) {
    RunDetached([run, body] { body(run); });
    return true;
  }
  auto file = host.HostPathOf(run.program);
  if (file && IsNativeProgram(*file)) return StartNativeProgram(run);
  host.Record({FileNameOf(run.program), "refused", run.program, "not a program this machine can run"});
  return false;
}

}  // namespace quorvale
