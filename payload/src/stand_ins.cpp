#include <stdexcept>

#include "quorvale/core/codepage.h"
#include "quorvale/payload/payloads.h"

namespace quorvale::payload {

std::string AnsiText(const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  auto ansi = Utf8ToCp936(crlf);
  if (!ansi) throw std::runtime_error("text not in code page 936: " + utf8.substr(0, 40));
  return *ansi;
}

std::string StandIn(const std::string& file, const std::string& what, std::size_t size) {
  std::string text =
      AnsiText("Quorvale 安装包替代文件\n文件：" + file + "\n代替：" + what +
               "\n它不是原来的文件，只占用原来的文件名，让安装程序照常写出、解压、注册和删除它。\n");
  if (size == 0) return text;
  if (text.size() > size) throw std::runtime_error("stand-in text of " + file + " longer than its size");
  text.resize(size, '\0');
  return text;
}

std::string UnpackerStandIn() {
  return StandIn("Rar.exe",
                 "RAR 控制台解压程序。机器按文件名把它当作解压程序运行："
                 "Rar.exe x -r -y -o+ 安装包 目标文件夹",
                 kUnpackerSize);
}

std::string DodIdeStandIn() {
  return StandIn("DodIde.dll", "域名注册商的 .NET Framework 1.1 组件，用 RegAsm.exe /CodeBase 注册",
                 kDodIdeSize);
}

std::string JmailStandIn() {
  return StandIn("Jmail.dll", "w3 JMail 4.4 邮件组件，用 regsvr32 注册", kJmailSize);
}

std::string RepairProgramStandIn() { return StandIn("Uninstall.exe", "主控端的修复和卸载程序 Uninstall"); }

}  // namespace quorvale::payload
