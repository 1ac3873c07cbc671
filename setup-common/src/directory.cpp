#include "quorvale/setup/directory.h"

#include "quorvale/core/text.h"
#include "quorvale/setup/number_text.h"

namespace quorvale::setup {

namespace {
std::string WithoutGB(std::string s) {
  for (auto p = s.find("GB"); p != std::string::npos; p = s.find("GB")) s.erase(p, 2);
  return s;
}
}  // namespace

DirectoryPage::DirectoryPage(SetupProgram& program) : WizardPage(program, "Directory") {
  const auto& t = program.Texts();
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption(t.next_caption);
  Label2.SetCaption("请选择安装位置");
  Label2.SetFontBold(true);
  Label3.SetCaption("选择Quorvale虚拟主机管理系统要安装的文件夹");
  Label1.SetCaption(
      "安装程序将安装 "
      "Quorvale虚拟主机管理系统到下列文件夹，点击“浏览”并选择其他的文件夹。或单击“下一步”继续安装。");
  Frame2.SetCaption("目标文件夹");
  ViewButton.SetCaption("浏览(&B)");
  Label4.SetCaption("所需空间：");
  USpace.SetCaption(t.space_needed);
  Label6.SetCaption("可用空间：");
  Place(Label2, 360, 240, 6000, 255);
  Place(Label3, 600, 600, 6000, 255);
  Place(Label1, 510, 1200, 6585, 615);
  Place(Frame2, 510, 2040, 6585, 975);
  Directory.SetContainer(Frame2);
  ViewButton.SetContainer(Frame2);
  Place(Directory, 180, 390, 4905, 345);
  Place(ViewButton, 5160, 375, 1215, 375);
  Place(Label4, 510, 3360, 1095, 255);
  Place(USpace, 1620, 3360, 1500, 255);
  Place(Label6, 510, 3720, 1095, 255);
  Place(ZSpace, 1620, 3720, 1500, 255);
  Directory.SetLocked(true);
  ViewButton.OnClick([this] { ViewButtonClick(); });
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { Program().BeforeDirectory(*this); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

std::string DirectoryPage::GetSystemDrive() {
  const auto& hooks = Program().Hooks();
  std::string windows;
  Resume([&] {
    if (hooks.windows_directory) windows = FirstChars(hooks.windows_directory(), 80);
  });
  return FirstChars(windows, 3);
}

std::string DirectoryPage::OpenFolder(const ui::Form& owner, const std::string& title) {
  std::optional<std::string> f;
  Resume([&] { f = Program().App().BrowseForFolder(&owner, title, 1); });
  return f.value_or("");
}

std::string DirectoryPage::GetDriveFreeSpace(const std::string& drive) {
  const auto& hooks = Program().Hooks();
  DiskFreeSpace space;
  Resume([&] {
    if (hooks.disk_free_space) space = hooks.disk_free_space(drive).value_or(DiskFreeSpace{});
  });
  return FormatFreeSpace(FreeGigabytes(space));
}

void DirectoryPage::OnLoad() {
  WizardPage::OnLoad();
  const auto& hooks = Program().Hooks();
  const std::string& words = Program().Texts().end_words;
  std::string root = GetSystemDrive();
  bool program_files = false;
  Resume([&] { program_files = hooks.folder_exists && hooks.folder_exists(root + "Program Files"); });
  Directory.SetText(program_files ? root + "Program Files\\Quorvale\\" + words : root + "Quorvale\\" + words);
  ZSpace.SetCaption(GetDriveFreeSpace(FirstChars(Directory.Text(), 3)) + "GB");
}

void DirectoryPage::ViewButtonClick() {
  const std::string& words = Program().Texts().end_words;
  std::string f = OpenFolder(*this, kBrowsePrompt);
  if (!f.empty()) {
    Directory.SetText(CharCount(f) == 3 ? f + "Quorvale\\" + words : f + "\\Quorvale\\" + words);
    std::string s = GetDriveFreeSpace(FirstChars(f, 3));
    ZSpace.SetCaption(ReadNumber(s) ? GetDriveFreeSpace(FirstChars(f, 3)) + "GB" : "0GB");
  }
  Resume([&] { Directory.SetFocus(); });
}

void DirectoryPage::NextButtonClick() {
  const auto& t = Program().Texts();
  if (t.directory_refuses_empty && Directory.Text().empty()) {
    MsgBox(kChooseFolder, ui::MsgButtons::OK, ui::MsgIcon::Question, kErrorTitle);
    Resume([&] { Directory.SetFocus(); });
    return;
  }
  auto free = ReadNumber(WithoutGB(ZSpace.Caption()));
  if (!free || *free < t.min_free_gb) {
    MsgBox(kNoSpace, ui::MsgButtons::OK, ui::MsgIcon::Question, kErrorTitle);
    Resume([&] { Directory.SetFocus(); });
    return;
  }
  Program().AfterDirectory(*this);
}

}  // namespace quorvale::setup
