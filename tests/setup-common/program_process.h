// A built program run as a process of its own on a machine, as a person
// starts it: its arguments, the machine in QUORVALE_MACHINE, its standard
// error kept; then its exit code and the last line it said. Header-only.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace quorvale::setup::testing {

class ProgramProcess {
 public:
  ProgramProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& machine) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return;
    err_ = pipe_fds[0];
    std::vector<std::string> args{program.string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      if (std::strncmp(*e, "QUORVALE_", 9) == 0) continue;
      env.emplace_back(*e);
      // A sanitized build's leak check keeps quiet about what it was told
      // to pass over, so the program's own line stays its last.
      if (std::strncmp(*e, "LSAN_OPTIONS=", 13) == 0) env.back() += ":print_suppressions=0";
    }
    env.push_back("QUORVALE_MACHINE=" + machine.string());
    auto pointers = [](std::vector<std::string>& texts) {
      std::vector<char*> out;
      for (auto& t : texts) out.push_back(t.data());
      out.push_back(nullptr);
      return out;
    };
    auto argv = pointers(args);
    auto envp = pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
    if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    ::fcntl(err_, F_SETFL, O_NONBLOCK);
  }
  ~ProgramProcess() {
    if (pid_ > 0 && !code_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (err_ >= 0) ::close(err_);
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // The exit code once it has ended (nothing while it runs).
  std::optional<int> Ended() {
    Drain();
    if (code_ || pid_ <= 0) return code_;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      Drain();
    }
    return code_;
  }
  // Waits for the end, at most limit.
  std::optional<int> Wait(std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!Ended() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return code_;
  }
  // What it said on standard error (programs it started may add to it).
  const std::string& Said() {
    Drain();
    return said_;
  }
  // The last line it said, without its line end.
  std::string LastLine() {
    std::string text = Said();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
  }

 private:
  void Drain() {
    if (err_ < 0) return;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(err_, buffer, sizeof buffer)) > 0) said_.append(buffer, static_cast<std::size_t>(n));
  }

  pid_t pid_ = 0;
  int err_ = -1;
  std::optional<int> code_;
  std::string said_;
};

}  // namespace quorvale::setup::testing
