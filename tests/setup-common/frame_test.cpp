#include <gtest/gtest.h>

#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

using ui::MsgButtons;
using ui::MsgIcon;
using ui::MsgResult;

void ExpectExitQuestion(const ui::MessageRecord& m) {
  EXPECT_EQ(m.request.prompt,
            "安装程序未完成安装。如果现在退出，您的程序将不能安装。\r\n\r\n您确定要退出安装程序吗？");
  EXPECT_EQ(m.request.title, "安装");
  EXPECT_EQ(m.request.icon, MsgIcon::Question);
  EXPECT_EQ(m.request.buttons, MsgButtons::OKCancel);
}

// Walks a started wizard to one of the shared pages.
struct Arrival {
  const char* page;
  std::function<ui::Form&(Wizard&)> go;
  std::function<ui::Control&(Wizard&)> first_field;
  std::function<ui::CommandButton&(Wizard&)> cancel;
};

std::vector<Arrival> Arrivals() {
  return {
      {"Welcome", [](Wizard& w) -> ui::Form& { return w.Page<WelcomePage>(); },
       [](Wizard& w) -> ui::Control& { return w.Page<WelcomePage>().NextButton; },
       [](Wizard& w) -> ui::CommandButton& { return w.Page<WelcomePage>().CancelButton; }},
      {"Agreement",
       [](Wizard& w) -> ui::Form& {
         w.driver.Click(w.Page<WelcomePage>().NextButton);
         return w.Page<AgreementPage>();
       },
       [](Wizard& w) -> ui::Control& { return w.Page<AgreementPage>().Agree; },
       [](Wizard& w) -> ui::CommandButton& { return w.Page<AgreementPage>().CancelButton; }},
      {"Directory", [](Wizard& w) -> ui::Form& { return w.WalkToDirectory(); },
       [](Wizard& w) -> ui::Control& { return w.Page<DirectoryPage>().Directory; },
       [](Wizard& w) -> ui::CommandButton& { return w.Page<DirectoryPage>().CancelButton; }},
  };
}

TEST(CloseCheck, CancelStaysWithTheFocusOnTheFirstFieldAndOKEnds) {
  for (const auto& a : Arrivals()) {
    for (bool by_close_box : {false, true}) {
      SCOPED_TRACE(std::string(a.page) + (by_close_box ? " close box" : " Cancel button"));
      Wizard w;
      w.Start();
      ui::Form& page = a.go(w);
      w.driver.PressTab();  // the focus leaves the first field
      ASSERT_NE(w.driver.Focus(), &a.first_field(w));
      auto before = w.driver.Messages().size();
      w.driver.Answer(MsgResult::Cancel);
      if (by_close_box) {
        w.driver.Close(page);
      } else {
        w.driver.Click(a.cancel(w));
      }
      ASSERT_EQ(w.driver.Messages().size(), before + 1);
      ExpectExitQuestion(w.driver.Messages().back());
      EXPECT_TRUE(page.Visible());
      EXPECT_FALSE(w.driver.Ended());
      EXPECT_EQ(w.driver.Focus(), &a.first_field(w));

      w.driver.Answer(MsgResult::OK);
      if (by_close_box) {
        w.driver.Close(page);
      } else {
        w.driver.Click(a.cancel(w));
      }
      EXPECT_TRUE(w.driver.Ended());
      EXPECT_EQ(w.driver.Messages().size(), before + 2);
      EXPECT_TRUE(w.driver.ShownForms().empty());
      EXPECT_EQ(w.program.EndedWith().outcome, Outcome::kCancelled);
      EXPECT_EQ(w.program.EndedWith().detail, std::string("the exit question answered OK on ") + a.page);
    }
  }
}

TEST(CloseCheck, WelcomeClosesWithoutAskingWhileItsNextButtonIsDisabled) {
  Wizard w;
  w.Start();
  w.Page<WelcomePage>().NextButton.SetEnabled(false);
  w.driver.Close(w.Page<WelcomePage>());
  EXPECT_TRUE(w.driver.Messages().empty());
  EXPECT_TRUE(w.driver.Ended());
  EXPECT_EQ(w.program.EndedWith().outcome, Outcome::kCancelled);
}

constexpr const char* kServerEndKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvales";
constexpr const char* kControlEndKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvalec";

TEST(StartUp, RefusalsAndTheHandOverEndBeforeAnyPageIsShown) {
  constexpr const char* kUnsupported = "Quorvale虚拟主机管理系统不支持您当前所使用的操作系统版本!";
  struct Case {
    const char* name;
    std::function<void(Wizard&)> arrange;
    const char* message;  // nullptr: no message
    bool ends;
    std::vector<std::string> started;
  };
  auto version = [](std::uint32_t platform, std::uint32_t major, std::uint32_t minor) {
    return [=](Wizard& w) {
      auto info = w.temp.machine().Info();
      info.version = {major, minor, 0, platform, ""};
      w.temp.machine().SetInfo(info);
    };
  };
  auto uninstaller = [](const char* value, const char* file) {
    return [=](Wizard& w) {
      w.SetUninstallString(kServerEndKey, value);
      if (file) w.temp.Write(file, "stand-in");
    };
  };
  const std::vector<Case> cases = {
      {"Windows Server 2003", version(2, 5, 2), nullptr, false, {}},
      {"Windows 2000", version(2, 5, 0), nullptr, false, {}},
      {"Windows XP", version(2, 5, 1), kUnsupported, true, {}},
      {"Windows 98", version(1, 4, 10), kUnsupported, true, {}},
      {"Windows Vista", version(2, 6, 0), kUnsupported, true, {}},
      {"platform 0, as a failed call", version(0, 5, 2), kUnsupported, true, {}},
      {"no IIS",
       [](Wizard& w) {
         auto info = w.temp.machine().Info();
         info.iis = false;
         w.temp.machine().SetInfo(info);
       },
       "您的操作系统中未安装IIS，请您先安装IIS!",
       true,
       {}},
      {"earlier installation",
       uninstaller("D:\\Q\\Uninstall.exe -delete", "D:\\Q\\Uninstall.exe"),
       nullptr,
       true,
       {"D:\\Q\\Uninstall.exe"}},
      {"uninstaller missing", uninstaller("D:\\Q\\Uninstall.exe -delete", nullptr), nullptr, false, {}},
      {"value without the switch",
       uninstaller("D:\\Q\\Un.exe", "D:\\Q\\Un.exe"),
       nullptr,
       true,
       {"D:\\Q\\Un.exe"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MachineShape shape = FreeOnC(kSixteenGB);
    shape.drives['D'] = kSixteenGB;
    Wizard w(TestProfile(), shape);
    c.arrange(w);
    w.Start();
    EXPECT_EQ(w.driver.Ended(), c.ends);
    EXPECT_EQ(w.Started(), c.started);
    if (c.message) {
      ASSERT_EQ(w.driver.Messages().size(), 1u);
      EXPECT_EQ(w.driver.Messages()[0].request.prompt, c.message);
      EXPECT_EQ(w.driver.Messages()[0].request.title, "安装");
      EXPECT_EQ(w.driver.Messages()[0].request.icon, MsgIcon::Question);
      EXPECT_EQ(w.driver.Messages()[0].request.buttons, MsgButtons::OK);
    } else {
      EXPECT_TRUE(w.driver.Messages().empty());
    }
    // Nothing was ever shown when the program ended at start-up.
    ASSERT_FALSE(w.driver.Backend().Log().empty());
    EXPECT_EQ(w.driver.Backend().Log().front(), c.ends ? "end" : "show Welcome");
    // How it ended: refused with the box's text, or handed over with the
    // uninstaller started.
    const ProgramOutcome ended = w.program.EndedWith();
    if (!c.ends) {
      EXPECT_EQ(ended.outcome, Outcome::kNone);
    } else if (c.message) {
      EXPECT_EQ(ended.outcome, Outcome::kRefused);
      EXPECT_EQ(ended.detail, c.message);
    } else {
      EXPECT_EQ(ended.outcome, Outcome::kHandedOver);
      EXPECT_EQ(ended.detail, c.started.front());
    }
  }
}

// The closing line is one line whatever the box said, and each outcome has
// its exit code.
TEST(Outcome, ClosingLinesAndExitCodes) {
  struct Case {
    Outcome outcome;
    const char* detail;
    const char* line;
    int code;
  } cases[] = {
      {Outcome::kCompleted, "installed in C:\\Q", "P: completed: installed in C:\\Q", 0},
      {Outcome::kHandedOver, "D:\\Q\\Uninstall.exe", "P: handed-over: D:\\Q\\Uninstall.exe", 0},
      {Outcome::kFailed, "无法启动：\r\nC:\\A\r\n\r\n例如：\r\nx reset",
       "P: failed: 无法启动： C:\\A 例如： x reset", 1},
      {Outcome::kRefused, "您的操作系统中未安装IIS，请您先安装IIS!",
       "P: refused: 您的操作系统中未安装IIS，请您先安装IIS!", 3},
      {Outcome::kCancelled, "Welcome's Cancel", "P: cancelled: Welcome's Cancel", 4},
      {Outcome::kNone, "", "P: failed: ended without saying why", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ClosingLine("P", {c.outcome, c.detail}), c.line);
    EXPECT_EQ(ExitCodeOf(c.outcome), c.code);
  }
}

TEST(StartUp, EachProgramLooksForItsOwnUninstallEntry) {
  struct Case {
    const char* name;
    ProgramTexts texts;
    const char* key;
    bool handed_over;
  };
  const std::vector<Case> cases = {
      {"server end, its own entry", ServerEndTexts(), kServerEndKey, true},
      {"server end, the control end's entry", ServerEndTexts(), kControlEndKey, false},
      {"control end, its own entry", ControlEndTexts(), kControlEndKey, true},
      {"control end, the server end's entry", ControlEndTexts(), kServerEndKey, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Wizard w(TestProfile(c.texts));
    w.SetUninstallString(c.key, "C:\\Q\\Uninstall.exe -delete");
    w.temp.Write("C:\\Q\\Uninstall.exe", "stand-in");
    w.Start();
    EXPECT_EQ(w.driver.Ended(), c.handed_over);
    EXPECT_EQ(w.Started().size(), c.handed_over ? 1u : 0u);
  }
}

TEST(WindowsNameTest, NamesEveryRowOfTheTable) {
  struct Case {
    std::uint32_t platform, major, minor;
    const char* name;
  };
  const Case cases[] = {
      {1, 4, 0, "Windows 95"},
      {1, 4, 10, "Windows 98"},
      {1, 4, 90, "Windows Mellinnium"},
      {1, 4, 3, ""},
      {2, 3, 51, "Windows NT 3.51"},
      {2, 4, 0, "Windows NT 4.0"},
      {2, 5, 0, "Windows 2000"},
      {2, 5, 1, "Windows XP"},
      {2, 5, 2, "Windows Server 2003"},
      {2, 5, 3, ""},
      {2, 6, 1, ""},
      {0, 5, 0, "Failed"},
      {3, 5, 2, "Failed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WindowsName(c.platform, c.major, c.minor), c.name)
        << c.platform << " " << c.major << "." << c.minor;
  }
}

TEST(PageFlow, NextAndBackShowTheTargetFocusItsFieldAndHideThePageLeft) {
  Wizard w;
  w.Start();
  auto& welcome = w.Page<WelcomePage>();
  auto& agreement = w.Page<AgreementPage>();
  w.driver.Click(welcome.NextButton);
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Agreement"});
  EXPECT_EQ(w.driver.FocusName(), "Agreement.Agree");
  EXPECT_EQ(agreement.Caption(), "Quorvale虚拟主机管理系统v3.0被控端");
  EXPECT_EQ(agreement.Icon(), welcome.Icon());
  w.driver.Click(agreement.StepButton);
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Welcome"});
  EXPECT_EQ(w.driver.FocusName(), "Welcome.NextButton");
  w.driver.PressEnter();
  w.driver.PressEnter();  // Enter on the Agree box presses the default AgreeButton
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Choice"});
  EXPECT_EQ(w.driver.FocusName(), "Choice.Field");
  EXPECT_TRUE(welcome.Loaded());
  EXPECT_TRUE(agreement.Loaded());
  // The hidden pages were shown, hidden and shown again without a new load.
  const auto& log = w.driver.Backend().Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "show Agreement"), 2);
}

TEST(PageFlow, DefaultButtonsAndTabOrder) {
  Wizard w;
  w.Start();
  EXPECT_EQ(w.Page<WelcomePage>().DefaultButton(), &w.Page<WelcomePage>().NextButton);
  EXPECT_EQ(w.Page<AgreementPage>().DefaultButton(), &w.Page<AgreementPage>().AgreeButton);
  EXPECT_EQ(w.Page<DirectoryPage>().DefaultButton(), &w.Page<DirectoryPage>().NextButton);
  EXPECT_EQ(w.Page<CompletePage>().DefaultButton(), &w.Page<CompletePage>().CompleteButton);
  w.driver.Click(w.Page<WelcomePage>().NextButton);
  std::vector<std::string> order;
  for (int i = 0; i < 4; ++i) {
    w.driver.PressTab();
    ASSERT_TRUE(w.driver.Focus());
    order.push_back(w.driver.Focus()->Name());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"StepButton", "AgreeButton", "CancelButton", "Agree"}));
  w.driver.PressAccessKey('P');
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Welcome"});
  w.driver.PressAccessKey('N');
  w.driver.PressAccessKey('I');
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Choice"});
}

TEST(PageFlow, EveryPageTakesItsProgramsTexts) {
  Wizard w(TestProfile(ControlEndTexts(), ControlEndRules()));
  w.Start();
  auto& welcome = w.Page<WelcomePage>();
  EXPECT_EQ(welcome.Caption(), "Quorvale虚拟主机管理系统v3.0主控端");
  EXPECT_EQ(welcome.Label2.Caption(), "即将安装Quorvale虚拟主机管理系统v3.0 主控端。");
  EXPECT_FALSE(welcome.Label5.Visible());
  EXPECT_EQ(w.Page<DirectoryPage>().NextButton.Caption(), "下一步(&N) >");
  EXPECT_EQ(w.Page<DirectoryPage>().USpace.Caption(), "28.3MB");
  EXPECT_EQ(w.Page<CompletePage>().Label2.Caption(), "您已成功安装Quorvale虚拟主机管理系统v3.0 主控端。");
  EXPECT_FALSE(w.Page<CompletePage>().Run.Visible());
  EXPECT_EQ(w.Page<CompletePage>().Run.Value(), 0);
  Wizard s;
  EXPECT_EQ(s.Page<DirectoryPage>().NextButton.Caption(), "下一步(&I)");
  EXPECT_EQ(s.Page<DirectoryPage>().USpace.Caption(), "4.8MB");
  EXPECT_EQ(s.Page<WelcomePage>().Label5.Caption(),
            "安装被控端程序之前请确认您已经安装该服务器上即将提供服务的相关程序，如：IIS、PHP、CGI、Serv-U、"
            "Imail或WinWebMail、SQL Server、MySQL以及MySQL ODBC驱动等。");
  EXPECT_TRUE(s.Page<WelcomePage>().Label5.Visible());
}

TEST(Frame, AppPathIsTheProgramFilesFolderADriveRootWithItsBackslash) {
  struct Case {
    const char* file;
    const char* path;
  } cases[] = {
      {"C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe", "C:\\Program Files\\Quorvale\\主控端"},
      {"C:\\Uninstall.exe", "C:\\"},
      {"D:\\Q\\Uninstall.exe", "D:\\Q"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AppPathOf(c.file), c.path) << c.file;
}

}  // namespace
}  // namespace quorvale::setup::testing
