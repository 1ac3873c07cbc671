#include "quorvale/setup/directory_page.h"

#include "quorvale/core/text.h"
#include "quorvale/setup/number_text.h"
#include "quorvale/setup/system_helpers.h"
#include "quorvale/win32/win32.h"

namespace quorvale::setup {

namespace w = quorvale::win32;

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
  PlaceHeader(Label2, "请选择安装位置", Label3, "选择Quorvale虚拟主机管理系统要安装的文件夹");
  Label1.SetCaption(
      "安装程序将安装 "
      "Quorvale虚拟主机管理系统到下列文件夹，点击“浏览”并选择其他的文件夹。或单击“下一步”继续安装。");
  Frame2.SetCaption("目标文件夹");
  ViewButton.SetCaption("浏览(&B)");
  Label4.SetCaption("所需空间：");
  USpace.SetCaption(t.space_needed);
  Label6.SetCaption("可用空间：");
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
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

std::string DirectoryPage::GetSystemDrive() {
  std::string windows;
  Resume([&] {
    char buffer[80] = {};
    const auto n = w::GetWindowsDirectoryA(buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) windows = FirstChars(w::FromAnsi(std::string(buffer, n)), n);
  });
  return FirstChars(windows, 3);
}

std::string DirectoryPage::OpenFolder(const ui::Form& owner, const std::string& title) {
  std::optional<std::string> f;
  Resume([&] { f = Program().App().BrowseForFolder(&owner, title, 1); });
  return f.value_or("");
}

std::string DirectoryPage::GetDriveFreeSpace(const std::string& drive) {
  DiskFreeSpace space;
  Resume([&] {
    auto ansi = w::ToAnsi(drive);
    w::DWORD spc = 0, bps = 0, free = 0, total = 0;
    if (ansi && w::GetDiskFreeSpaceA(ansi->c_str(), &spc, &bps, &free, &total)) {
      space = {static_cast<std::int32_t>(spc), static_cast<std::int32_t>(bps),
               static_cast<std::int32_t>(free), static_cast<std::int32_t>(total)};
    }
  });
  return FormatFreeSpace(FreeGigabytes(space));
}

void DirectoryPage::OnLoad() {
  WizardPage::OnLoad();
  const std::string words = EndWordsOf(Program().Texts().end);
  const std::string root = GetSystemDrive();
  bool program_files = false;
  Resume([&] { program_files = FolderExists(root + "Program Files"); });
  Directory.SetText(program_files ? root + "Program Files\\Quorvale\\" + words : root + "Quorvale\\" + words);
  ZSpace.SetCaption(GetDriveFreeSpace(FirstChars(Directory.Text(), 3)) + "GB");
}

void DirectoryPage::ViewButtonClick() {
  const std::string words = EndWordsOf(Program().Texts().end);
  const std::string f = OpenFolder(*this, "请选择 Quorvale 安装目录：");
  if (!f.empty()) {
    Directory.SetText(CharCount(f) == 3 ? f + "Quorvale\\" + words : f + "\\Quorvale\\" + words);
    const std::string s = GetDriveFreeSpace(FirstChars(f, 3));
    ZSpace.SetCaption(ReadNumber(s) ? GetDriveFreeSpace(FirstChars(f, 3)) + "GB" : "0GB");
  }
  Resume([&] { Directory.SetFocus(); });
}

void DirectoryPage::NextButtonClick() {
  const auto& rules = Program().Rules();
  if (rules.directory_refuses_empty && Directory.Text().empty()) {
    return InputError("请选择Quorvale虚拟主机管理系统要安装的目标文件夹!", &Directory);
  }
  ValueRule rule = kInstallFolderRule;
  if (const auto& inside = Program().Profile().longest_inside) rule.inside = inside(Program());
  if (Refused(Directory, rule)) return;
  auto free = ReadNumber(WithoutGB(ZSpace.Caption()));
  if (!free || *free < rules.min_free_gb)
    return InputError("您选择的磁盘剩余空间不足,请选择其他路径!", &Directory);
  GoNext();
}

}  // namespace quorvale::setup
