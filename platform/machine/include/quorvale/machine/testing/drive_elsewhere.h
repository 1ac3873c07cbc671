// A drive of a test machine kept on another file system than the machine
// folder: its folder under drives/ becomes a link to a fresh folder in
// /dev/shm (tmpfs), removed with the object. Header-only:
//
//   quorvale::testing::DriveElsewhere d(temp.Folder(), 'D');
//   if (!d.Why().empty()) GTEST_SKIP() << d.Why();
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace quorvale::testing {

class DriveElsewhere {
 public:
  DriveElsewhere(const std::filesystem::path& machine, char letter,
                 const std::filesystem::path& under = "/dev/shm") {
    namespace fs = std::filesystem;
    struct stat here {
    }, there{};
    std::string tmpl = (under / "quorvale-drive-XXXXXX").string();
    if (::stat(machine.c_str(), &here) != 0 || ::stat(under.c_str(), &there) != 0 ||
        !::mkdtemp(tmpl.data())) {
      why_ = under.string() + " cannot hold a folder: no second file system to put a drive on";
      return;
    }
    folder_ = tmpl;
    if (here.st_dev == there.st_dev) {
      why_ = under.string() + " lies on the machine folder's file system: no second file system";
      return;
    }
    const fs::path drive = machine / "drives" / std::string(1, letter);
    fs::remove_all(drive);
    fs::create_directory_symlink(folder_, drive);
  }
  ~DriveElsewhere() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  DriveElsewhere(const DriveElsewhere&) = delete;
  DriveElsewhere& operator=(const DriveElsewhere&) = delete;

  // Empty when the drive lies on another file system, else why it does not.
  const std::string& Why() const { return why_; }
  // The drive's folder on the other file system.
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::string why_;
};

}  // namespace quorvale::testing
