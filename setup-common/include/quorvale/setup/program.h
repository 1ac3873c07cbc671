// A wizard program: owns its pages, creates each on first use and keeps it
// loaded; walks its profile's order forwards and backwards; asks the exit
// question. Every program is this class with its own profile.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>

#include "quorvale/core/err.h"
#include "quorvale/setup/outcome.h"
#include "quorvale/setup/profile.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/form.h"
#include "quorvale/win32/commdlg.h"

namespace quorvale::setup {

class WizardPage;

// The handle by which a form is named to the platform's calls (the owner of
// an open-file dialog).
win32::HWND WindowHandle(const ui::Form& form);

// How a page is reached: forwards (Next, or after a refused close) or
// backwards (Back).
enum class Arrival { Forward, Back };

class SetupProgram {
 public:
  SetupProgram(ui::Application& app, ProgramProfile profile);
  ~SetupProgram();
  SetupProgram(const SetupProgram&) = delete;
  SetupProgram& operator=(const SetupProgram&) = delete;

  ui::Application& App() const { return app_; }
  const ProgramProfile& Profile() const { return profile_; }
  const ProgramTexts& Texts() const { return profile_.texts; }
  const ProgramRules& Rules() const { return profile_.rules; }
  // The error state of the pages' resume-on-error handlers.
  Err& PageErr() { return err_; }

  // The page of type P (constructed from this program), created on first use.
  template <class P>
  P& Page() {
    auto& slot = pages_[std::type_index(typeid(P))];
    if (!slot) slot = std::make_unique<P>(*this);
    return static_cast<P&>(*slot);
  }

  // The first page of the order, whose icon the other pages take.
  WizardPage& StartPage();

  // Starts the program: the start page is loaded (its start-up checks run)
  // and shown, or the profile's own start runs.
  void Start();

  // The next page of the order after from whose condition holds now, shown
  // with the focus on its entry field; from is hidden.
  void Next(WizardPage& from);
  // The same backwards: the previous page whose condition holds.
  void Back(WizardPage& from);

  // Page switching: show the target, put the focus on its field (none:
  // nullptr), hide the page left.
  void SwitchPage(ui::Form& from, ui::Form& to, ui::Control* focus);

  // The exit question, asked on the page named. OK ends the program at once
  // (cancelled); Cancel returns with the focus on stay_focus (when given).
  void ConfirmExit(const std::string& page, ui::Control* stay_focus);

  // How the program ends: noted where the end is decided, said by the
  // program's start-up once it has ended. The first note stands.
  void NoteOutcome(Outcome outcome, std::string detail);
  // Notes the outcome and ends the program at once.
  [[noreturn]] void EndWith(Outcome outcome, std::string detail);
  const ProgramOutcome& EndedWith() const { return outcome_; }

  // Starts a program in a normal window with the focus, without waiting;
  // false when it could not be started.
  bool StartProgram(const std::string& command_line);

  // The profile's sequence, run once by the progress page.
  void RunSequence(ProgressPage& page);

  // The program's arguments as one text (the machine's own taken out).
  const std::string& CommandLine() const { return command_line_; }
  void SetCommandLine(std::string text) { command_line_ = std::move(text); }

  // App.Path: the folder of the program's own file on the machine, without
  // a trailing "\" except at a drive root ("C:\"); "" when the file lies
  // outside the machine's drives.
  const std::string& AppPath() const { return app_path_; }
  void SetAppPath(std::string folder) { app_path_ = std::move(folder); }

 private:
  // The place of a page in the order.
  std::size_t PlaceOf(const WizardPage& page) const;
  void Go(WizardPage& from, std::size_t to, Arrival how);
  // GetOpenFileNameA's dialog while the program runs: this program's
  // open-file dialog, owned by the record's window.
  std::optional<std::string> ShowFileDialog(const win32::FileDialogRequest& request);

  ui::Application& app_;
  ProgramProfile profile_;
  Err err_;
  std::string command_line_;
  std::string app_path_;
  ProgramOutcome outcome_;
  std::unordered_map<std::type_index, std::unique_ptr<WizardPage>> pages_;
  win32::FileDialog previous_dialog_;
};

// App.Path of a program file's Windows path: its folder, "C:\" for a file in
// a drive root; "" for "".
std::string AppPathOf(const std::string& program_file);
// The running program's AppPathOf, through GetModuleFileNameA.
std::string RunningAppPath();

template <class P>
PageEntry OrderLine(PageCondition when) {
  return {std::type_index(typeid(P)), [](SetupProgram& p) -> WizardPage& { return p.Page<P>(); },
          std::move(when)};
}

}  // namespace quorvale::setup
