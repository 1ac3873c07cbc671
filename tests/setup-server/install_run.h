// Server run from Welcome to Complete on a machine whose programs run (the
// unpacker, regsvr32, Cacls, Service.exe): the pages walked as a user walks
// them, the progress page watched as it changes, and what the machine holds
// afterwards. On the test clock, with the page's clock counting one
// millisecond per turn of the message loop.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "quorvale/machine/clock.h"
#include "quorvale/programs/launch.h"
#include "quorvale/setup/install_page.h"
#include "server_run.h"

namespace quorvale::server::testing {

// The windows folder of each edition the server end installs on.
struct EditionFolders {
  const char* windows;
  const char* system;
};
inline EditionFolders FoldersOf(WindowsEdition edition) {
  return edition == WindowsEdition::kWindows2000 ? EditionFolders{"C:\\WINNT", "C:\\WINNT\\system32"}
                                                 : EditionFolders{"C:\\WINDOWS", "C:\\WINDOWS\\system32"};
}

// At every wait of the test's thread on the machine's clock, the programs
// started hidden finish first: the machine is a fast one, and the run is
// the same every time. Programs that wait themselves do not wait for others.
inline void ProgramsFinishAtEveryWait(std::thread::id test_thread = std::this_thread::get_id()) {
  AtMoment(ClockNow() + 1, [test_thread] {
    if (std::this_thread::get_id() == test_thread) WaitForPrograms();
    ProgramsFinishAtEveryWait(test_thread);
  });
}

struct InstallRun : ChainRun {
  explicit InstallRun(WindowsEdition edition = WindowsEdition::kWindowsServer2003)
      : ChainRun(setup::testing::ShapeOf(edition)), folders(FoldersOf(edition)) {
    Prepare();
  }
  // On a copy of a Windows Server 2003 hosting server, as it is.
  explicit InstallRun(const std::filesystem::path& hosting_server)
      : ChainRun(hosting_server), folders(FoldersOf(WindowsEdition::kWindowsServer2003)) {
    Prepare();
  }
  ~InstallRun() {
    driver.Backend().WatchChanges(nullptr);
    WaitForPrograms();  // before the machine goes
  }

  // The Service page's choices, the pages after it filled in, the last
  // page's Next; then the progress page's timer runs the installation.
  void Install(const Choices& choices, bool net = true, bool wap = true) {
    WalkToInstall(choices, net, wap);
    ASSERT_EQ(Active(), "Install") << LastPrompt();
    RunSequence();
  }
  void WalkToInstall(const Choices& choices, bool net = true, bool wap = true) {
    ToService();
    Choose(choices);
    SetBox(Service().NET, net);
    SetBox(Service().WAP, wap);
    driver.Click(Service().NextButton);
    for (int page = 0; page < 8 && Active() != "Install"; ++page) {
      FillIn(Active());
      driver.Click(NextOf(Active()));
      if (!driver.Messages().empty()) return;  // a page refused: the caller sees it is not Install
    }
  }
  // The progress page's first tick, and the programs it started finishing.
  void RunSequence() {
    driver.Advance(100);
    WaitForPrograms();
  }

  setup::InstallPage& Page() { return program.Page<setup::InstallPage>(); }
  std::string Folder() { return program.Page<setup::DirectoryPage>().Directory.Text(); }

  // What the progress page showed, in order: each caption it took, each
  // line added to its list, and each width of its bar with the loop turns
  // counted until then.
  std::vector<std::string> captions{"正在准备安装..."};
  std::vector<std::string> lines;
  std::vector<std::pair<int, std::int64_t>> bar;
  // Called with each new caption, while the sequence runs.
  std::function<void(const std::string&)> at_caption;

  std::vector<int> Widths() const {
    std::vector<int> out;
    for (const auto& [width, turn] : bar) out.push_back(width);
    return out;
  }
  // The loop turns between the bar taking from and taking to.
  std::int64_t TurnsBetween(int from, int to) const {
    std::int64_t start = -1;
    for (const auto& [width, turn] : bar) {
      if (width == from) start = turn;
      if (width == to && start >= 0) return turn - start;
    }
    return -1;
  }

  EditionFolders folders;

 private:
  void Prepare() {
    InstallLauncher();
    ProgramsFinishAtEveryWait();
    driver.Backend().SetPumpStep(1);
    driver.Backend().WatchChanges([this](ui::Form& form) { Watch(form); });
  }
  void Watch(ui::Form& form) {
    if (form.Name() != "Install") return;
    auto& page = static_cast<setup::InstallPage&>(form);
    if (page.StateCaption.Caption() != captions.back()) {
      captions.push_back(page.StateCaption.Caption());
      if (at_caption) at_caption(captions.back());
    }
    const auto& items = page.SetupList.Items();
    for (std::size_t i = lines.size(); i < items.size(); ++i) lines.push_back(items[i]);
    const int width = page.Loading.Width();
    if (bar.empty() ? width != setup::kBarStart : width != bar.back().first)
      bar.emplace_back(width, driver.App().Now());
  }
};

}  // namespace quorvale::server::testing
