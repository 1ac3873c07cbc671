// What every page of a wizard shares: the program's caption, Welcome's icon
// when loaded, the close check with the page's focus rule, its place in the
// program's order, and the layout of the shared header, logo column and
// buttons.
#pragma once

#include <string>

#include "quorvale/setup/program.h"
#include "quorvale/setup/value_rules.h"
#include "quorvale/ui/controls.h"
#include "quorvale/ui/form.h"

namespace quorvale::setup {

// Layout shared by the pages, in twips.
inline constexpr int kPageWidth = 7590;
inline constexpr int kPageHeight = 5340;
inline constexpr int kButtonTop = 4560;
inline constexpr int kSeparatorTop = 4320;
inline constexpr int kButtonWidth = 1215;
inline constexpr int kButtonHeight = 375;

class WizardPage : public ui::Form {
 public:
  WizardPage(SetupProgram& program, std::string name);
  SetupProgram& Program() const { return program_; }

  // The field that gets the focus when the page is entered (none: nullptr).
  // Arriving forwards is also where the focus goes when leaving the page is
  // refused.
  virtual ui::Control* EntryFocus(Arrival how) = 0;

 protected:
  // Takes Welcome's icon; pages that do more on load call this first.
  void OnLoad() override;
  // Runs the close check; the page stays unless the user ends the program.
  bool OnQueryUnload(ui::UnloadMode mode) override;

  // Next and Back along the program's order.
  void GoNext() { program_.Next(*this); }
  void GoBack() { program_.Back(*this); }

  // The banner across the top and the separator frame above the buttons,
  // its top at separator_top.
  void PlaceFrame(ui::Image& banner, ui::Frame& separator, int separator_top = kSeparatorTop);
  // The header on the banner: the bold title and the subtitle below it.
  void PlaceHeader(ui::Label& title, const std::string& title_text, ui::Label& subtitle,
                   const std::string& subtitle_text);
  // The logo picture down the left side (Welcome, Complete), and a control
  // in the column beside it.
  void PlaceLogoColumn(ui::Image& logo);
  void PlaceBesideLogo(ui::Control& c, int top, int height);
  // The buttons along the bottom (step may be nullptr); next is the default.
  void PlaceButtons(ui::CommandButton* step, ui::CommandButton& next, ui::CommandButton& cancel);
  static void Place(ui::Control& c, int left, int top, int width, int height) {
    c.Move(left, top, width, height);
  }

  // An input error: the message (the title, "错误" unless given; question
  // icon, OK), then the focus on focus when given.
  void InputError(const std::string& message, ui::Control* focus, const char* title = "错误");
  // The box's value checked by its rule (value_rules.h): when refused, the
  // input error with the focus on the box, and true.
  bool Refused(ui::TextBox& box, const ValueRule& rule, const char* title = "错误");

  // Ends the program with its outcome noted.
  [[noreturn]] void EndWith(Outcome outcome, std::string detail) {
    program_.EndWith(outcome, std::move(detail));
  }

  // Runs one statement of a resume-on-error handler.
  // True when the statement completed.
  template <class F>
  bool Resume(F&& statement) {
    return program_.PageErr().Resume(std::forward<F>(statement));
  }

 private:
  SetupProgram& program_;
};

}  // namespace quorvale::setup
