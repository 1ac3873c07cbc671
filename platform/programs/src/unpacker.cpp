// The console unpacker Rar.exe: extracts a RAR archive through libarchive.
//   Rar.exe x|e [-switches] archive [destination[\]]
// Members are written in archive order, folders made as they are needed,
// each file written under a temporary name and renamed, so that it appears
// whole. Member names come as code page 936 (or in RAR's Unicode form).
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <atomic>
#include <fstream>

#include "programs.h"
#include "quorvale/core/codepage.h"
#include "quorvale/programs/launch.h"
#include "rar_headers.h"
#include "windows_paths.h"

namespace quorvale::programs {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "Rar.exe";

struct Options {
  bool keep_paths = true;   // x; e drops the folders
  bool overwrite = true;    // -o+ or -y; -o- keeps existing files
  std::string archive;      // Windows path
  std::string destination;  // Windows path of a folder
};

// Library calls with the names in UTF-8: this thread's locale for the time
// of the extraction, leaving the process's locale alone.
class Utf8Locale {
 public:
  Utf8Locale() : locale_(::newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
    if (locale_) previous_ = ::uselocale(locale_);
  }
  ~Utf8Locale() {
    if (!locale_) return;
    ::uselocale(previous_);
    ::freelocale(locale_);
  }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  locale_t locale_;
  locale_t previous_ = LC_GLOBAL_LOCALE;
};

struct Reader {
  archive* a = ::archive_read_new();
  ~Reader() { ::archive_read_free(a); }
};

// What Windows reads a name as: trailing blanks and dots go, so ".. " and
// "..." are ".." and a name of blanks and dots is none.
bool WindowsReadsAsNoName(const std::string& part) {
  return part.find_first_not_of(". ") == std::string::npos;
}

// The parts of a member name, or nothing for a name it will not write:
// absolute, with a drive, with a part Windows reads as ".." (or as no name),
// or with a character no Windows name holds.
std::optional<std::vector<std::string>> SafeParts(const std::string& name) {
  std::vector<std::string> parts;
  if (name.empty() || name[0] == '/' || name[0] == '\\') return std::nullopt;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (WindowsReadsAsNoName(part) || part.find_first_of("<>:\"|?*") != std::string::npos)
      return std::nullopt;
    for (char c : part)
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    parts.push_back(part);
  }
  if (parts.empty()) return std::nullopt;
  return parts;
}

// True when a host link lies on the way from the drive's root to target, or
// is target itself: nothing is written through one.
bool ThroughLink(const fs::path& root, const fs::path& target) {
  fs::path at = root;
  for (const auto& part : target.lexically_relative(root)) {
    at /= part;
    std::error_code ec;
    const auto status = fs::symlink_status(at, ec);
    if (ec || !fs::exists(status)) return false;  // nothing below it exists yet
    if (fs::is_symlink(status)) return true;
  }
  return false;
}

// The pause before each member (SetUnpackerPause); 0: none.
std::atomic<std::int64_t> pause_ms{0};

// Makes the folder and the missing ones above it, each as it is made
// taking the grants of the folder it is made in.
void MakeFolders(ProgramHost& host, const fs::path& folder) {
  std::error_code ec;
  if (folder.empty() || fs::exists(folder, ec)) return;
  MakeFolders(host, folder.parent_path());
  if (fs::create_directory(folder, ec)) host.InheritAccess(folder);
}

enum class Written { kWhole, kFailed, kChecksumFailed };

// Writes the member's data; expected is its checksum from the headers.
Written WriteMember(archive* a, const fs::path& target, std::optional<std::uint32_t> expected) {
  fs::path part = target;
  part += ".rar-part";
  std::error_code removed;
  fs::remove(part, removed);  // a link of that name is removed, never written through
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) return Written::kFailed;
    const void* block;
    size_t size;
    la_int64_t offset;
    la_int64_t written = 0;
    std::uint32_t crc = 0;
    int r;
    while ((r = ::archive_read_data_block(a, &block, &size, &offset)) == ARCHIVE_OK) {
      if (offset > written) out.seekp(offset);
      out.write(static_cast<const char*>(block), static_cast<std::streamsize>(size));
      crc = Crc32({static_cast<const char*>(block), size}, crc);
      written = offset + static_cast<la_int64_t>(size);
    }
    const bool checksum_failed = expected && *expected != crc;
    if (r != ARCHIVE_EOF || !out.flush() || checksum_failed) {
      out.close();
      std::error_code ec;
      fs::remove(part, ec);
      return checksum_failed ? Written::kChecksumFailed : Written::kFailed;
    }
  }
  std::error_code ec;
  fs::rename(part, target, ec);
  if (ec) fs::remove(part, ec);
  return ec ? Written::kFailed : Written::kWhole;
}

void Extract(const ProgramRun& run, const Options& options) {
  ProgramHost& host = run.host;
  const std::string archive_path = host.LongPathOf(options.archive);
  auto archive_file = host.HostPathOf(archive_path);
  auto destination = host.HostPathOf(options.destination);
  auto root = host.HostPathOf(options.destination.substr(0, 2) + "\\");
  if (!archive_file || !destination || !root) {
    host.Record({kProgram, "failed", archive_path, "not a drive path"});
    return;
  }
  Utf8Locale locale;
  Reader reader;
  ::archive_read_support_format_rar(reader.a);
  ::archive_read_set_options(reader.a, "rar:hdrcharset=CP936");
  if (::archive_read_open_filename(reader.a, archive_file->c_str(), 1 << 16) != ARCHIVE_OK) {
    host.Record({kProgram, "failed", archive_path, "cannot open the archive"});
    return;
  }
  FileHold hold = host.Hold(*archive_file, kProgram);  // open while it is read
  std::error_code ec;
  if (ThroughLink(*root, *destination)) {
    host.Record({kProgram, "refused", host.LongPathOf(options.destination), "a link"});
    return;
  }
  MakeFolders(host, *destination);
  // The member headers, in the order of the entries.
  const auto headers = MemberHeaders(*archive_file);
  archive_entry* entry = nullptr;
  int r;
  for (std::size_t index = 0;
       (r = ::archive_read_next_header(reader.a, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN; ++index) {
    const char* utf8 = ::archive_entry_pathname_utf8(entry);
    const char* raw = ::archive_entry_pathname(entry);
    std::string name = utf8 ? utf8 : raw ? Cp936ToUtf8(raw) : "";
    auto parts = SafeParts(name);
    if (!parts || (headers && index < headers->size() && (*headers)[index].absolute)) {
      host.Record({kProgram, "refused", archive_path, name});
      continue;
    }
    if (const auto pause = pause_ms.load()) host.Sleep(std::chrono::milliseconds(pause));
    const bool folder = ::archive_entry_filetype(entry) == AE_IFDIR;
    if (!options.keep_paths) {
      if (folder) continue;
      parts = std::vector<std::string>{parts->back()};
    }
    std::string windows = options.destination;
    for (const auto& p : *parts) windows = JoinWindowsPath(windows, p);
    auto target = host.HostPathOf(windows);
    if (!target || ThroughLink(*root, *target)) {
      host.Record({kProgram, "refused", archive_path, name});
      continue;
    }
    if (folder) {
      MakeFolders(host, *target);
      continue;
    }
    MakeFolders(host, target->parent_path());
    const bool existed = fs::exists(*target, ec);
    if (existed && (!options.overwrite || host.IsHeld(*target))) {
      host.Record({kProgram, "skipped", host.LongPathOf(windows), options.overwrite ? "held" : "exists"});
      continue;
    }
    std::optional<std::uint32_t> expected;
    if (headers && index < headers->size()) expected = (*headers)[index].crc;
    Written written = WriteMember(reader.a, *target, expected);
    if (written == Written::kChecksumFailed) {
      host.Record({kProgram, "failed", host.LongPathOf(windows), "checksum error"});
    } else if (written == Written::kFailed) {
      host.Record({kProgram, "failed", host.LongPathOf(windows), "cannot write"});
      if (::archive_errno(reader.a) != 0) break;
    } else if (!existed) {
      host.InheritAccess(*target);
    }
  }
  if (r != ARCHIVE_EOF) {
    host.Record({kProgram, "failed", archive_path, "damaged archive"});
    return;
  }
  host.Record({kProgram, "extracted", archive_path, host.LongPathOf(options.destination)});
}

}  // namespace

void RunUnpacker(const ProgramRun& run) {
  auto args = SplitArguments(run.arguments);
  Options options;
  std::vector<std::string> words;
  for (const auto& arg : args) {
    if (!arg.empty() && arg[0] == '-' && !words.empty()) {
      std::string s = LowerCase(arg);
      if (s == "-o-") options.overwrite = false;
      if (s == "-o+") options.overwrite = true;
      continue;  // -r, -y and others change nothing here
    }
    words.push_back(arg);
  }
  if (words.size() < 2 || (LowerCase(words[0]) != "x" && LowerCase(words[0]) != "e")) {
    run.host.Record({kProgram, "failed", "", "unsupported command " + run.arguments});
    return;
  }
  options.keep_paths = LowerCase(words[0]) == "x";
  const std::string current = FolderOf(run.program);
  options.archive = JoinWindowsPath(current, words[1]);
  // The destination is the last word after the archive, with or without its
  // trailing backslash; file masks between them are not supported.
  options.destination = words.size() > 2 ? JoinWindowsPath(current, words.back()) : current;
  while (options.destination.size() > 3 &&
         (options.destination.back() == '\\' || options.destination.back() == '/'))
    options.destination.pop_back();
  Extract(run, options);
}

}  // namespace quorvale::programs

void quorvale::SetUnpackerPause(std::chrono::milliseconds pause) { programs::pause_ms = pause.count(); }
