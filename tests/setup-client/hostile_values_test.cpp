// What each box of the control end's pages refuses before its value is
// used, value by value: control characters, characters code page 936 lacks,
// the box's own characters and its length, each with a message naming the
// box and the focus on it; a value it takes goes on to the page's own
// checks. And the install folder's length, at its boundary, with the data
// files named after the new database.
#include "hostile_values.h"

#include <gtest/gtest.h>

#include <functional>

#include "client_run.h"

namespace quorvale::client::testing {
namespace {

using namespace setup::testing;

// Client on a machine with SQL Server, its sa login's password typed.
struct OnDataBase : ClientRun {
  OnDataBase() {
    sqlserver::InstallSqlServer(temp.machine());
    Start();
    WalkToDataBase();
    driver.Click(Page<DataBasePage>().SQLServer);
    driver.Type(Page<DataBasePage>().MSSQLPassWord, "Sa2000");
    driver.Type(Page<DataBasePage>().PassWord, "panel-pw");
  }
  std::string Active() const { return driver.ActiveForm() ? driver.ActiveForm()->Name() : ""; }
};

// What a click of Next leaves: a message (text, title "错误", question icon,
// OK) with the focus on a field, or, without one, the page left.
struct Outcome {
  std::string prompt;
  std::string focus;
};

struct BoxCase {
  const char* box;  // "Page.Box"
  std::function<void(OnDataBase&)> reach;
  BoxRefusals refusals;
  Outcome taken;
};

BoxRefusals Administrator(const std::string& name, const std::string& own = "") {
  return {name, TooLong(name, 1023), own, own.empty() ? "" : name + "中不能包含以下字符：" + own};
}

BoxRefusals Panel(const std::string& name, const std::string& own, const std::string& listed) {
  return {name, TooLong(name, 128), own, name + "中不能包含以下字符：" + listed};
}

TEST(HostileValues, EachControlEndBoxRefusesWhatWouldCorruptWhereItsValueGoes) {
  auto on_database = [](OnDataBase&) {};
  auto on_directory = [](OnDataBase& run) { run.driver.Click(run.Page<DataBasePage>().NextButton); };
  const Outcome connection_failed{"SQL Server数据库连接失败!", "DataBase.NextButton"};
  const BoxCase cases[] = {
      {"DataBase.MSSQLServer", on_database, Administrator("SQL服务器地址", "\""), connection_failed},
      {"DataBase.MSSQLUserName", on_database, Administrator("SQL数据库管理员帐号"), connection_failed},
      {"DataBase.MSSQLPassWord", on_database, Administrator("SQL数据库管理密码"), connection_failed},
      {"DataBase.DataBase",
       on_database,
       Panel("新建立数据库的数据库名", "\"';{}\\", "\" ' ; { } \\ / : * ? < > |"),
       {}},
      {"DataBase.UserName", on_database, Panel("新建立数据库的数据库帐号", "\"';{}", "\" ' ; { }"), {}},
      {"DataBase.PassWord", on_database, Panel("新建立数据库的数据库密码", "\"';{}", "\" ' ; { }"), {}},
      {"Directory.Directory",
       on_directory,
       {"安装目标文件夹路径", FolderTooLong("安装目标文件夹路径", 237), "&%",
        "安装目标文件夹路径中不能包含以下字符：& % ^"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    OnDataBase run;
    c.reach(run);
    const std::string page = run.Active();
    const std::string box_name = std::string(c.box).substr(page.size() + 1);
    auto* box = dynamic_cast<ui::TextBox*>(run.driver.ActiveForm()->FindControl(box_name));
    ASSERT_NE(box, nullptr);
    auto& next = dynamic_cast<ui::CommandButton&>(*run.driver.ActiveForm()->FindControl("NextButton"));
    for (const auto& h : HostileValues()) {
      SCOPED_TRACE(h.name);
      const std::string refused = ExpectedRefusal(h, c.refusals);
      const Outcome expected = refused.empty() ? c.taken : Outcome{refused, c.box};
      box->SetText(h.value);
      const std::size_t before = run.driver.Messages().size();
      run.driver.Click(next);
      if (!expected.prompt.empty()) {
        run.ExpectError(before, expected.prompt);
        EXPECT_EQ(run.driver.FocusName(), expected.focus);
      } else {
        EXPECT_EQ(run.driver.Messages().size(), before);
        ASSERT_NE(run.Active(), page);
        run.driver.Click(
            dynamic_cast<ui::CommandButton&>(*run.driver.ActiveForm()->FindControl("StepButton")));
      }
      ASSERT_EQ(run.Active(), page);
    }
  }
  // The Domain page's own format check refuses every one of them.
  OnDataBase run;
  run.driver.Click(run.Page<DataBasePage>().NextButton);
  run.driver.Click(run.Page<DirectoryPage>().NextButton);
  auto& domain = run.Page<DomainPage>();
  for (const auto& h : HostileValues()) {
    SCOPED_TRACE(h.name);
    domain.Domain.SetText("www." + h.value + ".cn");
    const std::size_t before = run.driver.Messages().size();
    run.driver.Click(domain.NextButton);
    run.ExpectError(before, "您输入的域名格式不正确!");
    EXPECT_EQ(run.driver.FocusName(), "Domain.Domain");
  }
}

// Web\Data\Quorvale.mdb, the archive's longest member, is 21 bytes: a
// folder of 237 makes it 259 bytes with its "\", taken; 238 makes 260,
// refused. With SQL Server the data files named after the new database count
// too: Data\<name>.mdf with a name of 128 bytes is 137, leaving the folder 121.
TEST(InstallFolderLength, TheControlEndsFolderAndItsLongestFileStayWithin259Bytes) {
  struct Case {
    const char* name;
    const char* database;  // nullptr: Access
    std::string folder;
    int most;  // 0: taken
  };
  const std::string name128 = std::string(120, 'd') + "数据库名";
  const Case cases[] = {
      {"Access, 237 bytes", nullptr, "C:\\" + std::string(234, 'a'), 0},
      {"Access, 238 bytes", nullptr, "C:\\" + std::string(235, 'a'), 237},
      {"Access, 238 bytes in 122 characters", nullptr, "C:\\" + Repeat("汉", 117) + "a", 237},
      {"SQL Server, Quorvale, 237 bytes", "Quorvale", "C:\\" + std::string(234, 'a'), 0},
      {"SQL Server, a name of 128 bytes, 121", name128.c_str(), "C:\\" + std::string(118, 'a'), 0},
      {"SQL Server, a name of 128 bytes, 122", name128.c_str(), "C:\\" + std::string(119, 'a'), 121},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OnDataBase run;
    auto& database = run.Page<DataBasePage>();
    if (c.database) {
      database.DataBase.SetText(c.database);
    } else {
      run.driver.Click(database.Access);
    }
    run.driver.Click(database.NextButton);
    ASSERT_EQ(run.Active(), "Directory");
    run.Page<DirectoryPage>().Directory.SetText(c.folder);
    run.driver.Click(run.Page<DirectoryPage>().NextButton);
    if (c.most) {
      run.ExpectError(0, FolderTooLong("安装目标文件夹路径", c.most));
      EXPECT_EQ(run.driver.FocusName(), "Directory.Directory");
    } else {
      EXPECT_TRUE(run.driver.Messages().empty());
      EXPECT_EQ(run.Active(), "Domain");
    }
  }
}

}  // namespace
}  // namespace quorvale::client::testing
