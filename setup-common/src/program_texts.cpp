#include "quorvale/setup/program_texts.h"

namespace quorvale::setup {

namespace {

// The texts that name the end installed.
ProgramTexts TextsOf(InstallEnd end) {
  ProgramTexts t;
  t.end = end;
  t.caption = ProductCaption(end);
  t.welcome_label2 = "即将安装" + ProductName(end) + "。";
  t.complete_label2 = "您已成功安装" + ProductName(end) + "。";
  return t;
}

}  // namespace

ProgramTexts ServerEndTexts() {
  ProgramTexts t = TextsOf(InstallEnd::kServer);
  t.icon = ui::Picture{"Server.ico"};
  t.welcome_label5 =
      "安装被控端程序之前请确认您已经安装该服务器上即将提供服务的相关程序，如：IIS、PHP、CGI、Serv-U、"
      "Imail或WinWebMail、SQL Server、MySQL以及MySQL ODBC驱动等。";
  t.next_caption = "下一步(&I)";
  t.space_needed = "4.8MB";
  return t;
}

ProgramTexts ControlEndTexts() {
  ProgramTexts t = TextsOf(InstallEnd::kControl);
  t.icon = ui::Picture{"Client.ico"};
  t.next_caption = "下一步(&N) >";
  t.space_needed = "28.3MB";
  return t;
}

ProgramRules ServerEndRules() { return {0.01, true, true}; }
ProgramRules ControlEndRules() { return {0.03, false, false}; }

}  // namespace quorvale::setup
