#include "quorvale/machine/state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "quorvale/core/bytes.h"

namespace quorvale {

namespace fs = std::filesystem;

MachineStateError::MachineStateError(const fs::path& file, const std::string& what)
    : std::runtime_error("machine state file " + file.string() + ": " + what), file_(file) {}

fs::path StateLock::FileOf(const fs::path& file) {
  return file.parent_path() / ".locks" / (file.filename().string() + ".lock");
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

StateLock::StateLock(const fs::path& file, bool exclusive) {
  const fs::path lock = FileOf(file);
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0 && errno == ENOENT) {
    std::error_code ec;
    fs::create_directories(lock.parent_path(), ec);
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  }
  if (fd_ < 0) throw MachineStateError(file, std::string("cannot open its lock: ") + std::strerror(errno));
  while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
  }
}

StateLock::~StateLock() { ::close(fd_); }

std::optional<std::string> ReadStateFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    if (!fs::exists(file)) return std::nullopt;
    throw MachineStateError(file, "cannot be read");
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteStateFile(const fs::path& file, const std::string& bytes, const fs::path& temp_folder) {
  static std::atomic<unsigned> counter{0};
  fs::path tmp = temp_folder.empty() ? file : temp_folder / file.filename();
  tmp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw MachineStateError(file, std::string("cannot be written: ") + std::strerror(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int e = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      throw MachineStateError(file, std::string("cannot be written: ") + std::strerror(e));
    }
    done += static_cast<std::size_t>(n);
  }
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(tmp.c_str(), file.c_str()) != 0) {
    int e = errno;
    ::unlink(tmp.c_str());
    throw MachineStateError(file, std::string("cannot be replaced: ") + std::strerror(e));
  }
}

RecordFile::RecordFile(fs::path file, std::size_t fields, std::string header)
    : file_(std::move(file)), fields_(fields), header_(std::move(header)) {}

std::vector<std::string> StateFileLines(const fs::path& file, const std::string& text) {
  if (!text.empty() && text.back() != '\n') throw MachineStateError(file, "the last line is cut short");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<Record> RecordFile::Parse(const std::optional<std::string>& text) const {
  std::vector<Record> records;
  if (!text || text->empty()) return records;
  std::size_t line_no = 0;
  for (const std::string& line : StateFileLines(file_, *text)) {
    ++line_no;
    if (line.empty() || line[0] == '#') continue;
    Record r;
    std::size_t from = 0;
    for (;;) {
      std::size_t tab = line.find('\t', from);
      r.push_back(UnescapeField(line.substr(from, tab - from)));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    if (r.size() != fields_)
      throw MachineStateError(file_, "line " + std::to_string(line_no) + " has " + std::to_string(r.size()) +
                                         " fields instead of " + std::to_string(fields_));
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<Record> RecordFile::Load() const {
  StateLock lock(file_, false);
  return Parse(ReadStateFile(file_));
}

bool RecordFile::Update(const std::function<bool(std::vector<Record>&)>& f) const {
  StateLock lock(file_, true);
  auto records = Parse(ReadStateFile(file_));
  if (!f(records)) return false;
  std::string out = "# " + header_ + "\n";
  for (const auto& r : records) {
    for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "\t" : "") + EscapeField(r[i]);
    out += '\n';
  }
  WriteStateFile(file_, out);
  return true;
}

std::string EscapeField(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == '%' || b == 0x7f) {
      out += '%';
      out += digits[b >> 4];
      out += digits[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string UnescapeField(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() + 0 && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace quorvale
