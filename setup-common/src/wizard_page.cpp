#include "quorvale/setup/wizard_page.h"

namespace quorvale::setup {

namespace {
constexpr int kLogoWidth = 2490, kLogoHeight = 4320;
constexpr int kColumnLeft = 2640, kColumnWidth = 4695;
}  // namespace

WizardPage::WizardPage(SetupProgram& program, std::string name)
    : ui::Form(program.App(), std::move(name)), program_(program) {
  SetCaption(program.Texts().caption);
  Move(0, 0, kPageWidth, kPageHeight);
}

void WizardPage::OnLoad() { SetIcon(program_.StartPage().Icon()); }

bool WizardPage::OnQueryUnload(ui::UnloadMode) {
  program_.ConfirmExit(Name(), EntryFocus(Arrival::Forward));
  return true;
}

void WizardPage::InputError(const std::string& message, ui::Control* focus, const char* title) {
  MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Question, title);
  if (focus) Resume([&] { focus->SetFocus(); });
}

bool WizardPage::Refused(ui::TextBox& box, const ValueRule& rule, const char* title) {
  const auto message = RefusalOf(box.Text(), rule);
  if (message) InputError(*message, &box, title);
  return message.has_value();
}

void WizardPage::PlaceFrame(ui::Image& banner, ui::Frame& separator, int separator_top) {
  Place(banner, 0, 0, kPageWidth, 1065);
  Place(separator, -120, separator_top, kPageWidth + 240, 30);
}

void WizardPage::PlaceHeader(ui::Label& title, const std::string& title_text, ui::Label& subtitle,
                             const std::string& subtitle_text) {
  title.SetCaption(title_text);
  title.SetFontBold(true);
  Place(title, 360, 240, 6000, 255);
  subtitle.SetCaption(subtitle_text);
  Place(subtitle, 600, 600, 6000, 255);
}

void WizardPage::PlaceLogoColumn(ui::Image& logo) { Place(logo, 0, 0, kLogoWidth, kLogoHeight); }

void WizardPage::PlaceBesideLogo(ui::Control& c, int top, int height) {
  Place(c, kColumnLeft, top, kColumnWidth, height);
}

void WizardPage::PlaceButtons(ui::CommandButton* step, ui::CommandButton& next, ui::CommandButton& cancel) {
  if (step) {
    Place(*step, 3330, kButtonTop, kButtonWidth, kButtonHeight);
    step->SetCaption("< 上一步(&P)");
  }
  Place(next, 4560, kButtonTop, kButtonWidth, kButtonHeight);
  next.SetDefault(true);
  Place(cancel, 6030, kButtonTop, kButtonWidth, kButtonHeight);
  cancel.SetCaption("取消(&C)");
}

}  // namespace quorvale::setup
