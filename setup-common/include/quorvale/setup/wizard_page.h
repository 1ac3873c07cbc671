// What every page of a setup wizard shares: the program's caption, Welcome's
// icon when loaded, and the close check with the page's focus rule.
#pragma once

#include <string>

#include "quorvale/setup/program.h"
#include "quorvale/ui/form.h"

namespace quorvale::setup {

// Layout shared by the pages, in twips.
inline constexpr int kPageWidth = 7590;
inline constexpr int kPageHeight = 5340;
inline constexpr int kButtonTop = 4560;
inline constexpr int kButtonWidth = 1215;
inline constexpr int kButtonHeight = 375;

class WizardPage : public ui::Form {
 public:
  WizardPage(SetupProgram& program, std::string name);
  SetupProgram& Program() const { return program_; }

 protected:
  // Takes Welcome's icon; pages that do more on load call this first.
  void OnLoad() override;
  // Runs the close check; the page stays unless the user ends the program.
  bool OnQueryUnload(ui::UnloadMode mode) override;
  // The field that gets the focus when leaving the page is refused.
  virtual ui::Control* ExitFocus() = 0;

  // The standard frame of a page: banner at the top, separator frame above
  // the buttons, the three buttons (step may be nullptr).
  void PlaceFrame(ui::Image& banner, ui::Frame& separator);
  void PlaceButtons(ui::CommandButton* step, ui::CommandButton& next, ui::CommandButton& cancel);
  static void Place(ui::Control& c, int left, int top, int width, int height) {
    c.Move(left, top, width, height);
  }

  // Runs one statement of a resume-on-error handler.
  template <class F>
  void Resume(F&& statement) {
    program_.PageErr().Resume(std::forward<F>(statement));
  }

 private:
  SetupProgram& program_;
};

}  // namespace quorvale::setup
