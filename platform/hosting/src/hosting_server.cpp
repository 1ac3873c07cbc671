#include "quorvale/hosting/hosting_server.h"

#include <fstream>

#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"
#include "quorvale/sqlserver/catalogue.h"

namespace quorvale::hosting {

namespace fs = std::filesystem;

namespace {

// One stand-in file of a program: its path below the program's folder and
// what it takes the place of.
struct StandInFile {
  const char* path;
  const char* what;
};

struct ProgramTable {
  HostingProgram program;
  const char* name;
  const char* title;
  // The program's folder; Serv-U's lies under C:\Program Files only when
  // the machine has that folder.
  const char* folder;
  // The files, the one the setup looks for last: a program is there only
  // once all of it is.
  std::vector<StandInFile> files;
};

const char kServUIni[] = "ServUDaemon.ini";

const std::vector<ProgramTable>& Programs() {
  static const std::vector<ProgramTable> table = {
      {HostingProgram::kSqlServer,
       "sqlserver",
       "SQL Server 2000",
       "C:\\Program Files\\Microsoft SQL Server\\MSSQL\\Binn",
       {{"sqlservr.exe", "SQL Server 2000 的数据库服务程序 (服务 MSSQLSERVER)"}}},
      {HostingProgram::kServU,
       "servu",
       "Serv-U",
       "C:\\Program Files\\Serv-U",
       {{"ServUDaemon.exe", "Serv-U FTP 服务器程序"}, {kServUIni, "Serv-U 的帐户配置文件"}}},
      {HostingProgram::kPhp,
       "php",
       "PHP",
       "C:\\php",
       {{"sapi\\php4isapi.dll", "PHP 4 的 IIS 扩展 (ISAPI)"}, {"php.exe", "PHP 4 脚本执行程序"}}},
      {HostingProgram::kPerl, "perl", "Perl", "C:\\Perl", {{"bin\\perl.exe", "Perl 脚本执行程序 (CGI)"}}},
      {HostingProgram::kIMail,
       "imail",
       "iMail",
       "C:\\iMail",
       {{"IAdmin.exe", "iMail 邮件服务器的管理程序"}, {"IMail.exe", "iMail 邮件服务器程序"}}},
      {HostingProgram::kWinWebMail,
       "winwebmail",
       "WinWebMail",
       "C:\\WinWebMail",
       {{"emsvr.exe", "WinWebMail 的服务程序"},
        {"web\\default.asp", "WinWebMail 的网页邮箱首页"},
        {"easymail.exe", "WinWebMail 邮件服务器程序"}}},
  };
  return table;
}

const ProgramTable& TableOf(HostingProgram program) {
  for (const auto& t : Programs())
    if (t.program == program) return t;
  return Programs().front();
}

// The program's folder on this machine.
std::string FolderOf(const Machine& machine, const ProgramTable& t) {
  if (t.program == HostingProgram::kServU) {
    // Where it is, else where it goes.
    for (const char* folder : {"C:\\Program Files\\Serv-U", "C:\\Serv-U"})
      if (machine.Resolve(std::string(folder) + "\\" + kServUIni).exists) return folder;
    if (!machine.Resolve("C:\\Program Files").exists) return "C:\\Serv-U";
  }
  return t.folder;
}

std::string MainFileOf(const Machine& machine, const ProgramTable& t) {
  return FolderOf(machine, t) + "\\" + t.files.back().path;
}

// The text with CR LF line ends, in code page 936.
std::string Ansi(const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return Utf8ToCp936(crlf).value_or(crlf);
}

std::string StandInText(const std::string& path, const std::string& what) {
  return "Quorvale 机器替代文件\n文件：" + path + "\n代替：" + what +
         "\n它不是原来的文件，只占用原来的文件名，让安装程序在惯常的位置找到它。\n";
}

// The account file is read as an INI file: the stand-in text is its
// comment, and it has the section every account file has.
std::string ServUIniText(const std::string& path, const std::string& what) {
  const std::string text = StandInText(path, what);
  std::string ini;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    ini += "; " + text.substr(start, end - start + 1);
    start = end + 1;
  }
  return ini + "[GLOBAL]\n";
}

// Writes the file whole (through a temporary file beside it), its folders
// made; as a file made anew it has no attributes or grants of an earlier one.
void WriteFile(const Machine& machine, const std::string& windows_path, const std::string& bytes) {
  const auto host = machine.Resolve(windows_path).host;
  fs::create_directories(host.parent_path());
  const fs::path temp = host.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary);
    out << bytes;
    out.close();
    if (!out) throw HostingError("cannot write " + windows_path);
  }
  fs::rename(temp, host);
  machine.ForgetPath(machine.Resolve(windows_path).long_path);
}

void Add(const Machine& machine, const ProgramTable& t, const std::string& sa_password) {
  // A machine made without C:\Program Files keeps that shape: SQL Server is
  // its service and catalogue there, without program files.
  const bool files = t.program != HostingProgram::kSqlServer || machine.Resolve("C:\\Program Files").exists;
  const std::string folder = FolderOf(machine, t);
  for (const auto& f : t.files) {
    if (!files) break;
    const std::string path = folder + "\\" + f.path;
    WriteFile(
        machine, path,
        Ansi(std::string(f.path) == kServUIni ? ServUIniText(path, f.what) : StandInText(path, f.what)));
  }
  if (t.program == HostingProgram::kSqlServer) {
    if (files)
      fs::create_directories(machine.Resolve("C:\\Program Files\\Microsoft SQL Server\\MSSQL\\Data").host);
    sqlserver::InstallSqlServer(machine, sa_password);
  }
}

}  // namespace

const std::vector<HostingProgram>& AllPrograms() {
  static const std::vector<HostingProgram> all = [] {
    std::vector<HostingProgram> out;
    for (const auto& t : Programs()) out.push_back(t.program);
    return out;
  }();
  return all;
}

std::string NameOf(HostingProgram program) { return TableOf(program).name; }
std::string TitleOf(HostingProgram program) { return TableOf(program).title; }

std::optional<HostingProgram> ProgramNamed(const std::string& name) {
  for (const auto& t : Programs())
    if (SameText(name, t.name)) return t.program;
  return std::nullopt;
}

bool HasProgram(const Machine& machine, HostingProgram program) {
  if (program == HostingProgram::kSqlServer)
    return fs::exists(sqlserver::CatalogueFile(machine)) || machine.FindService("MSSQLSERVER").has_value();
  return machine.Resolve(MainFileOf(machine, TableOf(program))).exists;
}

std::string WhereOf(const Machine& machine, HostingProgram program) {
  const ProgramTable& t = TableOf(program);
  switch (program) {
    case HostingProgram::kSqlServer: return "(local)";
    case HostingProgram::kIMail:
    case HostingProgram::kWinWebMail: return FolderOf(machine, t);
    default: return MainFileOf(machine, t);
  }
}

void AddProgram(const Machine& machine, HostingProgram program, const std::string& sa_password) {
  const ProgramTable& t = TableOf(program);
  if (HasProgram(machine, program))
    throw HostingError("the machine has " + std::string(t.title) + " already");
  if (program == HostingProgram::kSqlServer && sa_password.empty())
    throw HostingError("sa needs a password: the wizards' SQL Server pages take no empty one");
  Add(machine, t, sa_password);
}

void RemoveProgram(const Machine& machine, HostingProgram program) {
  const ProgramTable& t = TableOf(program);
  if (!HasProgram(machine, program)) throw HostingError("the machine has no " + std::string(t.title));
  const ResolvedPath folder = machine.Resolve(FolderOf(machine, t));
  for (const auto& h : machine.Holds())
    if (PathWithin(h.path, folder.long_path))
      throw HostingError(h.path + " is held open by " + h.holder + " (process " + std::to_string(h.pid) +
                         "): end that program first");
  if (program == HostingProgram::kSqlServer) {
    try {
      sqlserver::RemoveSqlServer(machine);
    } catch (const MachineStateError& e) {
      throw HostingError(e.what());
    }
  }
  if (folder.exists) {
    fs::remove_all(folder.host);
    machine.ForgetPath(folder.long_path);
  }
}

Machine::Furnish FurnishHostingServer(HostingSet set) {
  return [set = std::move(set)](const Machine& machine) {
    for (const auto& t : Programs())
      if (set.programs.count(t.program)) Add(machine, t, set.sa_password);
  };
}

void CreateHostingServer(const fs::path& folder, const MachineShape& shape, const HostingSet& set) {
  Machine::Create(folder, shape, FurnishHostingServer(set));
}

void MakeDefaultMachineUnlessPresent(const fs::path& folder) {
  if (!Machine::Exists(folder))
    Machine::CreateUnlessPresent(folder, MachineShape{}, FurnishHostingServer({}));
}

}  // namespace quorvale::hosting
