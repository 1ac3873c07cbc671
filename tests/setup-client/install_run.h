// Client driven from Welcome through the install to Complete on a fresh
// machine, as a user does, on the test clock; what the progress page showed
// (each caption and bar width as the loop saw it) and what the machine
// holds afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "client_run.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/programs/launch.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::client::testing {

using Lines = std::vector<std::string>;

// The list of an install with Access; SQL Server adds its second database
// step after the first.
inline const Lines kAccessList = {
    "正在准备安装...",
    "正在建立目标安装目录...",
    "正在释放安装程序包...",
    "正在解压缩安装文件...",
    "正在准备建立主控端站点...",
    "正在建立网站独立帐户...",
    "正在设置网站独立帐户所属组...",
    "正在设置网站文件夹权限...",
    "正在建立主控端站点...",
    "正在建立主控端站点虚拟目录...",
    "正在启动主控端站点...",
    "正在设置站点数据库文件...",
    "正在注册组件...",
    "正在修改网站配置文件...",
    "正在删除安装文件...",
    "正在配置反安装系统...",
};

inline Lines SqlList(const Lines& database_failures = {}) {
  Lines lines(kAccessList.begin(), kAccessList.begin() + 12);
  lines.push_back("正在建立站点数据库...");
  lines.insert(lines.end(), database_failures.begin(), database_failures.end());
  lines.insert(lines.end(), kAccessList.begin() + 12, kAccessList.end());
  return lines;
}

// The captions: step 2's is shorter than its list line, and the last one
// is not listed.
inline Lines Captions(const Lines& list) {
  Lines captions;
  for (const auto& line : list) {
    if (line.find("失败") != std::string::npos) continue;
    captions.push_back(line == "正在建立目标安装目录..." ? "建立安装目录..." : line);
  }
  captions.push_back("安装完毕...");
  return captions;
}

inline const std::vector<int> kArchiveWidths = {300,  400,  500,  600,  700,  800,  900,  1000, 1100,
                                                1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000,
                                                2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800};

// From the page's first width to the full bar.
inline std::vector<int> Widths(bool sql_server) {
  std::vector<int> w = {15, 50, 200};
  w.insert(w.end(), kArchiveWidths.begin(), kArchiveWidths.end());
  w.insert(w.end(), {3000, 3100, 3200, 3300, 3400, 3500, 3600, 3700});
  if (sql_server) w.insert(w.end(), {3800, 3900, 4000, 4100, 4200, 4300, 4400});
  w.insert(w.end(), {4500, 4600, 4700, 4800, 4900, 5200, 5300, 5400, 5500, 5600,
                     5700, 5800, 5900, 6000, 6200, 6400, 6600, 6700, 6750, 6765});
  return w;
}

inline constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\主控端";
inline constexpr const char* kSystem = "C:\\WINDOWS\\system32";

// What the user chooses on DataBase (SQL Server when server is set) and
// types on Domain.
struct Choices {
  bool sql_server = false;
  std::string database = "Quorvale", login = "Quorvale", password = "panel-pw";
  std::string domain = "panel.quorvale.cn";
};

struct InstallRun : ClientRun {
  // On a fresh machine, or on a copy of the machine in machine_copy.
  explicit InstallRun(bool with_sql_server = false, const std::filesystem::path& machine_copy = {})
      : ClientRun(setup::testing::FreeOnC(setup::testing::kSixteenGB), machine_copy) {
    if (with_sql_server) sqlserver::InstallSqlServer(temp.machine());
    InstallLauncher();
  }
  ~InstallRun() { WaitForPrograms(); }

  // Welcome to Domain's install button; the progress page is shown and its
  // timer has not fired yet.
  void WalkToInstall(const Choices& c) {
    Start();
    auto& database = WalkToDataBase();
    if (c.sql_server) {
      driver.Click(database.SQLServer);
      driver.Type(database.MSSQLPassWord, "Sa2000");
      driver.Type(database.DataBase, c.database);
      driver.Type(database.UserName, c.login);
      driver.Type(database.PassWord, c.password);
    }
    driver.Click(database.NextButton);
    driver.Click(Page<DirectoryPage>().NextButton);
    auto& domain = Page<DomainPage>();
    driver.Type(domain.Domain, c.domain);
    driver.Click(domain.NextButton);
  }

  // The timer's first tick runs the whole install. The unpacker is made to
  // finish at the first turn of the loop after it was started, then
  // unpacked() runs; every program started is waited for at the end.
  void RunInstall(const std::function<void()>& unpacked = {}) {
    watching_ = true;
    unpacked_ = unpacked;
    Watch();
    driver.Advance(100);
    watching_ = false;
    WaitForPrograms();
  }

  void InstallWith(const Choices& c) {
    WalkToInstall(c);
    RunInstall();
  }

  setup::InstallPage& Progress() { return Page<setup::InstallPage>(); }
  // The site number the install drew, from its record.
  std::string SiteNumber() {
    const auto keys = Metabase(temp.machine()).Load();
    if (!keys) return "";  // no IIS
    for (const auto& k : *keys) {
      if (k.key_type == "IIsWebServer" && k.Find("ServerComment") && *k.Find("ServerComment") == "HostSystem")
        return k.location.substr(std::string("/LM/W3SVC/").size());
    }
    return "";
  }
  std::string Text(const std::string& windows_path) { return win32::FromAnsi(temp.Read(windows_path)); }
  std::string In(const std::string& file) { return std::string(kFolder) + "\\" + file; }

  // Each caption and bar width as a turn of the message loop found it, a
  // change at a time.
  std::vector<std::string> captions;
  std::vector<int> widths;

 private:
  void Watch() {
    driver.Backend().Post([this] {
      if (!watching_) return;
      auto& page = Progress();
      if (captions.empty() || captions.back() != page.StateCaption.Caption())
        captions.push_back(page.StateCaption.Caption());
      if (widths.empty() || widths.back() != page.Loading.Width()) widths.push_back(page.Loading.Width());
      // The unpacker was started just before the bar took 2800.
      if (!unpacker_done_ && page.Loading.Width() == 2800) {
        unpacker_done_ = true;
        WaitForPrograms();
        if (unpacked_) unpacked_();
      }
      Watch();
    });
  }

  bool watching_ = false;
  bool unpacker_done_ = false;
  std::function<void()> unpacked_;
};

}  // namespace quorvale::client::testing
