// A setup program for the tests: stand-in pages where the real programs
// have their own, a machine made of plain values, a headless driver.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"
#include "quorvale/ui/headless.h"

namespace quorvale::setup::testing {

// Stands in for the pages around the shared ones (Service, ServU, ...).
class StandIn : public WizardPage {
 public:
  StandIn(SetupProgram& program, std::string name) : WizardPage(program, std::move(name)) {}
  ui::TextBox Field{*this, "Field"};

 protected:
  ui::Control* ExitFocus() override { return &Field; }
};
class BeforePage : public StandIn {
 public:
  explicit BeforePage(SetupProgram& p) : StandIn(p, "Before") {}
};
class AfterPage : public StandIn {
 public:
  explicit AfterPage(SetupProgram& p) : StandIn(p, "After") {}
};

struct FakeMachine {
  OSVersionRecord version{148, 5, 2, 3790, 2, "", ""};
  bool version_fails = false;
  bool iis = true;
  std::string uninstall_string;
  std::set<std::string> files;
  std::set<std::string> folders{"C:\\Program Files"};
  std::string windows = "C:\\WINDOWS";
  std::map<std::string, DiskFreeSpace> disks{{"C:\\", {8, 512, 4 * 1024 * 1024, 8 * 1024 * 1024}}};
  std::vector<std::string> started;
  std::vector<std::string> read_keys;

  MachineHooks Hooks() {
    MachineHooks h;
    h.get_version = [this]() -> std::optional<OSVersionRecord> {
      if (version_fails) return std::nullopt;
      return version;
    };
    h.bind_iis = [this] { return iis; };
    h.read_string = [this](const std::string& key, const std::string& name, int) {
      read_keys.push_back(key + "|" + name);
      return uninstall_string;
    };
    h.file_exists = [this](const std::string& p) { return files.count(p) > 0; };
    h.folder_exists = [this](const std::string& p) { return folders.count(p) > 0; };
    h.windows_directory = [this] { return windows; };
    h.disk_free_space = [this](const std::string& root) -> std::optional<DiskFreeSpace> {
      auto it = disks.find(root);
      if (it == disks.end()) return std::nullopt;
      return it->second;
    };
    h.start_program = [this](const std::string& command) {
      started.push_back(command);
      return files.count(command) > 0 || command.rfind("notepad.exe ", 0) == 0;
    };
    return h;
  }
};

class TestProgram : public SetupProgram {
 public:
  TestProgram(ui::Application& app, ProgramTexts texts, FakeMachine& machine)
      : SetupProgram(app, std::move(texts), machine.Hooks()) {}

  void AfterAgreement(ui::Form& from) override { Go(from, Page<AfterPage>()); }
  void BeforeDirectory(ui::Form& from) override { Go(from, Page<BeforePage>()); }
  void AfterDirectory(ui::Form& from) override {
    if (to_install) {
      Page<Install>().Show();
      from.Hide();
    } else {
      Go(from, Page<AfterPage>());
    }
  }
  void RunSequence(Install& page) override {
    ++sequence_runs;
    if (sequence) sequence(page);
  }

  bool to_install = false;
  int sequence_runs = 0;
  std::function<void(Install&)> sequence;

 private:
  void Go(ui::Form& from, StandIn& to) { SwitchPage(from, to, &to.Field); }
};

// A started program, walked to a page by tests.
struct Wizard {
  explicit Wizard(ProgramTexts texts = ServerEndTexts()) : program(driver.App(), std::move(texts), machine) {}
  void Start() {
    driver.Run([&] { program.Start(); });
  }
  template <class P>
  P& Page() {
    return program.Page<P>();
  }
  FakeMachine machine;
  ui::HeadlessDriver driver;
  TestProgram program;
};

}  // namespace quorvale::setup::testing
