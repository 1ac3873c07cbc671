#include "quorvale/server/serv_u_page.h"

#include "quorvale/core/text.h"
#include "quorvale/server/page_parts.h"
#include "quorvale/win32/win32.h"

namespace quorvale::server {

namespace w = quorvale::win32;

namespace {

// The record's text buffers, in characters.
constexpr w::DWORD kFileBuffer = 255;

std::string CurrentFolder() {
  char buffer[w::MAX_PATH] = {};
  const w::DWORD n = w::GetCurrentDirectoryA(w::MAX_PATH, buffer);
  return n > 0 && n < w::MAX_PATH ? std::string(buffer, n) : "";
}

}  // namespace

ServUPage::ServUPage(setup::SetupProgram& program) : WizardPage(program, "ServU") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(program.Texts().next_caption);
  PlaceHeader(Label2, "FTP服务配置", Label3, "配置FTP服务的相关参数");
  SetUpPathGroup({Label1, File, View}, "请选择Serv-U帐户配置文件路径：\r\n");
  Label4.SetCaption("例如：C:\\Program Files\\Serv-U\\ServUDaemon.ini");
  Place(Label4, 510, 2280, 6465, 255);
  View.OnClick([this] { ViewClick(); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

void ServUPage::OnLoad() {
  WizardPage::OnLoad();
  // The account file from the first of its usual places that has it.
  ProposeFirstPresent(*this, File,
                      {"C:\\Program Files\\Serv-U\\ServUDaemon.ini", "C:\\Serv-U\\ServUDaemon.ini",
                       "D:\\Program Files\\Serv-U\\ServUDaemon.ini", "D:\\Serv-U\\ServUDaemon.ini"});
}

std::string ServUPage::OpenFile(const ui::Form& owner, const std::string& filter, const std::string& title) {
  std::string chosen;
  Resume([&] {
    // The filter ends with an empty text: one more NUL after the last pattern.
    const std::string ansi_filter = w::ToAnsi(filter).value_or("") + '\0';
    const std::string ansi_title = w::ToAnsi(title).value_or("");
    const std::string folder = CurrentFolder();
    std::string file(kFileBuffer, '\0');
    std::string file_title(kFileBuffer, '\0');
    w::OPENFILENAMEA record{};
    record.lStructSize = w::OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = setup::WindowHandle(owner);
    record.hInstance = w::GetModuleHandleA(nullptr);
    record.lpstrFilter = ansi_filter.c_str();
    record.lpstrFile = file.data();
    record.nMaxFile = kFileBuffer;
    record.lpstrFileTitle = file_title.data();
    record.nMaxFileTitle = kFileBuffer;
    record.lpstrInitialDir = folder.c_str();
    record.lpstrTitle = ansi_title.c_str();
    record.Flags = 0;
    if (w::GetOpenFileNameA(&record)) chosen = Trim(w::FromAnsi(file.substr(0, file.find('\0'))));
  });
  return chosen;
}

void ServUPage::ViewClick() {
  const std::string filter = std::string("Serv-U 配置文件 (ServUDaemon.ini)") + '\0' + "ServUDaemon.ini";
  TakeChosenPath(*this, File, OpenFile(*this, filter, "请选择Serv-U帐户配置文件路径..."));
}

void ServUPage::NextButtonClick() {
  if (File.Text().empty()) return InputError("请选择Serv-U帐户配置文件路径!", &File, "安装");
  if (Refused(File, setup::kServUFileRule, "安装")) return;
  GoNext();
}

}  // namespace quorvale::server
