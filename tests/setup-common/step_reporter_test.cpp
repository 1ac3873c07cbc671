// The progress page as the recipes see it: caption, list, bar, error checks.
#include "quorvale/setup/step_reporter.h"

#include <gtest/gtest.h>

#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

TEST(ProgressStepReporter, ShowsStepsOnThePage) {
  Wizard w;
  w.program.to_install = true;
  w.Start();
  auto& dir = w.Page<DirectoryPage>();
  w.driver.Run([&] { w.program.SwitchPage(w.Page<Welcome>(), dir, &dir.Directory); });
  std::vector<std::string> seen;
  std::vector<bool> checks;
  w.program.sequence = [&](Install& page) {
    ProgressStepReporter r(page);
    r.Step("正在注册组件...", "正在注册组件...");
    r.Widen(4000);
    seen.push_back(page.StateCaption.Caption() + " " + std::to_string(page.Loading.Width()));
    r.Step("", "主控端站点正常...");  // list line only
    r.Step("安装中...", "");          // caption only
    seen.push_back(page.StateCaption.Caption());
    r.Errors().Resume([] { throw RaisedError(53, "File not found"); });
    checks.push_back(r.Check("网站独立访问帐户添加失败..."));
    checks.push_back(r.Check("never shown"));
    r.Width(5000);
    seen.push_back(std::to_string(page.Loading.Width()));
  };
  w.driver.Click(dir.NextButton);
  w.driver.Advance(100);
  EXPECT_EQ(seen, (std::vector<std::string>{"正在注册组件... 4000", "安装中...", "5000"}));
  EXPECT_EQ(checks, (std::vector<bool>{false, true}));
  EXPECT_EQ(
      w.Page<Install>().SetupList.Items(),
      (std::vector<std::string>{"正在注册组件...", "主控端站点正常...", "网站独立访问帐户添加失败..."}));
}

}  // namespace
}  // namespace quorvale::setup::testing
