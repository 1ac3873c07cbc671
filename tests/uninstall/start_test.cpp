// Uninstall's start: one instance per machine, the Windows and IIS checks,
// the command line, and the mode page.
#include <gtest/gtest.h>

#include "quorvale/win32/win32.h"
#include "test_program.h"
#include "uninstall_run.h"

namespace quorvale::uninstall {
namespace {

using setup::testing::ShapeOf;
using testing::UninstallRun;

constexpr const char* kConfirmRepair = "您确定要修复 Quorvale虚拟主机管理系统v3.0 主控端 程序吗？";
constexpr const char* kConfirmUninstall =
    "您确定要卸载 Quorvale虚拟主机管理系统v3.0 主控端 "
    "程序吗？\r\n\r\n警告：系统将完全删除所有网站、数据库等相关文件！";

TEST(UninstallCommandLine, SwitchesInAnyCaseAloneChooseTheMode) {
  enum Shown { kPage, kRepair, kUninstall };
  struct Case {
    const char* line;
    Shown shown;
  } cases[] = {
      {"-modify", kRepair}, {"-delete", kUninstall}, {"-MODIFY", kRepair},   {"-DELETE", kUninstall},
      {"-Modify", kRepair}, {"-dElEtE", kUninstall}, {"-modify ", kPage},    {" -delete", kPage},
      {"/modify", kPage},   {"/delete", kPage},      {"-delete now", kPage}, {"-modify -delete", kPage},
      {"", kPage},          {"modify", kPage},       {"--delete", kPage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("command line \"") + c.line + "\"");
    UninstallRun run;
    run.driver.Answer(ui::MsgResult::Cancel);  // the confirmation, when asked
    run.Start(c.line);
    if (c.shown == kPage) {
      // The page, with repair chosen; nothing asked yet.
      EXPECT_FALSE(run.driver.Ended());
      EXPECT_TRUE(run.driver.Messages().empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
      EXPECT_TRUE(run.welcome().Modify.Value());
      EXPECT_FALSE(run.welcome().Delete.Value());
      EXPECT_EQ(run.driver.FocusName(), "Welcome.Modify");
      continue;
    }
    // Straight to the confirmation, Welcome never shown; Cancel ends.
    ASSERT_EQ(run.driver.Messages().size(), 1u);
    const auto& box = run.driver.Messages()[0].request;
    EXPECT_EQ(box.prompt, c.shown == kRepair ? kConfirmRepair : kConfirmUninstall);
    EXPECT_EQ(box.title, c.shown == kRepair ? "修复" : "卸载");
    EXPECT_EQ(run.welcome().Modify.Value(), c.shown == kRepair);
    EXPECT_EQ(run.welcome().Delete.Value(), c.shown == kUninstall);
    EXPECT_FALSE(run.welcome().Visible());
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kCancelled);
    EXPECT_EQ(run.program->EndedWith().detail, c.shown == kRepair
                                                   ? "the confirmation \"修复\" answered Cancel"
                                                   : "the confirmation \"卸载\" answered Cancel");
  }
}

TEST(UninstallStart, RefusesWhatItCannotRunOnBeforeTheCommandLine) {
  constexpr const char* kUnsupported = "Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!";
  struct Case {
    const char* name;
    MachineShape shape;
    const char* message;  // nothing: the program goes on
  } cases[] = {
      {"2003", ShapeOf(WindowsEdition::kWindowsServer2003), nullptr},
      {"2000", ShapeOf(WindowsEdition::kWindows2000), nullptr},
      {"XP", ShapeOf(WindowsEdition::kWindowsXP), kUnsupported},
      {"98", ShapeOf(WindowsEdition::kWindows98), kUnsupported},
      {"2003 without IIS", ShapeOf(WindowsEdition::kWindowsServer2003, false),
       "您的操作系统中未安装IIS，请您先安装IIS!"},
  };
  for (const auto& c : cases) {
    for (const char* line : {"", "-delete"}) {
      SCOPED_TRACE(std::string(c.name) + ", command line \"" + line + "\"");
      UninstallRun run(c.shape);
      run.driver.Answer(ui::MsgResult::Cancel);
      run.Start(line);
      if (!c.message) {
        // The page, or the confirmation of the command line's mode.
        if (*line) {
          ASSERT_EQ(run.driver.Messages().size(), 1u);
          EXPECT_EQ(run.driver.Messages()[0].request.title, "卸载");
        } else {
          EXPECT_TRUE(run.driver.Messages().empty());
          EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
        }
        continue;
      }
      ASSERT_FALSE(run.driver.Messages().empty());
      const auto& box = run.driver.Messages()[0].request;
      EXPECT_TRUE(run.driver.Ended());
      EXPECT_EQ(run.driver.Messages().size(), 1u);
      EXPECT_EQ(box.prompt, c.message);
      EXPECT_EQ(box.title, "安装");
      EXPECT_EQ(box.icon, ui::MsgIcon::Question);
      EXPECT_EQ(box.buttons, ui::MsgButtons::OK);
      EXPECT_TRUE(run.driver.ShownForms().empty());
      EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kRefused);
      EXPECT_EQ(run.program->EndedWith().detail, c.message);
    }
  }
}

TEST(UninstallStart, ASecondInstanceOnTheMachineEndsWithoutAWord) {
  UninstallRun first;
  first.Start();
  ASSERT_FALSE(first.driver.Ended());
  struct Case {
    const char* line;
  } cases[] = {{""}, {"-modify"}, {"-delete"}, {"xp"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ui::HeadlessDriver driver;
    setup::SetupProgram second(driver.App(), RepairProgram::Profile());
    second.SetCommandLine(c.line);
    driver.Run([&] { second.Start(); });
    EXPECT_TRUE(driver.Ended());
    EXPECT_TRUE(driver.Messages().empty());
    EXPECT_TRUE(driver.ShownForms().empty());
    EXPECT_EQ(second.EndedWith().outcome, setup::Outcome::kRefused);
    EXPECT_EQ(second.EndedWith().detail, "another Uninstall runs on this machine (nothing shown)");
  }
  // The first one is undisturbed; its pages hold the instance until the
  // program has gone, ended or not. Then the next one starts.
  EXPECT_FALSE(first.driver.Ended());
  EXPECT_EQ(first.driver.ShownForms(), std::vector<std::string>{"Welcome"});
  first.driver.Click(first.welcome().CancelButton);
  first.program.reset();
  ui::HeadlessDriver driver;
  setup::SetupProgram later(driver.App(), RepairProgram::Profile());
  driver.Run([&] { later.Start(); });
  EXPECT_FALSE(driver.Ended());
  EXPECT_EQ(driver.ShownForms(), std::vector<std::string>{"Welcome"});
}

TEST(UninstallWelcome, ShowsTheChoiceAndEndsOnCancelWithoutAsking) {
  UninstallRun run;
  run.Start();
  auto& w = run.welcome();
  EXPECT_EQ(w.Caption(), "Quorvale虚拟主机管理系统v3.0主控端");
  struct Shown {
    const ui::Control& control;
    std::string text;
  } shown[] = {
      {w.Modify, "修复[&M]"},
      {w.Delete, "卸载[&D]"},
      {w.NextButton, "下一步(&I)"},
      {w.CancelButton, "取消(&C)"},
      {w.Label1, "请选择您需要执行的操作"},
      {w.Label2, "执行操作选项"},
      {w.Label3, "请选择您要执行的操作？"},
      {w.Label4, "此操作用于您在重做系统后的软件恢复。"},
      {w.Label5, "从本机上删除Quorvale虚拟主机管理系统v3.0主控端。"},
      {w.Label6, "选择完毕后，点击“下一步”继续。"},
  };
  for (const auto& s : shown) {
    SCOPED_TRACE(s.control.Name());
    std::string text;
    if (auto* o = dynamic_cast<const ui::OptionButton*>(&s.control)) text = o->Caption();
    if (auto* b = dynamic_cast<const ui::CommandButton*>(&s.control)) text = b->Caption();
    if (auto* l = dynamic_cast<const ui::Label*>(&s.control)) text = l->Caption();
    EXPECT_EQ(text, s.text);
  }
  run.driver.Click(w.CancelButton);
  EXPECT_TRUE(run.driver.Ended());
  EXPECT_TRUE(run.driver.Messages().empty());
  EXPECT_TRUE(run.Started().empty());
  EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kCancelled);
  EXPECT_EQ(run.program->EndedWith().detail, "Welcome's Cancel");
}

TEST(UninstallWelcome, ItsCloseBoxEndsTheProgramWithoutAsking) {
  UninstallRun run;
  run.Start();
  run.driver.Close(run.welcome());
  EXPECT_TRUE(run.driver.Ended());
  EXPECT_TRUE(run.driver.Messages().empty());
  EXPECT_EQ(run.program->EndedWith().outcome, setup::Outcome::kCancelled);
  EXPECT_EQ(run.program->EndedWith().detail, "Welcome closed");
}

TEST(UninstallWelcome, NextAsksForTheChosenModeAndCancelEndsBeforeAnyChange) {
  struct Case {
    bool choose_delete;
    ui::MsgResult answer;
  } cases[] = {
      {false, ui::MsgResult::Cancel},
      {true, ui::MsgResult::Cancel},
      {false, ui::MsgResult::OK},
      {true, ui::MsgResult::OK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.choose_delete ? "uninstall" : "repair") +
                 (c.answer == ui::MsgResult::OK ? ", OK" : ", Cancel"));
    UninstallRun run;
    run.Start();
    if (c.choose_delete) run.driver.Click(run.welcome().Delete);
    run.driver.Answer(c.answer);
    const auto registry_before = run.RegistryText();
    run.driver.Click(run.welcome().NextButton);
    ASSERT_EQ(run.driver.Messages().size(), 1u);
    const auto& box = run.driver.Messages()[0].request;
    EXPECT_EQ(box.prompt, c.choose_delete ? kConfirmUninstall : kConfirmRepair);
    EXPECT_EQ(box.title, c.choose_delete ? "卸载" : "修复");
    EXPECT_EQ(box.icon, ui::MsgIcon::Question);
    EXPECT_EQ(box.buttons, ui::MsgButtons::OKCancel);
    // Welcome was hidden before the question.
    EXPECT_FALSE(run.welcome().Visible());
    if (c.answer == ui::MsgResult::Cancel) {
      EXPECT_TRUE(run.driver.Ended());
      EXPECT_EQ(run.running().SetupList.ListCount(), 0);
      EXPECT_FALSE(run.complete().Loaded());
      EXPECT_TRUE(run.Started().empty());
      EXPECT_EQ(run.RegistryText(), registry_before);
      run.driver.Advance(1000);  // the timer never came on
      EXPECT_FALSE(run.complete().Loaded());
      continue;
    }
    EXPECT_FALSE(run.driver.Ended());
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Running"});
  }
}

}  // namespace
}  // namespace quorvale::uninstall
