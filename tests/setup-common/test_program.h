// A wizard program for the tests: the shared pages around two stand-in
// pages, the second of which is in the chain only while the first one's
// box is checked; a fresh machine; a headless driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/agreement_page.h"
#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/directory_page.h"
#include "quorvale/setup/install_page.h"
#include "quorvale/setup/welcome_page.h"
#include "quorvale/ui/headless.h"

namespace quorvale::setup::testing {

// Stands in for a program's own pages (Service, ServU, ...).
class StandIn : public WizardPage {
 public:
  StandIn(SetupProgram& program, std::string name) : WizardPage(program, std::move(name)) {
    PlaceButtons(&StepButton, NextButton, CancelButton);
    NextButton.OnClick([this] { GoNext(); });
    StepButton.OnClick([this] { GoBack(); });
    CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
  }
  // Forwards the text box, backwards the check box.
  ui::Control* EntryFocus(Arrival how) override {
    return how == Arrival::Forward ? static_cast<ui::Control*>(&Field) : &Box;
  }

  ui::TextBox Field{*this, "Field"};
  ui::CheckBox Box{*this, "Box"};
  ui::CommandButton StepButton{*this, "StepButton"};
  ui::CommandButton NextButton{*this, "NextButton"};
  ui::CommandButton CancelButton{*this, "CancelButton"};
};
class Choice : public StandIn {
 public:
  explicit Choice(SetupProgram& p) : StandIn(p, "Choice") {}
};
class Optional : public StandIn {
 public:
  explicit Optional(SetupProgram& p) : StandIn(p, "Optional") {}
};

// Welcome, Agreement, Choice, Optional (while Choice's box is checked),
// Directory, Install, Complete. The sequence ends at once unless a test
// gives its own.
inline ProgramProfile TestProfile(ProgramTexts texts = ServerEndTexts(),
                                  ProgramRules rules = ServerEndRules()) {
  ProgramProfile p;
  p.name = "Test";
  p.texts = std::move(texts);
  p.rules = rules;
  p.order = {
      OrderLine<WelcomePage>(),
      OrderLine<AgreementPage>(),
      OrderLine<Choice>(),
      OrderLine<Optional>([](SetupProgram& program) { return program.Page<Choice>().Box.Value() == 1; }),
      OrderLine<DirectoryPage>(),
      OrderLine<InstallPage>(),
      OrderLine<CompletePage>(),
  };
  p.sequence = [](SetupProgram&, ProgressPage& page) { page.EndSequence("安装完毕..."); };
  return p;
}

inline MachineShape FreeOnC(std::uint64_t bytes) {
  MachineShape shape;
  shape.drives = {{'C', bytes}};
  return shape;
}

// A machine of this Windows edition, with IIS or without it.
inline MachineShape ShapeOf(WindowsEdition edition, bool iis = true) {
  MachineShape shape;
  shape.edition = edition;
  shape.iis = iis;
  return shape;
}

// 16 GB free on C:, as the tests' default.
inline constexpr std::uint64_t kSixteenGB = 16ull << 30;

// A program started on a fresh machine (or a copy of the machine in
// machine_copy) whose registry names the platform's automation objects, as
// Windows ships them.
struct Wizard {
  explicit Wizard(ProgramProfile profile = TestProfile(), const MachineShape& shape = FreeOnC(kSixteenGB),
                  const std::filesystem::path& machine_copy = {})
      : temp(shape, machine_copy), program(driver.App(), std::move(profile)) {
    RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
  }
  void Start() {
    driver.Run([&] { program.Start(); });
  }
  template <class P>
  P& Page() {
    return program.Page<P>();
  }
  // Welcome -> Agreement -> Choice -> Directory.
  DirectoryPage& WalkToDirectory() {
    driver.Click(Page<WelcomePage>().NextButton);
    driver.Click(Page<AgreementPage>().AgreeButton);
    driver.Click(Page<Choice>().NextButton);
    return Page<DirectoryPage>();
  }
  // The command lines started on the machine, in order.
  std::vector<std::string> Started() {
    std::vector<std::string> out;
    for (const auto& s : temp.machine().StartedPrograms()) out.push_back(s.command_line);
    return out;
  }
  void SetUninstallString(const std::string& key, const std::string& value) {
    const std::string path = "HKEY_LOCAL_MACHINE\\" + key;
    temp.machine().Registry().CreateKey(path);
    temp.machine().Registry().SetValue(path, "UninstallString", RegValue::Text(value));
  }

  quorvale::testing::TempMachine temp;
  ui::HeadlessDriver driver;
  SetupProgram program;
};

}  // namespace quorvale::setup::testing
