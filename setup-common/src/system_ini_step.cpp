#include "quorvale/setup/system_ini_step.h"

#include <vector>

#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"

namespace quorvale::setup {

namespace {

// What stands between a member line's head and tail.
enum class Middle { kNothing, kWindows, kCgiFile, kPhpFile };

struct Member {
  const char* key;
  const char* head;
  Middle middle;
  const char* tail;
};

struct Group {
  const char* key;
  const char* list;
  int ServerChoices::*box;  // nullptr: always written
  int width;                // the bar after the group; 0: none
  std::vector<Member> members;
};

constexpr Middle W = Middle::kWindows;
constexpr const char* kHttpOdbc = "\\system32\\inetsrv\\httpodbc.dll,5,GET,POST";
constexpr const char* kSsinc = "\\system32\\inetsrv\\ssinc.dll,5,GET,POST";
constexpr const char* kAsp = "\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE";
constexpr const char* kNet1 = "\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG";
constexpr const char* kNet5 = "\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG";
constexpr const char* kCgiTail = " \"%s\" %s,4,GET,HEAD,POST";

const std::vector<Group>& Groups() {
  static const std::vector<Group> groups = {
      {.key = "HTM",
       .list = "IDC|STM|SHTM|SHTML|MDB",
       .box = nullptr,
       .width = 0,
       .members = {{"IDC", ".idc,", W, kHttpOdbc},
                   {"STM", ".stm,", W, kSsinc},
                   {"SHTM", ".shtm,", W, kSsinc},
                   {"SHTML", ".shtml,", W, kSsinc},
                   {"MDB", ".mdb,", W, kSsinc}}},
      {.key = "ASP",
       .list = "ASP|ASA|CDX|CER",
       .box = nullptr,
       .width = 0,
       .members = {{"ASP", ".asp,", W, kAsp},
                   {"ASA", ".asa,", W, kAsp},
                   {"CDX", ".cdx,", W, kAsp},
                   {"CER", ".cer,", W, kAsp}}},
      {.key = "NET",
       .list = "ASPX|ASAX|ASCX|ASHX|ASMX|AXD|VSDISCO|REM|SOAP|CONFIG|CS|CSPROJ|VB|VBPROJ|WEBINFO|LICX|RESX|"
               "RESOURCES",
       .box = &ServerChoices::net,
       .width = 0,
       .members = {{"ASPX", ".aspx,", W, kNet1},
                   {"ASAX", ".asax,", W, kNet5},
                   {"ASCX", ".ascx,", W, kNet5},
                   {"ASHX", ".ashx,", W, kNet1},
                   {"ASMX", ".asmx,", W, kNet1},
                   {"AXD", ".axd,", W, kNet1},
                   {"VSDISCO", ".vsdisco,", W, kNet1},
                   {"Rem", ".rem,", W, kNet1},
                   {"SOAP", ".soap,", W, kNet1},
                   {"CONFIG", ".config,", W, kNet5},
                   {"CS", ".cs,", W, kNet5},
                   {"CSPROJ", ".csproj,", W, kNet5},
                   {"VB", ".vb,", W, kNet5},
                   {"VBPROJ", ".vbproj,", W, kNet5},
                   {"WEBINFO", ".webinfo,", W, kNet5},
                   {"LICX", ".licx,", W, kNet5},
                   {"RESX", ".resx,", W, kNet5},
                   {"RESOURCES", ".resources,", W, kNet5}}},
      {.key = "CGI",
       .list = "PL|CGI",
       .box = &ServerChoices::cgi,
       .width = 0,
       .members = {{"PL", ".pl,", Middle::kCgiFile, kCgiTail}, {"CGI", ".cgi,", Middle::kCgiFile, kCgiTail}}},
      {.key = "PHP",
       .list = "PHP",
       .box = &ServerChoices::php,
       .width = 5800,
       .members = {{"PHP", ".php,", Middle::kPhpFile, ",1,GET,HEAD,POST"}}},
      {.key = "WAP",
       .list = "WML|WMLC|WBMP|WMLSC|WMLS|WSC",
       .box = &ServerChoices::wap,
       .width = 5900,
       .members = {{"WML", ".wml,text/vnd.wap.wml", Middle::kNothing, ""},
                   {"WMLC", ".wmlc,application/vnd.wap.wmlc", Middle::kNothing, ""},
                   {"WBMP", ".wbmp,image/vnd.wap.wbmp", Middle::kNothing, ""},
                   {"WMLSC", ".wmlsc,application/vnd.wap.wmlscriptc", Middle::kNothing, ""},
                   {"WMLS", ".wmls,text/vnd.wap.wmlscript", Middle::kNothing, ""},
                   {"WSC", ".wsc,application/vnd.wap.wmlscriptc", Middle::kNothing, ""}}},
      {.key = "NODOWN",
       .list = "EXE|ZIP|RAR",
       .box = nullptr,
       .width = 0,
       .members = {{"EXE", ".exe,NoDown,1,GET,HEAD,POST", Middle::kNothing, ""},
                   {"ZIP", ".zip,NoDown,1,GET,HEAD,POST", Middle::kNothing, ""},
                   {"RAR", ".rar,NoDown,1,GET,HEAD,POST", Middle::kNothing, ""}}},
  };
  return groups;
}

class SystemIniWriter {
 public:
  SystemIniWriter(StepReporter& r, IniHelpers& ini, const ServerChoices& c) : r_(r), ini_(ini), c_(c) {}

  void Run() {
    r_.ShowStep("正在修改配置文件...");
    r_.MoveBar(5300);
    ini_.INIFileName = c_.folder + "\\System.ini";
    Write("System", "Footer", c_.folder + "\\Bin\\Ad.htm");
    Write("System", "WinRar", c_.folder + "\\Bin\\Rar.exe");
    Write("System", "ScriptEncode", c_.folder + "\\Bin\\screnc.exe");
    Write("ServU", "ServUPath", c_.serv_u_file);
    r_.MoveBar(5400);
    if (c_.imail) {
      Write("Mail", "State", "0");
      Write("Mail", "MailPath", c_.imail_path);
    }
    r_.MoveBar(5500);
    if (c_.sql_server == 1) Database("MSSQL", c_.mssql_server, c_.mssql_user_name, c_.mssql_password);
    r_.MoveBar(5600);
    if (c_.my_sql == 1) Database("MySQL", c_.mysql_server, c_.mysql_user_name, c_.mysql_password);
    r_.MoveBar(5700);
    const std::string windows = ScriptMapWindowsFolder(c_.os_name);
    for (const auto& group : Groups()) {
      if (!group.box || c_.*group.box == 1) {
        Write("ScriptMaps", group.key, group.list);
        for (const auto& m : group.members) Write("SCRIPT", m.key, m.head + MiddleText(m, windows) + m.tail);
      } else {
        Write("ScriptMaps", group.key, "");
        for (const auto& m : group.members) r_.SequenceErr().Resume([&] { ini_.DelIniKey("SCRIPT", m.key); });
      }
      if (group.width) r_.MoveBar(group.width);
    }
  }

 private:
  void Write(const char* section, const char* key, const std::string& value) {
    r_.SequenceErr().Resume([&] { ini_.WriteIniKey(section, key, value); });
  }
  void Database(const char* section, const std::string& server, const std::string& user,
                const std::string& password) {
    Write(section, "State", "0");
    Write(section, "Server", server);
    Write(section, "UserName", user);
    Write(section, "PassWord", password);
  }
  std::string MiddleText(const Member& m, const std::string& windows) const {
    switch (m.middle) {
      case Middle::kWindows: return windows;
      case Middle::kCgiFile: return c_.cgi_file;
      case Middle::kPhpFile: return c_.php_file;
      case Middle::kNothing: break;
    }
    return "";
  }

  StepReporter& r_;
  IniHelpers& ini_;
  const ServerChoices& c_;
};

}  // namespace

std::string ScriptMapWindowsFolder(const std::string& os_name) {
  return UpperCase(os_name) == "WINDOWS 2000" ? "C:\\winnt" : "C:\\WINDOWS";
}

void CompleteSystemIni(StepReporter& reporter, IniHelpers& ini, const ServerChoices& choices) {
  SystemIniWriter(reporter, ini, choices).Run();
}

}  // namespace quorvale::setup
