#include "quorvale/setup/install_page.h"

namespace quorvale::setup {

InstallPage::InstallPage(SetupProgram& program) : ProgressPage(program, "Install") {
  PlaceFrame(Image1, Frame1, kProgressSeparatorTop);
  PlaceHeader(Label2, "正在安装", Label3, "正在将Quorvale虚拟主机管理系统安装到您的电脑中。");
  StateCaption.SetCaption("正在准备安装...");
}

}  // namespace quorvale::setup
