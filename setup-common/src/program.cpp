#include "quorvale/setup/program.h"

#include <stdexcept>

#include "quorvale/setup/wizard_page.h"
#include "quorvale/win32/win32.h"

namespace quorvale::setup {

SetupProgram::SetupProgram(ui::Application& app, ProgramProfile profile)
    : app_(app), profile_(std::move(profile)) {
  if (profile_.order.empty()) throw std::logic_error(profile_.name + ": the profile has no pages");
  previous_dialog_ =
      win32::SetFileDialog([this](const win32::FileDialogRequest& r) { return ShowFileDialog(r); });
}

SetupProgram::~SetupProgram() { win32::SetFileDialog(std::move(previous_dialog_)); }

win32::HWND WindowHandle(const ui::Form& form) {
  return reinterpret_cast<win32::HWND>(const_cast<ui::Form*>(&form));
}

std::optional<std::string> SetupProgram::ShowFileDialog(const win32::FileDialogRequest& request) {
  std::string owner;
  for (const ui::Form* f : app_.Forms()) {
    if (WindowHandle(*f) == request.record->hwndOwner) owner = f->Name();
  }
  return app_.OpenFile({owner, request.filter, request.title, request.initial_folder, request.record->Flags});
}

WizardPage& SetupProgram::StartPage() { return profile_.order.front().open(*this); }

void SetupProgram::Start() {
  if (profile_.start) return profile_.start(*this);
  StartPage().Show();
}

std::size_t SetupProgram::PlaceOf(const WizardPage& page) const {
  const std::type_index type(typeid(page));
  for (std::size_t i = 0; i < profile_.order.size(); ++i) {
    if (profile_.order[i].type == type) return i;
  }
  throw std::logic_error(profile_.name + ": page " + page.Name() + " is not in the order");
}

void SetupProgram::Next(WizardPage& from) {
  for (std::size_t i = PlaceOf(from) + 1; i < profile_.order.size(); ++i) {
    const auto& when = profile_.order[i].when;
    if (!when || when(*this)) return Go(from, i, Arrival::Forward);
  }
}

void SetupProgram::Back(WizardPage& from) {
  for (std::size_t i = PlaceOf(from); i-- > 0;) {
    const auto& when = profile_.order[i].when;
    if (!when || when(*this)) return Go(from, i, Arrival::Back);
  }
}

void SetupProgram::Go(WizardPage& from, std::size_t to, Arrival how) {
  WizardPage& page = profile_.order[to].open(*this);
  SwitchPage(from, page, page.EntryFocus(how));
}

void SetupProgram::SwitchPage(ui::Form& from, ui::Form& to, ui::Control* focus) {
  to.Show();
  if (focus) err_.Resume([&] { focus->SetFocus(); });
  from.Hide();
}

void SetupProgram::ConfirmExit(const std::string& page, ui::Control* stay_focus) {
  if (app_.MsgBox("安装程序未完成安装。如果现在退出，您的程序将不能安装。\r\n\r\n您确定要退出安装程序吗？",
                  ui::MsgButtons::OKCancel, ui::MsgIcon::Question, "安装") == ui::MsgResult::OK) {
    EndWith(Outcome::kCancelled, "the exit question answered OK on " + page);
  }
  if (stay_focus) err_.Resume([&] { stay_focus->SetFocus(); });
}

void SetupProgram::NoteOutcome(Outcome outcome, std::string detail) {
  if (outcome_.outcome != Outcome::kNone) return;
  outcome_ = {outcome, std::move(detail)};
}

void SetupProgram::EndWith(Outcome outcome, std::string detail) {
  NoteOutcome(outcome, std::move(detail));
  app_.End();
}

bool SetupProgram::StartProgram(const std::string& command_line) {
  auto ansi = win32::ToAnsi(command_line);
  return ansi && win32::WinExec(ansi->c_str(), win32::SW_SHOWNORMAL) > 31;
}

void SetupProgram::RunSequence(ProgressPage& page) {
  if (!profile_.sequence) throw std::logic_error(profile_.name + ": the profile has no sequence");
  profile_.sequence(*this, page);
}

std::string AppPathOf(const std::string& program_file) {
  const auto end = program_file.rfind('\\');
  if (end == std::string::npos) return "";
  std::string folder = program_file.substr(0, end);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string RunningAppPath() {
  char buffer[win32::MAX_PATH] = {};
  const auto n = win32::GetModuleFileNameA(nullptr, buffer, win32::MAX_PATH);
  if (n == 0 || n >= win32::MAX_PATH) return "";
  return AppPathOf(win32::FromAnsi(std::string(buffer, n)));
}

}  // namespace quorvale::setup
