#include <array>
#include <utility>

#include "quorvale/payload/payloads.h"

namespace quorvale::payload {

namespace {

// The fourteen page-template files, in archive order.
constexpr std::array<const char*, 11> kTemplateImages = {"logo.gif", "banner.jpg", "bg.gif",    "line.gif",
                                                         "dot.gif",  "arrow.gif",  "top.gif",   "bottom.gif",
                                                         "left.gif", "right.gif",  "spacer.gif"};

// One script-map group of System.ini: its key, its members, and the member
// lines as shipped.
struct ScriptGroup {
  const char* key;
  std::vector<std::pair<std::string, std::string>> members;
};

// A script map of the .NET framework's handler.
std::string Net(const std::string& extension, int flags) {
  return extension + ",C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll," +
         std::to_string(flags) + ",GET,HEAD,POST,DEBUG";
}

const std::vector<ScriptGroup>& ScriptGroups() {
  static const std::vector<ScriptGroup> groups = {
      {"HTM",
       {{"IDC", ".idc,C:\\WINDOWS\\system32\\inetsrv\\httpodbc.dll,5,GET,POST"},
        {"STM", ".stm,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
        {"SHTM", ".shtm,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
        {"SHTML", ".shtml,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
        {"MDB", ".mdb,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"}}},
      {"ASP",
       {{"ASP", ".asp,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
        {"ASA", ".asa,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
        {"CDX", ".cdx,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
        {"CER", ".cer,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"}}},
      {"NET",
       {{"ASPX", Net(".aspx", 1)},
        {"ASAX", Net(".asax", 5)},
        {"ASCX", Net(".ascx", 5)},
        {"ASHX", Net(".ashx", 1)},
        {"ASMX", Net(".asmx", 1)},
        {"AXD", Net(".axd", 1)},
        {"VSDISCO", Net(".vsdisco", 1)},
        {"Rem", Net(".rem", 1)},
        {"SOAP", Net(".soap", 1)},
        {"CONFIG", Net(".config", 5)},
        {"CS", Net(".cs", 5)},
        {"CSPROJ", Net(".csproj", 5)},
        {"VB", Net(".vb", 5)},
        {"VBPROJ", Net(".vbproj", 5)},
        {"WEBINFO", Net(".webinfo", 5)},
        {"LICX", Net(".licx", 5)},
        {"RESX", Net(".resx", 5)},
        {"RESOURCES", Net(".resources", 5)}}},
      {"CGI",
       {{"PL", ".pl,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"},
        {"CGI", ".cgi,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"}}},
      {"PHP", {{"PHP", ".php,C:\\PHP\\php4isapi.dll,1,GET,HEAD,POST"}}},
      {"WAP",
       {{"WML", ".wml,text/vnd.wap.wml"},
        {"WMLC", ".wmlc,application/vnd.wap.wmlc"},
        {"WBMP", ".wbmp,image/vnd.wap.wbmp"},
        {"WMLSC", ".wmlsc,application/vnd.wap.wmlscriptc"},
        {"WMLS", ".wmls,text/vnd.wap.wmlscript"},
        {"WSC", ".wsc,application/vnd.wap.wmlscriptc"}}},
      {"NODOWN",
       {{"EXE", ".exe,NoDown,1,GET,HEAD,POST"},
        {"ZIP", ".zip,NoDown,1,GET,HEAD,POST"},
        {"RAR", ".rar,NoDown,1,GET,HEAD,POST"}}},
  };
  return groups;
}

std::string GroupList(const ScriptGroup& group) {
  std::string list;
  for (const auto& [key, line] : group.members) {
    if (!list.empty()) list += '|';
    std::string upper = key;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    list += upper;
  }
  return list;
}

}  // namespace

std::string ShippedSystemIni() {
  std::string text =
      "; Quorvale 虚拟主机管理系统 被控端配置文件\n"
      "; 安装程序按所选的服务补全下面各节；State=1 表示未提供该服务。\n"
      "[System]\nFooter=\nWinRar=\nScriptEncode=\n"
      "[ServU]\nServUPath=\n"
      "[Mail]\nState=1\nMailPath=\n"
      "[MSSQL]\nState=1\nServer=\nUserName=\nPassWord=\n"
      "[MySQL]\nState=1\nServer=\nUserName=\nPassWord=\n"
      "[ScriptMaps]\n";
  for (const auto& group : ScriptGroups()) text += std::string(group.key) + "=" + GroupList(group) + "\n";
  text += "[SCRIPT]\n";
  for (const auto& group : ScriptGroups())
    for (const auto& [key, line] : group.members) text += key + "=" + line + "\n";
  return AnsiText(text);
}

std::vector<RarMember> ServerPayloadMembers(const std::string& uninstaller) {
  auto file = [](const std::string& name, std::string data) {
    return RarMember{name, false, std::move(data)};
  };
  auto stand_in = [&](const std::string& name, const std::string& what) {
    return file(name, StandIn(name, what));
  };
  std::vector<RarMember> members = {
      stand_in("MSCOMCTL.OCX",
               "Windows 公共控件（进度条、列表等）ActiveX 控件，复制到系统文件夹并用 regsvr32 注册"),
      stand_in("mswinsck.ocx", "Winsock ActiveX 控件，复制到系统文件夹并用 regsvr32 注册"),
      stand_in("ntsvc.ocx", "NT 服务 ActiveX 控件，复制到系统文件夹并用 regsvr32 注册"),
      stand_in("Service.exe",
               "被控端代理的服务程序；机器上的 Service.exe -install 把它安装为 Windows 服务 Quorvale"),
      file("System.ini", ShippedSystemIni()),
      stand_in("TABCTL32.OCX", "选项卡 ActiveX 控件，复制到系统文件夹并用 regsvr32 注册"),
      // A program of ours that says it stands for the server end's own
      // uninstaller, so that the setup's hand-over really starts something.
      file("Uninstall.exe", uninstaller),
      stand_in("WinWebMail.dll", "WinWebMail 邮件系统的组件"),
      file("说明.txt",
           AnsiText("Quorvale 虚拟主机管理系统 v3.0 被控端\n\n"
                    "本文件代替被控端的说明文件。被控端包括代理的控制台程序 Quorvale.exe、"
                    "服务程序 Service.exe、它们用到的 ActiveX 控件、网站页面模板、解压程序和脚本编码器；"
                    "配置保存在安装目录的 System.ini 中。\n")),
      stand_in("Bin\\Ad.htm", "代理生成的页面所用的页脚页面"),
      file("Bin\\Rar.exe", UnpackerStandIn()),
      stand_in("Bin\\screnc.exe", "脚本编码器（把 ASP 脚本编码）"),
      stand_in("Template\\404.htm", "新建网站的“找不到网页”页面模板"),
      stand_in("Template\\index.htm", "新建网站的首页模板"),
      stand_in("Template\\Web.Config", "新建网站的 ASP.NET 配置文件模板"),
  };
  for (const char* image : kTemplateImages)
    members.push_back(stand_in(std::string("Template\\Images\\") + image, "新建网站页面模板所用的图片"));
  members.push_back(stand_in("Quorvale.exe", "被控端代理的控制台程序"));
  members.push_back(stand_in("MailCtrl.asp", "WinWebMail 网站中接受代理邮件命令的页面"));
  for (const char* folder : {"Template\\Images", "Bin", "Log", "Template"})
    members.push_back({folder, true, ""});
  return members;
}

}  // namespace quorvale::payload
