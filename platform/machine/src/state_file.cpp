#include "quorvale/machine/state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "quorvale/core/bytes.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

// Control characters as %XX, and "%" too when it must be told from them.
std::string PercentEscaped(const std::string& text, bool percent) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7f || (percent && b == '%')) {
      out += '%';
      out += digits[b >> 4];
      out += digits[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// A message quotes what it found in a file, which may hold anything: its
// control characters go as %XX, so the message stays one line of text
// (and a NUL does not cut it short where it is shown).
std::string OneLine(const std::string& message) { return PercentEscaped(message, false); }

}  // namespace

MachineStateError::MachineStateError(const fs::path& file, const std::string& what)
    : std::runtime_error(OneLine("machine file " + file.string() + ": " + what)), file_(file) {}

MachineStateError::MachineStateError(PlainTag, const fs::path& file, const std::string& message)
    : std::runtime_error(OneLine(message)), file_(file) {}

MachineStateError MachineStateError::NoMachine(const fs::path& folder) {
  return Plain(folder / "machine.ini", folder.string() +
                                           " holds no machine; make one with: quorvale-machine --machine " +
                                           folder.string() + " create");
}

MachineStateError MachineStateError::Plain(const fs::path& file, const std::string& message) {
  return MachineStateError(PlainTag{}, file, message);
}

fs::path StateLock::FileOf(const fs::path& file) {
  return file.parent_path() / ".locks" / (file.filename().string() + ".lock");
}

fs::path StateLock::TempFile() const {
  fs::path tmp = file_;
  tmp += ".tmp";
  return tmp;
}

std::uint64_t StateLock::WriteCount() const {
  std::uint64_t count = 0;
  return ::pread(fd_, &count, sizeof count, 0) == sizeof count ? count : 0;
}

void StateLock::CountWrite() {
  const std::uint64_t count = WriteCount() + 1;
  if (::pwrite(fd_, &count, sizeof count, 0) != sizeof count)
    throw std::runtime_error("cannot count a write in a state lock file");
}

StateLock::StateLock(const fs::path& file, bool exclusive) : file_(file), exclusive_(exclusive) {
  const fs::path lock = FileOf(file);
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0 && errno == ENOENT) {
    std::error_code ec;
    fs::create_directories(lock.parent_path(), ec);
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  }
  if (fd_ < 0 && !exclusive && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENOENT)) {
    // A reader of a machine it may not write (a folder made read-only, or
    // another user's): a lock file opened for reading locks all the same.
    // Where there is none and none can be made, it reads without: a writer
    // replaces a file by a rename, so the reader still sees a whole file.
    fd_ = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) return;
  }
  if (fd_ < 0) throw MachineStateError(file, std::string("cannot open its lock: ") + std::strerror(errno));
  while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
  }
  // No writer is busy while the lock is held: a temporary file is a dead
  // writer's.
  ::unlink(TempFile().c_str());
  RemovePendingTemp();
}

namespace {

// Where a lock file keeps the temporary file of a write elsewhere: after the
// write count, the path and a NUL.
constexpr off_t kPendingAt = sizeof(std::uint64_t);

}  // namespace

void StateLock::KeepPendingTemp(const fs::path& tmp) const {
  const std::string text = tmp.string() + '\0';
  if (::pwrite(fd_, text.data(), text.size(), kPendingAt) != static_cast<ssize_t>(text.size()))
    throw MachineStateError(file_, "cannot keep the name of a temporary file in its lock");
}

void StateLock::RemovePendingTemp() const {
  char buf[PATH_MAX + 1];
  const ssize_t n = ::pread(fd_, buf, sizeof buf, kPendingAt);
  if (n <= 0 || buf[0] == '\0') return;
  if (std::memchr(buf, '\0', static_cast<std::size_t>(n))) ::unlink(buf);
  ForgetPendingTemp();
}

void StateLock::ForgetPendingTemp() const {
  if (::ftruncate(fd_, kPendingAt) != 0) {
    // A lock file this process may only read: the next writer removes it.
  }
}

StateLock::~StateLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> ReadStateFile(const fs::path& file) {
  std::error_code ec;
  const auto status = fs::status(file, ec);
  if (fs::exists(status) && !fs::is_regular_file(status))
    throw MachineStateError(file, "cannot be read: it is no file");
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return std::nullopt;
    throw MachineStateError(file, std::string("cannot be read: ") + std::strerror(errno));
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw MachineStateError(file, "cannot be read");
  return text.str();
}

std::optional<std::string> ReadMachineFile(const fs::path& file) {
  auto text = ReadStateFile(file);
  if (!text && fs::exists(file.parent_path() / "machine.ini")) throw MachineStateError(file, "missing");
  return text;
}

int StateLock::OpenTempFile(const fs::path& file, fs::path& tmp) const {
  tmp = TempFile();
  if (file == file_) return ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  // A file elsewhere: its temporary file beside it, named in the lock before
  // it is made, and never one that exists.
  for (int n = 0; n < 100; ++n) {
    tmp = file.parent_path() / ("~qv" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(tmp, ec))) continue;
    KeepPendingTemp(tmp);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void WriteStateFile(const fs::path& file, const std::string& bytes, const StateLock& lock) {
  if (!lock.Exclusive()) throw std::logic_error("a state file is written under its exclusive lock");
  const bool own = file == lock.file_;
  fs::path tmp;
  const int fd = lock.OpenTempFile(file, tmp);
  // The temporary file is gone (renamed or removed) when this leaves.
  auto fail = [&](const char* what, int e) {
    if (fd >= 0) ::unlink(tmp.c_str());
    if (!own) lock.ForgetPendingTemp();
    throw MachineStateError(file, std::string(what) + std::strerror(e));
  };
  if (fd < 0) fail("cannot be written: ", errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int e = errno;
      ::close(fd);
      fail("cannot be written: ", e);
    }
    done += static_cast<std::size_t>(n);
  }
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(tmp.c_str(), file.c_str()) != 0) fail("cannot be replaced: ", errno);
  if (!own) lock.ForgetPendingTemp();
}

std::vector<std::string> StateFileLines(const fs::path& file, const std::string& text,
                                        std::string_view end_line) {
  const std::string lf = std::string(end_line) + "\n", crlf = std::string(end_line) + "\r\n";
  auto ends_with = [&](const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  };
  std::size_t body = 0;
  if (ends_with(crlf))
    body = text.size() - crlf.size();
  else if (ends_with(lf))
    body = text.size() - lf.size();
  if ((body == 0 && !ends_with(lf)) || (body > 0 && text[body - 1] != '\n'))
    throw MachineStateError(file, text.empty() ? "it is empty"
                                               : "it does not end with its end line \"" +
                                                     std::string(end_line) + "\" (cut short or damaged)");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < body;) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<Record> ParseRecordText(const std::string& text, const fs::path& file, std::size_t fields,
                                    const RecordCheck& check) {
  std::vector<Record> records;
  std::size_t line_no = 0;
  for (const std::string& line : StateFileLines(file, text, kRecordsEnd)) {
    ++line_no;
    if (line.empty() || line[0] == '#') continue;
    auto at = [&](const std::string& why) {
      return MachineStateError(file, "line " + std::to_string(line_no) + " " + why);
    };
    const auto count = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
    if (count != fields)
      throw at("has " + std::to_string(count) + " fields instead of " + std::to_string(fields));
    Record r;
    for (std::size_t from = 0;;) {
      std::size_t tab = line.find('\t', from);
      r.push_back(UnescapeField(line.substr(from, tab - from)));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    if (check) {
      std::string why = check(r);
      if (!why.empty()) throw at(why);
    }
    records.push_back(std::move(r));
  }
  return records;
}

std::string FormatRecordText(const std::string& header, const std::vector<Record>& records) {
  std::string out = "# " + header + "\n";
  for (const auto& r : records) {
    const std::size_t at = out.size();
    for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "\t" : "") + EscapeField(r[i]);
    // A line that begins with "#" is a comment: a record that begins so
    // (an account named "#1") has its "#" written as %23.
    if (out.compare(at, 1, "#") == 0) out.replace(at, 1, "%23");
    out += '\n';
  }
  out += kRecordsEnd;
  out += '\n';
  return out;
}

RecordFile::RecordFile(fs::path file, std::size_t fields, std::string header, RecordCheck check)
    : file_(std::move(file)), fields_(fields), header_(std::move(header)), check_(std::move(check)) {}

std::vector<Record> RecordFile::Parse(const std::optional<std::string>& text) const {
  if (!text) return {};  // the machine is being made
  return ParseRecordText(*text, file_, fields_, check_);
}

std::vector<Record> RecordFile::Load() const {
  StateLock lock(file_, false);
  return Parse(ReadMachineFile(file_));
}

bool RecordFile::Update(const std::function<bool(std::vector<Record>&)>& f) const {
  StateLock lock(file_, true);
  auto records = Parse(ReadMachineFile(file_));
  if (!f(records)) return false;
  for (const auto& r : records) {
    std::string why = r.size() != fields_ ? "the wrong number of fields" : check_ ? check_(r) : std::string();
    if (!why.empty())
      throw std::invalid_argument(file_.filename().string() + " cannot hold a record that " + why);
  }
  WriteStateFile(file_, FormatRecordText(header_, records), lock);
  return true;
}

std::string EscapeField(const std::string& text) { return PercentEscaped(text, true); }

std::string UnescapeField(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsDecimal(const std::string& text, std::size_t max_digits) {
  return !text.empty() && text.size() <= max_digits &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace quorvale
