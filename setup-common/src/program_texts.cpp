#include "quorvale/setup/program_texts.h"

namespace quorvale::setup {

ProgramTexts ServerEndTexts() {
  ProgramTexts t;
  t.caption = "Quorvale虚拟主机管理系统v3.0被控端";
  t.icon = ui::Picture{"Server.ico"};
  t.end_words = "被控端";
  t.welcome_label2 = "即将安装Quorvale虚拟主机管理系统v3.0 被控端。";
  t.welcome_label5 =
      "安装被控端程序之前请确认您已经安装该服务器上即将提供服务的相关程序，如：IIS、PHP、CGI、Serv-U、"
      "Imail或WinWebMail、SQL Server、MySQL以及MySQL ODBC驱动等。";
  t.uninstall_key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";
  t.next_caption = "下一步(&I)";
  t.space_needed = "4.8MB";
  t.complete_label2 = "您已成功安装Quorvale虚拟主机管理系统v3.0 被控端。";
  return t;
}

ProgramTexts ControlEndTexts() {
  ProgramTexts t;
  t.caption = "Quorvale虚拟主机管理系统v3.0主控端";
  t.icon = ui::Picture{"Client.ico"};
  t.end_words = "主控端";
  t.welcome_label2 = "即将安装Quorvale虚拟主机管理系统v3.0 主控端。";
  t.uninstall_key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";
  t.next_caption = "下一步(&N) >";
  t.space_needed = "28.3MB";
  t.complete_label2 = "您已成功安装Quorvale虚拟主机管理系统v3.0 主控端。";
  return t;
}

ProgramRules ServerEndRules() { return {0.01, true, true}; }
ProgramRules ControlEndRules() { return {0.03, false, false}; }

}  // namespace quorvale::setup
