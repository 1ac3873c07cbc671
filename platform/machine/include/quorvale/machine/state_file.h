// The machine's own state files: read whole, written whole through a
// temporary file and a rename, under a lock shared by threads and processes.
// A file that cannot be read as written raises MachineStateError naming it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvale {

class MachineStateError : public std::runtime_error {
 public:
  MachineStateError(const std::filesystem::path& file, const std::string& what);
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
};

// Holds flock() on ".locks/<name>.lock" beside the file while it lives.
class StateLock {
 public:
  StateLock(const std::filesystem::path& file, bool exclusive);
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

  // The lock file of a state file.
  static std::filesystem::path FileOf(const std::filesystem::path& file);
  // A count of the file's writes, kept at the head of the lock file, so a
  // reader can tell that a copy it keeps is out of date.
  std::uint64_t WriteCount() const;
  void CountWrite();

 private:
  int fd_;
};

// The file's bytes, or nothing when it does not exist.
std::optional<std::string> ReadStateFile(const std::filesystem::path& file);
// Writes to a temporary file beside it, flushes it to disk and renames it
// over the file, so a reader sees the old or the new contents, never a part.
// The temporary file goes into temp_folder when one is given (it must be on
// the same file system), so no stray name shows in the file's own folder.
void WriteStateFile(const std::filesystem::path& file, const std::string& bytes,
                    const std::filesystem::path& temp_folder = {});

// The lines of a whole state file, without their CR LF ends; raises when
// the last line has no end (the file was cut short).
std::vector<std::string> StateFileLines(const std::filesystem::path& file, const std::string& text);

// Tab-separated records, one a line, "#" lines are comments. Every line must
// be complete and hold exactly `fields` fields.
using Record = std::vector<std::string>;

class RecordFile {
 public:
  RecordFile(std::filesystem::path file, std::size_t fields, std::string header);
  std::vector<Record> Load() const;
  // Runs f on the records under the exclusive lock; writes them back when f
  // returns true.
  bool Update(const std::function<bool(std::vector<Record>&)>& f) const;
  const std::filesystem::path& Path() const { return file_; }

 private:
  std::vector<Record> Parse(const std::optional<std::string>& text) const;
  std::filesystem::path file_;
  std::size_t fields_;
  std::string header_;
};

// Text that a record field can hold: "%", tab, CR, LF and other control
// characters become %XX.
std::string EscapeField(const std::string& text);
std::string UnescapeField(const std::string& text);

}  // namespace quorvale
