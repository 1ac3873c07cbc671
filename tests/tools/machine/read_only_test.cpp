// show on a machine its reader may not write: a folder made read-only, or
// another user's. Root's permission bits stop nothing, so the reader is a
// child process that gives up root for the uid of nobody; run as another
// user, the child reads as that user.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "machine_tool.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale::tool {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr int kCannotGiveUpRoot = -2;

struct Outcome {
  int code = -1;
  std::string out, err;
};

// Runs the tool in a child that cannot write what root made.
Outcome RunAsReader(const std::vector<std::string>& args) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe_fds[0]);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                             ::setresuid(kNobody, kNobody, kNobody) != 0))
      ::_exit(99);
    std::ostringstream out, err;
    const int code = RunMachineTool(args, out, err);
    const std::string text = std::to_string(code) + '\n' + out.str() + '\0' + err.str();
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t n = ::write(pipe_fds[1], text.data() + done, text.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  std::string text;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(pipe_fds[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  Outcome o;
  const auto line = text.find('\n'), nul = text.find('\0');
  if (WIFEXITED(status) && WEXITSTATUS(status) == 99) o.code = kCannotGiveUpRoot;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || line == std::string::npos || nul == std::string::npos)
    return o;
  o.code = std::stoi(text.substr(0, line));
  o.out = text.substr(line + 1, nul - line - 1);
  o.err = text.substr(nul + 1);
  return o;
}

// Sets the mode of every folder and file below (and of) folder.
void SetModes(const fs::path& folder, fs::perms folders, fs::perms files) {
  fs::permissions(folder, folders | fs::perms::owner_all);
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (!e.is_symlink()) fs::permissions(e.path(), e.is_directory() ? folders | fs::perms::owner_all : files);
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_directory() && !e.is_symlink()) fs::permissions(e.path(), folders);
  fs::permissions(folder, folders);
}

constexpr auto kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
constexpr auto kReadOnlyFile = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr auto kOwnersFolder = kReadOnlyFolder | fs::perms::owner_write;
constexpr auto kOwnersFile = kReadOnlyFile | fs::perms::owner_write;

class ReadOnlyMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(temp_.Path(), kReadOnlyFolder | fs::perms::owner_write);  // the reader may pass
    Machine::Create(machine_, {});
  }
  void TearDown() override { SetModes(machine_, fs::perms::owner_all, kOwnersFile); }
  Outcome Show() { return RunAsReader({"--machine", machine_.string(), "show"}); }

  quorvale::testing::TempFolder temp_{"quorvale-read-only"};
  const fs::path machine_ = temp_.Path() / "m";
};

TEST_F(ReadOnlyMachineTest, ShowReadsAMachineItMayNotWrite) {
  const bool root = ::geteuid() == 0;
  struct Case {
    const char* what;
    bool without_locks;
    fs::perms folders, files;
    bool only_as_root;  // another user's machine: files root made, which a user cannot make
  } cases[] = {
      {"made read-only, with its lock files", false, kReadOnlyFolder, kReadOnlyFile, false},
      {"made read-only, without its lock files", true, kReadOnlyFolder, kReadOnlyFile, false},
      {"another user's, with lock files only their owner may write", false, kOwnersFolder, kOwnersFile, true},
      {"another user's, without its lock files", true, kOwnersFolder, kOwnersFile, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.only_as_root && !root) continue;
    SetModes(machine_, fs::perms::owner_all, kOwnersFile);
    if (c.without_locks)
      fs::remove_all(machine_ / ".locks");
    else
      Machine(machine_).Check();  // the owner's reads make the lock files
    SetModes(machine_, c.folders, c.files);
    const Outcome o = Show();
    if (o.code == kCannotGiveUpRoot) GTEST_SKIP() << "root here cannot take the uid of nobody";
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.rfind("System\n  Windows Server 2003 (5.2 build 3790", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("Registry\n"), std::string::npos);
    EXPECT_NE(o.out.find("\nMachine folder: " + machine_.string() + "\n"), std::string::npos);
    EXPECT_EQ(fs::exists(machine_ / ".locks"), !c.without_locks);
  }
}

// What the reader truly cannot read is one error line naming it.
TEST_F(ReadOnlyMachineTest, WhatCannotBeReadIsSaid) {
  const std::string m = machine_.string();
  struct Case {
    fs::path path;
    fs::perms mode;
    std::string error;
  } cases[] = {
      {machine_ / "accounts.txt", fs::perms::none,
       "quorvale-machine: machine file " + m + "/accounts.txt: cannot be read: Permission denied\n"},
      {machine_, fs::perms::none,
       "quorvale-machine: machine folder " + m + " cannot be read: Permission denied\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    SetModes(machine_, kReadOnlyFolder, kReadOnlyFile);
    fs::permissions(c.path, c.mode);
    const Outcome o = Show();
    if (o.code == kCannotGiveUpRoot) GTEST_SKIP() << "root here cannot take the uid of nobody";
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, c.error);
    SetModes(machine_, fs::perms::owner_all, kOwnersFile);
  }
}

}  // namespace
}  // namespace quorvale::tool
