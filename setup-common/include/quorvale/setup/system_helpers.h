// System facts, short path forms, folder creation, random texts and the
// waits for files that programs started without waiting produce or let go.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "quorvale/core/err.h"

namespace quorvale::setup {

// How SleepFile and ToDeleteFile wait: tries, the pause after each, and
// whether an error met while looking at the file passes to the caller or
// counts as "no".
struct FileWait {
  int tries = 20;
  std::uint32_t interval_ms = 500;
  bool errors_pass = true;
};

// The setup programs' waits: up to 20 tries 500 ms apart.
inline constexpr FileWait kSetupFileWait{20, 500, true};
// The repair program's: up to 10 tries 1000 ms apart, never raising.
inline constexpr FileWait kRepairFileWait{10, 1000, false};

// The 62 characters GetLetter draws from, in their order.
inline constexpr std::string_view kLetterAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";

// Whether a listing of the name with normal attributes finds it: a hidden
// or system file counts as absent. A bad name raises.
bool FilePresent(const std::string& file);

// Whether the path names a file (not a folder), or a folder, as
// GetFileAttributesA sees it; hidden ones count.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Starts the command in a hidden window (WinExec, code page 936) and does
// not wait for it; a failure goes into err and nothing looks at the result.
void StartHidden(Err& err, const std::string& command);

class SystemHelpers {
 public:
  explicit SystemHelpers(FileWait wait = kSetupFileWait) : wait_(wait) {}

  // "" when it cannot be read.
  static std::string ComputerName();
  // Without a trailing "\"; "" when the call fails or the folder does not
  // fit the 80-byte buffer.
  static std::string GetSystemFolder();
  static std::string GetWindowsFolder();
  // The 8.3 form of an existing path; "" on any error, a missing path
  // included.
  static std::string ShortPath(const std::string& path);
  // With its trailing "\"; "" on failure.
  static std::string GetWindowTempPath();
  // Count characters drawn uniformly and independently from the 62 of
  // kLetterAlphabet by the system's cryptographic generator; "" for a
  // count of 0 or less.
  static std::string GetLetter(int count);

  // True as soon as the file is present; false for "" at once, or after
  // the last try.
  bool SleepFile(const std::string& file) const;
  // The same wait for a folder, which SleepFile's listing does not find:
  // true as soon as the folder is there.
  bool SleepFolder(const std::string& folder) const;
  // Deletes the file and waits until it is gone: true once it is absent,
  // false for "" or a file absent at the start (at once), or after the
  // last try.
  bool ToDeleteFile(const std::string& file) const;

  const FileWait& Wait() const { return wait_; }

 protected:
  // Creates the folder and every missing parent, one CreateDirectoryA per
  // level. The result is the last level's: true when the folder was made
  // now, false when it was there already or could not be made.
  static bool CreateDir(std::string path);

 private:
  // The answer of a look at the file under this wait's error rule.
  bool Present(const std::string& file) const;
  // Up to the wait's tries, the pause after each: true once present() says
  // so; false at once for an empty name.
  bool WaitUntil(const std::string& name, const std::function<bool()>& present) const;
  FileWait wait_;
};

}  // namespace quorvale::setup
