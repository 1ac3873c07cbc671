// The machine's own state files: read whole, written whole through a
// temporary file and a rename, under a lock shared by threads and processes.
// Every state file ends with an end line of its own, so a file cut short,
// emptied or removed is told from a whole one; a file that cannot be read as
// written raises MachineStateError naming it, and nothing is written over it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

class MachineStateError : public std::runtime_error {
 public:
  // "machine file FILE: WHAT".
  MachineStateError(const std::filesystem::path& file, const std::string& what);
  // A folder named as a machine that holds none.
  static MachineStateError NoMachine(const std::filesystem::path& folder);
  // A message of its own, about file.
  static MachineStateError Plain(const std::filesystem::path& file, const std::string& message);
  const std::filesystem::path& File() const { return file_; }

 private:
  struct PlainTag {};
  MachineStateError(PlainTag, const std::filesystem::path& file, const std::string& message);
  std::filesystem::path file_;
};

// Holds flock() on ".locks/<name>.lock" beside the file while it lives.
// Writes of the file go through its one temporary file, "<file>.tmp", and
// only under the exclusive lock; so a temporary found while the lock is held
// (either way) was left by a writer that was killed, and is removed.
// A lock may serve files that lie elsewhere (the drives' files written by
// the profile functions and shortcuts, on any file system): each of their
// writes goes through a temporary file beside the file, whose name the lock
// file keeps while it exists, and the next holder removes one left so.
// A shared lock is taken on a lock file that may only be read, and is done
// without where there is none and none can be made (a machine the reader
// may not write).
class StateLock {
 public:
  StateLock(const std::filesystem::path& file, bool exclusive);
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

  // The lock file of a state file.
  static std::filesystem::path FileOf(const std::filesystem::path& file);
  // The temporary file the writes under this lock go through.
  std::filesystem::path TempFile() const;
  bool Exclusive() const { return exclusive_; }
  // A count of the file's writes, kept at the head of the lock file, so a
  // reader can tell that a copy it keeps is out of date.
  std::uint64_t WriteCount() const;
  void CountWrite();

 private:
  friend void WriteStateFile(const std::filesystem::path&, const std::string&, const StateLock&);
  // Makes the temporary file a write of file goes through (the lock's own,
  // or a new one beside a file elsewhere) and gives its descriptor, or -1
  // with errno.
  int OpenTempFile(const std::filesystem::path& file, std::filesystem::path& tmp) const;
  // The temporary file of a write of a file elsewhere, kept in the lock file
  // after the write count while it exists.
  void KeepPendingTemp(const std::filesystem::path& tmp) const;
  void RemovePendingTemp() const;
  void ForgetPendingTemp() const;

  std::filesystem::path file_;
  bool exclusive_;
  int fd_;
};

// The file's bytes, or nothing when it does not exist.
std::optional<std::string> ReadStateFile(const std::filesystem::path& file);
// The bytes of a state file that lies in a machine folder. A missing file is
// damage on a machine that exists (its machine.ini does); while the folder
// holds no machine yet (it is being made) it gives nothing.
std::optional<std::string> ReadMachineFile(const std::filesystem::path& file);
// Writes bytes to a temporary file, flushes it to disk and renames it over
// file, so a reader sees the old or the new contents, never a part. The lock
// must be held exclusively. The lock's own file goes through the lock's
// temporary file; any other file through one beside it, on its own file
// system.
void WriteStateFile(const std::filesystem::path& file, const std::string& bytes, const StateLock& lock);

// The end lines: "# end" closes the line files, "; end" the registry and
// machine.ini.
inline constexpr std::string_view kRecordsEnd = "# end";
inline constexpr std::string_view kIniEnd = "; end";

// The lines of a whole state file, without their CR LF or LF ends and
// without its end line, which must be its last line; raises naming file when
// it is not (the file was cut short or emptied).
std::vector<std::string> StateFileLines(const std::filesystem::path& file, const std::string& text,
                                        std::string_view end_line);

// Tab-separated records, one a line, "#" lines are comments, "# end" last.
// Every line holds exactly `fields` fields; a check may refuse a record by
// saying what is wrong with it.
using Record = std::vector<std::string>;
using RecordCheck = std::function<std::string(const Record&)>;

std::vector<Record> ParseRecordText(const std::string& text, const std::filesystem::path& file,
                                    std::size_t fields, const RecordCheck& check = {});
std::string FormatRecordText(const std::string& header, const std::vector<Record>& records);

class RecordFile {
 public:
  RecordFile(std::filesystem::path file, std::size_t fields, std::string header, RecordCheck check = {});
  std::vector<Record> Load() const;
  // Runs f on the records under the exclusive lock; writes them back when f
  // returns true. A record the check refuses is never written: that raises
  // std::invalid_argument and leaves the file as it was.
  bool Update(const std::function<bool(std::vector<Record>&)>& f) const;
  const std::filesystem::path& Path() const { return file_; }

 private:
  std::vector<Record> Parse(const std::optional<std::string>& text) const;
  std::filesystem::path file_;
  std::size_t fields_;
  std::string header_;
  RecordCheck check_;
};

// Text that a record field can hold: "%", tab, CR, LF and other control
// characters become %XX.
std::string EscapeField(const std::string& text);
std::string UnescapeField(const std::string& text);

// True for decimal digits only, at most max_digits of them.
bool IsDecimal(const std::string& text, std::size_t max_digits);

}  // namespace quorvale
