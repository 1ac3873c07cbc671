// A drive of a test machine that is full: a small file system of its own
// (tmpfs) mounted on the drive's folder, holding what the drive held and
// filled to its last byte, so every write that needs room fails as on a
// full disk. The machine's own state lies outside its drives and is still
// written. Mounting needs the right to (root); Why() says why not. The
// file system goes with the object.
//
//   testing::FullDrive full(temp.Folder(), 'C');
//   if (!full.Why().empty()) GTEST_SKIP() << full.Why();
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvale::setup::testing {

class FullDrive {
 public:
  FullDrive(const std::filesystem::path& machine, char letter)
      : drive_(machine / "drives" / std::string(1, letter)) {
    namespace fs = std::filesystem;
    std::string kept = (fs::temp_directory_path() / "quorvale-full-drive-XXXXXX").string();
    if (!::mkdtemp(kept.data())) {
      why_ = "no temporary folder for the drive's files";
      return;
    }
    kept_ = kept;
    std::error_code ec;
    fs::copy(drive_, kept_, fs::copy_options::recursive, ec);
    if (ec) {
      why_ = "cannot keep the drive's files: " + ec.message();
      return;
    }
    if (::mount("tmpfs", drive_.c_str(), "tmpfs", 0, "size=8m") != 0) {
      why_ = std::string("cannot mount a small file system for the full drive (it needs root): ") +
             std::strerror(errno);
      return;
    }
    mounted_ = true;
    fs::copy(kept_, drive_, fs::copy_options::recursive, ec);
    if (ec) {
      why_ = "cannot put the drive's files back: " + ec.message();
      return;
    }
    Fill(drive_ / "pagefile.sys");
  }
  ~FullDrive() {
    if (mounted_) ::umount2(drive_.c_str(), MNT_DETACH);
    std::error_code ec;
    if (!kept_.empty()) std::filesystem::remove_all(kept_, ec);
  }
  FullDrive(const FullDrive&) = delete;
  FullDrive& operator=(const FullDrive&) = delete;

  // Empty when the drive is full, else why it could not be made so.
  const std::string& Why() const { return why_; }

 private:
  // Writes until the file system has no byte left.
  static void Fill(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::vector<char> block(1 << 16, 'x');
    for (std::size_t size = block.size(); size > 0; size /= 2)
      while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
      }
    ::close(fd);
  }

  std::filesystem::path drive_, kept_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace quorvale::setup::testing
