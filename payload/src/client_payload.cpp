#include <utility>

#include "quorvale/payload/payloads.h"
#include "quorvale/sqlserver/data_files.h"

namespace quorvale::payload {

std::string ShippedConnAsp() {
  return AnsiText(
      "<%\n"
      "'Quorvale 虚拟主机管理系统 控制面板：数据库连接\n"
      "'安装程序和修复程序读写下面五个设置，请保持每个设置各占一行。\n"
      "Option Explicit\n"
      "Server.ScriptTimeout = 90\n"
      "\n"
      "Dim DBType, ServerName, UserName, PassWord, DataBase\n"
      "DBType = \"Access\"                '数据库类型：Access 或 SQL\n"
      "ServerName = \"(local)\"           'SQL Server 数据库服务器\n"
      "UserName = \"\"                    '数据库用户名\n"
      "PassWord = \"\"                    '数据库密码\n"
      "DataBase = \"\"                    '数据库名\n"
      "\n"
      "Dim Conn, ConnStr\n"
      "If DBType = \"SQL\" Then\n"
      "  ConnStr = \"Provider=SQLOLEDB;Data Source=\" & ServerName & \";User ID=\" & UserName & _\n"
      "            \";Password=\" & PassWord & \";Initial Catalog=\" & DataBase\n"
      "Else\n"
      "  ConnStr = \"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\" & "
      "Server.MapPath(\"Data/Quorvale.mdb\")\n"
      "End If\n"
      "Set Conn = Server.CreateObject(\"ADODB.Connection\")\n"
      "Conn.Open ConnStr\n"
      "%>\n");
}

std::vector<RarMember> ClientPayloadMembers(const ControlEndFiles& files) {
  auto file = [](const std::string& name, std::string data) {
    return RarMember{name, false, std::move(data)};
  };
  auto stand_in = [&](const std::string& name, const std::string& what) {
    return file(name, StandIn(name, what));
  };
  std::vector<RarMember> members = {
      stand_in("Web\\Index.asp", "控制面板的首页"),
      stand_in("Web\\Login.asp", "控制面板的登录页面"),
      stand_in("Web\\Host.asp", "控制面板管理虚拟主机的页面（经 Quorvale.Host 向被控端发命令）"),
      file("Web\\Inc\\Conn.asp", ShippedConnAsp()),
      stand_in("Web\\Data\\Quorvale.mdb", "控制面板的 Access 数据库"),
      stand_in("Web\\Images\\logo.gif", "控制面板页面所用的图片"),
      // An empty database of the SQL Server stand-in, which the install
      // attaches; smaller than the real panel's files, so that the repair
      // program fits the archive.
      file("Data\\Quorvale.mdf", sqlserver::NewDataFile(262144)),
      file("Data\\Quorvale.ldf", sqlserver::NewLogFile(131072)),
      file("Uninstall.exe", files.repair),
      file("说明.txt",
           AnsiText("Quorvale 虚拟主机管理系统 v3.0 主控端\n\n"
                    "本文件代替主控端的说明文件。主控端包括控制面板网站（Web）、它的数据库文件（Data）、"
                    "管理组件 Quorvale.dll、组件 DodIde.dll 和 Jmail.dll，以及修复和卸载程序 "
                    "Uninstall.exe；数据库连接设置在 Web\\Inc\\Conn.asp 中。\n")),
      // The components last: the install waits for them in this order, and
      // once Jmail.dll is there every other file is too.
      file("DodIde.dll", files.dodide),
      file("Quorvale.dll", files.component),
      file("Jmail.dll", files.jmail),
  };
  for (const char* folder : {"Web\\Inc", "Web\\Data", "Web\\Images", "Web", "Data"})
    members.push_back({folder, true, ""});
  return members;
}

}  // namespace quorvale::payload
