// The System.ini step on a machine, key by key against the table of what
// the file must hold, for Windows 2000 and Windows Server 2003 and for
// combinations of the Service page's boxes, starting from the System.ini
// the payload ships (so the removals show) and from no file at all (so the
// write order shows).
#include "quorvale/setup/system_ini_step.h"

#include <algorithm>
#include <map>

#include "ini_entries.h"
#include "quorvale/payload/payloads.h"
#include "quorvale/setup/helper_module.h"
#include "quorvale/win32/ansi.h"
#include "quorvale/win32/kernel.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::RecipeMachine;
using testing::RecordedSteps;

using testing::Entries;
using testing::Entry;
using testing::ReadIni;

const char* const kFolder = "C:\\Program Files\\Quorvale";

// Everything chosen, on Windows Server 2003, in write order.
const Entries kAllChosen = {
    {"System", "Footer", "C:\\Program Files\\Quorvale\\Bin\\Ad.htm"},
    {"System", "WinRar", "C:\\Program Files\\Quorvale\\Bin\\Rar.exe"},
    {"System", "ScriptEncode", "C:\\Program Files\\Quorvale\\Bin\\screnc.exe"},
    {"ServU", "ServUPath", "D:\\Serv-U\\ServUDaemon.ini"},
    {"Mail", "State", "0"},
    {"Mail", "MailPath", "C:\\IMail"},
    {"MSSQL", "State", "0"},
    {"MSSQL", "Server", "(local)"},
    {"MSSQL", "UserName", "sa"},
    {"MSSQL", "PassWord", "p@ss;word"},
    {"MySQL", "State", "0"},
    {"MySQL", "Server", "localhost"},
    {"MySQL", "UserName", "root"},
    {"MySQL", "PassWord", "secret"},
    {"ScriptMaps", "HTM", "IDC|STM|SHTM|SHTML|MDB"},
    {"SCRIPT", "IDC", ".idc,C:\\WINDOWS\\system32\\inetsrv\\httpodbc.dll,5,GET,POST"},
    {"SCRIPT", "STM", ".stm,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
    {"SCRIPT", "SHTM", ".shtm,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
    {"SCRIPT", "SHTML", ".shtml,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
    {"SCRIPT", "MDB", ".mdb,C:\\WINDOWS\\system32\\inetsrv\\ssinc.dll,5,GET,POST"},
    {"ScriptMaps", "ASP", "ASP|ASA|CDX|CER"},
    {"SCRIPT", "ASP", ".asp,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
    {"SCRIPT", "ASA", ".asa,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
    {"SCRIPT", "CDX", ".cdx,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
    {"SCRIPT", "CER", ".cer,C:\\WINDOWS\\system32\\inetsrv\\asp.dll,5,GET,HEAD,POST,TRACE"},
    {"ScriptMaps", "NET",
     "ASPX|ASAX|ASCX|ASHX|ASMX|AXD|VSDISCO|REM|SOAP|CONFIG|CS|CSPROJ|VB|VBPROJ|WEBINFO|LICX|RESX|RESOURCES"},
    {"SCRIPT", "ASPX",
     ".aspx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "ASAX",
     ".asax,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "ASCX",
     ".ascx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "ASHX",
     ".ashx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "ASMX",
     ".asmx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "AXD",
     ".axd,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "VSDISCO",
     ".vsdisco,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "Rem",
     ".rem,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "SOAP",
     ".soap,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,1,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "CONFIG",
     ".config,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "CS",
     ".cs,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "CSPROJ",
     ".csproj,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "VB",
     ".vb,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "VBPROJ",
     ".vbproj,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "WEBINFO",
     ".webinfo,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "LICX",
     ".licx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "RESX",
     ".resx,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"SCRIPT", "RESOURCES",
     ".resources,C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\aspnet_isapi.dll,5,GET,HEAD,POST,DEBUG"},
    {"ScriptMaps", "CGI", "PL|CGI"},
    {"SCRIPT", "PL", ".pl,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"},
    {"SCRIPT", "CGI", ".cgi,C:\\Perl\\bin\\perl.exe \"%s\" %s,4,GET,HEAD,POST"},
    {"ScriptMaps", "PHP", "PHP"},
    {"SCRIPT", "PHP", ".php,D:\\PHP\\php5isapi.dll,1,GET,HEAD,POST"},
    {"ScriptMaps", "WAP", "WML|WMLC|WBMP|WMLSC|WMLS|WSC"},
    {"SCRIPT", "WML", ".wml,text/vnd.wap.wml"},
    {"SCRIPT", "WMLC", ".wmlc,application/vnd.wap.wmlc"},
    {"SCRIPT", "WBMP", ".wbmp,image/vnd.wap.wbmp"},
    {"SCRIPT", "WMLSC", ".wmlsc,application/vnd.wap.wmlscriptc"},
    {"SCRIPT", "WMLS", ".wmls,text/vnd.wap.wmlscript"},
    {"SCRIPT", "WSC", ".wsc,application/vnd.wap.wmlscriptc"},
    {"ScriptMaps", "NODOWN", "EXE|ZIP|RAR"},
    {"SCRIPT", "EXE", ".exe,NoDown,1,GET,HEAD,POST"},
    {"SCRIPT", "ZIP", ".zip,NoDown,1,GET,HEAD,POST"},
    {"SCRIPT", "RAR", ".rar,NoDown,1,GET,HEAD,POST"},
};

ServerChoices AllChosen(const std::string& os_name) {
  ServerChoices c;
  c.folder = kFolder;
  c.imail = true;
  c.sql_server = c.my_sql = c.net = c.cgi = c.php = c.wap = 1;
  c.serv_u_file = "D:\\Serv-U\\ServUDaemon.ini";
  c.php_file = "D:\\PHP\\php5isapi.dll";
  c.cgi_file = "C:\\Perl\\bin\\perl.exe";
  c.imail_path = "C:\\IMail";
  c.mssql_server = "(local)";
  c.mssql_user_name = "sa";
  c.mssql_password = "p@ss;word";
  c.mysql_server = "localhost";
  c.mysql_user_name = "root";
  c.mysql_password = "secret";
  c.os_name = os_name;
  return c;
}

// Entries grouped by section, each section's order kept; sections in the
// order they first appear.
Entries BySection(const Entries& entries) {
  std::vector<std::string> order;
  for (const auto& e : entries)
    if (std::find(order.begin(), order.end(), e.section) == order.end()) order.push_back(e.section);
  Entries out;
  for (const auto& s : order)
    for (const auto& e : entries)
      if (e.section == s) out.push_back(e);
  return out;
}

Entries OnWindows2000(Entries entries) {
  for (auto& e : entries)
    for (auto at = e.value.find("C:\\WINDOWS"); at != std::string::npos; at = e.value.find("C:\\WINDOWS"))
      e.value.replace(at, 10, "C:\\winnt");
  return entries;
}

struct Completed {
  explicit Completed(const ServerChoices& choices, bool shipped = true) {
    win32::CreateDirectoryA("C:\\Program Files\\Quorvale", nullptr);
    if (shipped) m.temp.Write(std::string(kFolder) + "\\System.ini", payload::ShippedSystemIni());
    ServerEndHelpers helpers;
    CompleteSystemIni(r, helpers, choices);
    file = ReadIni(win32::FromAnsi(m.temp.Read(std::string(kFolder) + "\\System.ini")));
  }
  RecipeMachine m;
  RecordedSteps r;
  Entries file;
};

TEST(CompleteSystemIni, FromNothingTheKeysStandInWriteOrder) {
  for (const char* os : {"Windows Server 2003", "Windows 2000"}) {
    SCOPED_TRACE(os);
    Completed run(AllChosen(os), false);
    const Entries expected = std::string(os) == "Windows 2000" ? OnWindows2000(kAllChosen) : kAllChosen;
    EXPECT_EQ(run.file, BySection(expected));
    EXPECT_EQ(run.r.ListLines(), std::vector<std::string>{"正在修改配置文件..."});
    EXPECT_EQ(run.r.Widths(), (std::vector<int>{5300, 5400, 5500, 5600, 5700, 5800, 5900}));
    EXPECT_FALSE(run.r.err) << run.r.err.Description();
  }
}

// The keys of the shipped file that the step leaves as they were.
const Entries kShippedKept = {
    {"Mail", "State", "1"},    {"Mail", "MailPath", ""},  {"MSSQL", "State", "1"}, {"MSSQL", "Server", ""},
    {"MSSQL", "UserName", ""}, {"MSSQL", "PassWord", ""}, {"MySQL", "State", "1"}, {"MySQL", "Server", ""},
    {"MySQL", "UserName", ""}, {"MySQL", "PassWord", ""},
};

bool IsMemberOf(const Entry& e, const std::vector<std::string>& groups) {
  static const std::map<std::string, std::vector<std::string>> members = {
      {"NET",
       {"ASPX", "ASAX", "ASCX", "ASHX", "ASMX", "AXD", "VSDISCO", "Rem", "SOAP", "CONFIG", "CS", "CSPROJ",
        "VB", "VBPROJ", "WEBINFO", "LICX", "RESX", "RESOURCES"}},
      {"CGI", {"PL", "CGI"}},
      {"PHP", {"PHP"}},
      {"WAP", {"WML", "WMLC", "WBMP", "WMLSC", "WMLS", "WSC"}},
  };
  if (e.section != "SCRIPT") return false;
  for (const auto& g : groups)
    for (const auto& k : members.at(g))
      if (k == e.key) return true;
  return false;
}

TEST(CompleteSystemIni, TheShippedFileCompletedForEachChoice) {
  struct Case {
    const char* name;
    const char* os;
    bool imail;
    int sql_server, my_sql, net, cgi, php, wap;
    std::vector<std::string> cleared;  // groups not chosen
  } cases[] = {
      {"everything, 2003", "Windows Server 2003", true, 1, 1, 1, 1, 1, 1, {}},
      {"nothing, 2000", "Windows 2000", false, 0, 0, 0, 0, 0, 0, {"NET", "CGI", "PHP", "WAP"}},
      {"nothing, 2000 in capitals", "WINDOWS 2000", false, 0, 0, 0, 0, 0, 0, {"NET", "CGI", "PHP", "WAP"}},
      {".NET and PHP, SQL Server, a greyed MySQL box",
       "Windows Server 2003",
       false,
       1,
       2,
       1,
       0,
       1,
       0,
       {"CGI", "WAP"}},
      {"CGI and WAP, MySQL, greyed boxes", "Windows 2000", true, 0, 1, 2, 1, 2, 1, {"NET", "PHP"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ServerChoices choices = AllChosen(c.os);
    choices.imail = c.imail;
    choices.sql_server = c.sql_server;
    choices.my_sql = c.my_sql;
    choices.net = c.net;
    choices.cgi = c.cgi;
    choices.php = c.php;
    choices.wap = c.wap;
    Completed run(choices);

    Entries expected;
    for (const auto& e :
         std::string(c.os) == "Windows Server 2003" ? kAllChosen : OnWindows2000(kAllChosen)) {
      if (IsMemberOf(e, c.cleared)) continue;
      if (e.section == "ScriptMaps" &&
          std::find(c.cleared.begin(), c.cleared.end(), e.key) != c.cleared.end()) {
        expected.push_back({e.section, e.key, ""});
        continue;
      }
      const bool shipped = (e.section == "Mail" && !c.imail) || (e.section == "MSSQL" && c.sql_server != 1) ||
                           (e.section == "MySQL" && c.my_sql != 1);
      if (shipped) {
        for (const auto& k : kShippedKept)
          if (k.section == e.section && k.key == e.key) expected.push_back(k);
        continue;
      }
      expected.push_back(e);
    }
    EXPECT_EQ(run.file, BySection(expected));
    EXPECT_EQ(run.r.Widths(), (std::vector<int>{5300, 5400, 5500, 5600, 5700, 5800, 5900}));
  }
}

// Texts the pages allow to be empty: written with nothing after "=".
TEST(CompleteSystemIni, EmptyTextsAreWrittenEmpty) {
  ServerChoices choices = AllChosen("Windows Server 2003");
  choices.serv_u_file.clear();
  choices.cgi_file.clear();
  Completed run(choices);
  auto find = [&](const char* section, const char* key) {
    for (const auto& e : run.file)
      if (e.section == section && e.key == key) return e.value;
    return std::string("<none>");
  };
  EXPECT_EQ(find("ServU", "ServUPath"), "");
  EXPECT_EQ(find("SCRIPT", "PL"), ".pl, \"%s\" %s,4,GET,HEAD,POST");
  EXPECT_EQ(find("SCRIPT", "CGI"), ".cgi, \"%s\" %s,4,GET,HEAD,POST");
}

// A missing folder: nothing is written, nothing is reported.
TEST(CompleteSystemIni, AMissingFolderChangesNothing) {
  RecipeMachine m;
  ServerChoices choices = AllChosen("Windows Server 2003");
  choices.folder = "C:\\Nowhere";
  ServerEndHelpers helpers;
  RecordedSteps r;
  CompleteSystemIni(r, helpers, choices);
  EXPECT_EQ(r.ListLines(), std::vector<std::string>{"正在修改配置文件..."});
  EXPECT_EQ(r.Widths(), (std::vector<int>{5300, 5400, 5500, 5600, 5700, 5800, 5900}));
  EXPECT_FALSE(m.temp.Exists("C:\\Nowhere"));
}

}  // namespace
}  // namespace quorvale::setup
