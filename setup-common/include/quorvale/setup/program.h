// A setup wizard: owns its pages, creates each on first use and keeps it
// loaded; switches between pages; asks the exit question. The programs
// derive from it and name the pages that differ between them.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>

#include "quorvale/core/err.h"
#include "quorvale/setup/machine_hooks.h"
#include "quorvale/setup/program_texts.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/form.h"

namespace quorvale::setup {

class Install;

inline constexpr const char* kExitQuestion =
    "安装程序未完成安装。如果现在退出，您的程序将不能安装。\r\n\r\n您确定要退出安装程序吗？";
inline constexpr const char* kSetupTitle = "安装";

class SetupProgram {
 public:
  SetupProgram(ui::Application& app, ProgramTexts texts, MachineHooks hooks);
  virtual ~SetupProgram();
  SetupProgram(const SetupProgram&) = delete;
  SetupProgram& operator=(const SetupProgram&) = delete;

  ui::Application& App() const { return app_; }
  const ProgramTexts& Texts() const { return texts_; }
  const MachineHooks& Hooks() const { return hooks_; }
  // The error state of the pages' resume-on-error handlers.
  Err& PageErr() { return err_; }

  // The page of type P (constructed from this program), created on first use.
  template <class P>
  P& Page() {
    auto& slot = pages_[std::type_index(typeid(P))];
    if (!slot) slot = std::make_unique<P>(*this);
    return static_cast<P&>(*slot);
  }

  // The start-up page, whose icon the other pages take (Welcome).
  virtual ui::Form& StartPage();

  // Starts the program: Welcome is loaded (its start-up checks run) and shown.
  void Start();

  // Page switching: show the target, put the focus on its field (none:
  // nullptr), hide the page left.
  void SwitchPage(ui::Form& from, ui::Form& to, ui::Control* focus);

  // The exit question. OK ends the program at once; Cancel returns with the
  // focus on stay_focus (when given).
  void ConfirmExit(ui::Control* stay_focus);

  // Starts a program in a normal window; false when it could not be started.
  bool StartProgram(const std::string& command_line);

  // Where the pages that differ between the programs lead.
  virtual void AfterAgreement(ui::Form& from) = 0;
  virtual void BeforeDirectory(ui::Form& from) = 0;
  virtual void AfterDirectory(ui::Form& from) = 0;
  // The install sequence, run once on the progress page.
  virtual void RunSequence(Install& page) = 0;

 private:
  ui::Application& app_;
  ProgramTexts texts_;
  MachineHooks hooks_;
  Err err_;
  std::unordered_map<std::type_index, std::unique_ptr<ui::Form>> pages_;
};

}  // namespace quorvale::setup
