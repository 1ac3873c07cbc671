// What a whole server-end installation shows and leaves, written out from
// the install's own step table and file formats: the list lines, captions
// and bar widths of each mail choice, the install folder's files, and
// System.ini section by section.
#pragma once

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ini_entries.h"
#include "server_run.h"

namespace quorvale::server::testing {

inline std::vector<std::string> Joined(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline const std::vector<std::string> kMailSiteLines = {
    "正在准备建立企业邮局站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组...",
    "正在设置网站文件夹权限...",   "正在建立企业邮局站点...", "正在建立企业邮局站点虚拟目录...",
    "正在启动企业邮局站点...",     "正在配置企业邮局站点...", "正在注册企业邮局组件..."};

// The list: step 2's line is longer than its caption; the mail steps only
// with WinWebMail; the last caption never.
inline std::vector<std::string> ExpectedLines(bool winwebmail) {
  return Joined(
      {{"正在准备安装...", "正在建立目标安装目录...", "正在释放安装程序包...", "正在解压缩安装文件..."},
       winwebmail ? kMailSiteLines : std::vector<std::string>{},
       {"正在注册组件...", "正在修改配置文件...", "正在注册系统服务...", "正在建立快捷方式到桌面...",
        "正在删除安装文件...", "正在配置反安装系统..."}});
}

inline std::vector<std::string> ExpectedCaptions(bool winwebmail) {
  return Joined(
      {{"正在准备安装...", "建立安装目录...", "正在释放安装程序包...", "正在解压缩安装文件..."},
       winwebmail ? kMailSiteLines : std::vector<std::string>{},
       {"正在注册组件...", "正在修改配置文件...", "正在注册系统服务...", "正在建立快捷方式到桌面...",
        "正在删除安装文件...", "正在配置反安装系统...", "安装完毕..."}});
}

// Every width the bar takes; without WinWebMail it jumps from 2700 to 3900.
inline std::vector<int> ExpectedWidths(bool winwebmail) {
  std::vector<int> widths = {50,   100,  150,  200,  300,  400,  500,  600,  700,  800,
                             900,  1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800,
                             1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700};
  if (winwebmail)
    for (int w : {2800, 2900, 3100, 3200, 3300, 3500, 3600, 3800}) widths.push_back(w);
  for (int w : {3900, 4000, 4200, 4400, 4600, 4800, 4900, 5000, 5100, 5200, 5300, 5400,
                5500, 5600, 5700, 5800, 5900, 6000, 6200, 6300, 6400, 6500, 6600, 6765})
    widths.push_back(w);
  return widths;
}

// The loop turns from the bar at 150 (before the first byte is written, one
// turn before each byte) to each progress point of the two files: a width
// comes just before the byte of its index. The archive is 2,861,144 bytes,
// the unpacker 314,368; 2700 once the unpacker is started.
inline std::vector<std::pair<int, std::int64_t>> ExpectedProgressPoints() {
  std::vector<std::pair<int, std::int64_t>> points;
  for (int k = 1; k <= 21; ++k) points.push_back({100 * (k + 1), 100000LL * k + 2});
  points.push_back({2300, 2204405 + 2});
  points.push_back({2400, 2861144 + 100000 + 2});
  points.push_back({2500, 2861144 + 200000 + 2});
  points.push_back({2600, 2861144 + 300000 + 2});
  points.push_back({2700, 2861144 + 314368 + 1});
  return points;
}

// The install folder after the run: the archive's files less the four
// controls (moved), MailCtrl.asp (moved or deleted) and, without WinWebMail,
// WinWebMail.dll; the two unpacking files gone; the record written.
inline std::vector<std::string> ExpectedInstallFiles(bool winwebmail) {
  std::vector<std::string> files = {"Bin\\",
                                    "Bin\\Ad.htm",
                                    "Bin\\Rar.exe",
                                    "Bin\\screnc.exe",
                                    "Log\\",
                                    "Quorvale.exe",
                                    "Service.exe",
                                    "System.ini",
                                    "Template\\",
                                    "Template\\404.htm",
                                    "Template\\Images\\",
                                    "Template\\Images\\arrow.gif",
                                    "Template\\Images\\banner.jpg",
                                    "Template\\Images\\bg.gif",
                                    "Template\\Images\\bottom.gif",
                                    "Template\\Images\\dot.gif",
                                    "Template\\Images\\left.gif",
                                    "Template\\Images\\line.gif",
                                    "Template\\Images\\logo.gif",
                                    "Template\\Images\\right.gif",
                                    "Template\\Images\\spacer.gif",
                                    "Template\\Images\\top.gif",
                                    "Template\\Web.Config",
                                    "Template\\index.htm",
                                    "Uninstall.exe",
                                    "Uninstall.ini",
                                    "说明.txt"};
  if (winwebmail) files.push_back("WinWebMail.dll");
  std::sort(files.begin(), files.end());
  return files;
}

// What the pages held for a run.
struct PageValues {
  std::string folder;   // the install folder
  std::string windows;  // the script maps' Windows folder
  bool imail = false;
  bool sql_server = false, my_sql = false;
  bool net = false, cgi = false, php = false, wap = false;
};

// System.ini as the install leaves it, in file order: the shipped sections,
// the keys the install writes in their place, the members of cleared
// groups removed.
inline setup::testing::Entries ExpectedSystemIni(const PageValues& v) {
  using Section = std::vector<std::pair<std::string, std::string>>;
  auto with = [&](const std::string& text) {
    std::string out = text;
    for (std::size_t at; (at = out.find("{W}")) != std::string::npos;) out.replace(at, 3, v.windows);
    return out;
  };
  const char* net = "\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,";
  auto n = [&](const char* ext, const char* flags) {
    return std::string(".") + ext + ",{W}" + net + flags + ",GET,HEAD,POST,DEBUG";
  };
  std::vector<std::pair<std::string, std::string>> dotnet;
  for (auto [key, ext, flags] :
       std::vector<std::tuple<const char*, const char*, const char*>>{{"ASPX", "aspx", "1"},
                                                                      {"ASAX", "asax", "5"},
                                                                      {"ASCX", "ascx", "5"},
                                                                      {"ASHX", "ashx", "1"},
                                                                      {"ASMX", "asmx", "1"},
                                                                      {"AXD", "axd", "1"},
                                                                      {"VSDISCO", "vsdisco", "1"},
                                                                      {"Rem", "rem", "1"},
                                                                      {"SOAP", "soap", "1"},
                                                                      {"CONFIG", "config", "5"},
                                                                      {"CS", "cs", "5"},
                                                                      {"CSPROJ", "csproj", "5"},
                                                                      {"VB", "vb", "5"},
                                                                      {"VBPROJ", "vbproj", "5"},
                                                                      {"WEBINFO", "webinfo", "5"},
                                                                      {"LICX", "licx", "5"},
                                                                      {"RESX", "resx", "5"},
                                                                      {"RESOURCES", "resources", "5"}})
    dotnet.push_back({key, n(ext, flags)});

  Section scripts, maps;
  auto group = [&](const char* key, const char* list, bool written,
                   const std::vector<std::pair<std::string, std::string>>& members) {
    maps.push_back({key, written ? list : ""});
    if (written)
      for (const auto& [k, line] : members) scripts.push_back({k, with(line)});
  };
  group("HTM", "IDC|STM|SHTM|SHTML|MDB", true,
        {{"IDC", ".idc,{W}\\system32\\inetsrv\\httpodbc.dll,5,GET,POST"},
         {"STM", ".stm,{W}\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
         {"SHTM", ".shtm,{W}\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
         {"SHTML", ".shtml,{W}\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
         {"MDB", ".mdb,{W}\\system32\\inetsrv\\ssinc.dll,5,GET,POST"}});
  group("ASP", "ASP|ASA|CDX|CER", true,
        {{"ASP", ".asp,{W}\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
         {"ASA", ".asa,{W}\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
         {"CDX", ".cdx,{W}\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
         {"CER", ".cer,{W}\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"}});
  group(
      "NET",
      "ASPX|ASAX|ASCX|ASHX|ASMX|AXD|VSDISCO|REM|SOAP|CONFIG|CS|CSPROJ|VB|VBPROJ|WEBINFO|LICX|RESX|RESOURCES",
      v.net, dotnet);
  group("CGI", "PL|CGI", v.cgi,
        {{"PL", ".pl,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"},
         {"CGI", ".cgi,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"}});
  group("PHP", "PHP", v.php, {{"PHP", ".php,C:\\php\\php.exe,1,GET,HEAD,POST"}});
  group("WAP", "WML|WMLC|WBMP|WMLSC|WMLS|WSC", v.wap,
        {{"WML", ".wml,text/vnd.wap.wml"},
         {"WMLC", ".wmlc,application/vnd.wap.wmlc"},
         {"WBMP", ".wbmp,image/vnd.wap.wbmp"},
         {"WMLSC", ".wmlsc,application/vnd.wap.wmlscriptc"},
         {"WMLS", ".wmls,text/vnd.wap.wmlscript"},
         {"WSC", ".wsc,application/vnd.wap.wmlscriptc"}});
  group("NODOWN", "EXE|ZIP|RAR", true,
        {{"EXE", ".exe,NoDown,1,GET,HEAD,POST"},
         {"ZIP", ".zip,NoDown,1,GET,HEAD,POST"},
         {"RAR", ".rar,NoDown,1,GET,HEAD,POST"}});

  const Section unset = {{"State", "1"}, {"Server", ""}, {"UserName", ""}, {"PassWord", ""}};
  const std::vector<std::pair<std::string, Section>> sections = {
      {"System",
       {{"Footer", v.folder + "\\Bin\\Ad.htm"},
        {"WinRar", v.folder + "\\Bin\\Rar.exe"},
        {"ScriptEncode", v.folder + "\\Bin\\screnc.exe"}}},
      {"ServU", {{"ServUPath", "C:\\Program Files\\Serv-U\\ServUDaemon.ini"}}},
      {"Mail", v.imail ? Section{{"State", "0"}, {"MailPath", "C:\\IMail"}}
                       : Section{{"State", "1"}, {"MailPath", ""}}},
      {"MSSQL",
       v.sql_server
           ? Section{{"State", "0"}, {"Server", "(local)"}, {"UserName", "sa"}, {"PassWord", "Sa2000"}}
           : unset},
      {"MySQL", v.my_sql ? Section{{"State", "0"},
                                   {"Server", "localhost"},
                                   {"UserName", MariaDbUser()},
                                   {"PassWord", MariaDbPassword()}}
                         : unset},
      {"ScriptMaps", maps},
      {"SCRIPT", scripts},
  };
  setup::testing::Entries entries;
  for (const auto& [section, keys] : sections)
    for (const auto& [key, value] : keys) entries.push_back({section, key, value});
  return entries;
}

}  // namespace quorvale::server::testing
