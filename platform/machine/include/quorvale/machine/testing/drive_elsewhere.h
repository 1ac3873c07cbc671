// A drive of a test machine kept on another file system than the machine
// folder: its folder under drives/ becomes a link to a fresh folder in
// /dev/shm (tmpfs), or /tmp or /var/tmp where the machine lies in /dev/shm,
// removed with the object. Header-only:
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
  // The first of the folders that lies on another file system than the
  // machine folder holds the drive.
  DriveElsewhere(const std::filesystem::path& machine, char letter) {
    namespace fs = std::filesystem;
    struct stat here {};
    if (::stat(machine.c_str(), &here) != 0) {
      why_ = "the machine folder " + machine.string() + " cannot be read";
      return;
    }
    for (const char* under : {"/dev/shm", "/tmp", "/var/tmp"}) {
      struct stat there {};
      if (::stat(under, &there) != 0 || there.st_dev == here.st_dev) continue;
      std::string tmpl = std::string(under) + "/quorvale-drive-XXXXXX";
      if (!::mkdtemp(tmpl.data())) continue;
      folder_ = tmpl;
      const fs::path drive = machine / "drives" / std::string(1, letter);
      fs::remove_all(drive);
      fs::create_directory_symlink(folder_, drive);
      return;
    }
    why_ = "no second file system: /dev/shm, /tmp and /var/tmp lie on the machine folder's or take no folder";
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
