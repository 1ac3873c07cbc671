// The command interpreter for a batch file, with the commands the system's
// batch files use: @echo off, ping (as a pause), rd, del, cls, exit. Other
// commands are recorded and skipped. The batch runs in its own folder, so
// "del Delete.bat" removes the batch file itself; once the batch file is
// gone the interpreter stops, as cmd does.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "programs.h"
#include "quorvale/core/codepage.h"
#include "quorvale/programs/launch.h"
#include "windows_paths.h"

namespace quorvale::programs {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "cmd.exe";

struct Batch {
  ProgramHost& host;
  std::string file;    // long Windows path of the batch file
  std::string folder;  // its folder: the current folder of the commands
};

bool IsOption(const std::string& word) { return word.size() >= 2 && word[0] == '/'; }

// ping HOST -n N sends N echoes a second apart: a pause of N-1 seconds.
// ping refuses a count that is not a number from 1 to 4294967295 and then
// sends nothing.
void Ping(Batch& batch, const std::vector<std::string>& words) {
  std::uint64_t count = 4;
  for (std::size_t i = 1; i + 1 < words.size(); ++i)
    if (NamesEqual(words[i], "-n") || NamesEqual(words[i], "/n")) {
      const std::string& n = words[i + 1];
      const bool digits =
          !n.empty() && n.size() <= 10 && n.find_first_not_of("0123456789") == std::string::npos;
      count = digits ? std::stoull(n) : 0;
      if (count > 0xFFFFFFFFu) count = 0;
    }
  if (count > 1) batch.host.Sleep(std::chrono::seconds(count - 1));
}

// Removes a file or an empty folder; what the machine kept about it goes
// with it.
bool Remove(const ProgramHost& host, const fs::path& entry) {
  const auto path = host.WindowsPathOf(entry);
  std::error_code ec;
  if (!fs::remove(entry, ec)) return false;
  if (path) host.ForgetPath(*path);
  return true;
}

// Removes what it can under folder; a held file stays, and so do the
// folders above it. True when everything went.
bool RemoveTree(const ProgramHost& host, const fs::path& folder) {
  bool all = true;
  std::error_code ec;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(it->path());
  for (const auto& entry : entries) {
    if (fs::is_directory(fs::symlink_status(entry, ec))) {
      all = RemoveTree(host, entry) && all;
    } else if (host.IsHeld(entry) || !Remove(host, entry)) {
      all = false;
    }
  }
  return all && Remove(host, folder);
}

void RemoveFolder(Batch& batch, const std::vector<std::string>& words) {
  bool tree = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (NamesEqual(words[i], "/s")) tree = true;
    if (IsOption(words[i])) continue;
    const std::string path = batch.host.LongPathOf(JoinWindowsPath(batch.folder, words[i]));
    auto folder = batch.host.HostPathOf(path);
    std::error_code ec;
    if (!folder || !fs::is_directory(*folder, ec)) {
      batch.host.Record({kProgram, "failed", path, "rd: folder not found"});
      continue;
    }
    if (FolderOf(path).empty() || path.size() <= 3) {
      batch.host.Record({kProgram, "refused", path, "rd: a drive is not removed"});
      continue;
    }
    bool removed = tree ? RemoveTree(batch.host, *folder) : Remove(batch.host, *folder);
    batch.host.Record(
        {kProgram, removed ? "removed" : "failed", path, removed ? "" : "rd: not everything could go"});
  }
}

void DeleteFiles(Batch& batch, const std::vector<std::string>& words) {
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (IsOption(words[i])) continue;
    const std::string path = batch.host.LongPathOf(JoinWindowsPath(batch.folder, words[i]));
    auto file = batch.host.HostPathOf(path);
    std::error_code ec;
    if (!file || !fs::is_regular_file(*file, ec)) {
      batch.host.Record({kProgram, "failed", path, "del: file not found"});
    } else if (batch.host.IsHeld(*file) || !Remove(batch.host, *file)) {
      batch.host.Record({kProgram, "failed", path, "del: the file is in use"});
    } else {
      batch.host.Record({kProgram, "deleted", path, ""});
    }
  }
}

// Words of a command line; double quotes group and are dropped.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

bool BatchFileExists(const Batch& batch) {
  auto file = batch.host.HostPathOf(batch.file);
  std::error_code ec;
  return file && fs::is_regular_file(*file, ec);
}

}  // namespace

void RunBatch(const ProgramRun& run) {
  Batch batch{run.host, run.program, FolderOf(run.program)};
  auto file = run.host.HostPathOf(run.program);
  std::ifstream in(file.value_or(fs::path()), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  std::istringstream lines(Cp936ToUtf8(content.str()));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t start = line.find_first_not_of(" \t@");
    if (start == std::string::npos) continue;
    auto words = Words(line.substr(start));
    if (words.empty()) continue;
    const std::string command = LowerCase(words[0]);
    if (command == "exit") break;
    if (command == "echo" || command == "cls" || command == "rem" || command.rfind("::", 0) == 0) {
      // nothing to show: the batch runs hidden
    } else if (command == "ping") {
      Ping(batch, words);
    } else if (command == "rd" || command == "rmdir") {
      RemoveFolder(batch, words);
    } else if (command == "del" || command == "erase") {
      DeleteFiles(batch, words);
    } else {
      run.host.Record({kProgram, "skipped", batch.file, line});
    }
    if (!BatchFileExists(batch)) break;
  }
}

}  // namespace quorvale::programs
