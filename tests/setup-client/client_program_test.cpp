// Client as a whole: its start-up, its chain of pages with the focus rules
// of both directions, and the control end's copies of the shared pages.
#include <gtest/gtest.h>

#include <functional>

#include "client_run.h"
#include "quorvale/setup/install_records.h"

namespace quorvale::client::testing {
namespace {

// An earlier installation as its setup registers it, in the folder it chose.
TEST(ClientStart, HandsOnlyAControlEndInstallationToItsUninstaller) {
  struct Case {
    const char* name;
    setup::InstallEnd end;
    bool file_present;
    bool handed_over;
  };
  const Case cases[] = {
      {"control end, uninstaller present", setup::InstallEnd::kControl, true, true},
      {"control end, uninstaller missing", setup::InstallEnd::kControl, false, false},
      {"server end installed", setup::InstallEnd::kServer, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MachineShape shape = setup::testing::FreeOnC(setup::testing::kSixteenGB);
    shape.drives['D'] = setup::testing::kSixteenGB;
    ClientRun run(shape);
    setup::RegistryHelpers registry;
    setup::WriteUninstallEntry(registry, c.end, "D:\\面板\\主控端");
    if (c.file_present) run.temp.Write("D:\\面板\\主控端\\Uninstall.exe", "stand-in");
    run.Start();
    EXPECT_EQ(run.driver.Ended(), c.handed_over);
    EXPECT_TRUE(run.driver.Messages().empty());
    if (c.handed_over) {
      EXPECT_EQ(run.Started(), std::vector<std::string>{"D:\\面板\\主控端\\Uninstall.exe"});
      ASSERT_FALSE(run.driver.Backend().Log().empty());
      EXPECT_EQ(run.driver.Backend().Log().front(), "end");
    } else {
      EXPECT_TRUE(run.Started().empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Welcome"});
    }
  }
}

TEST(ClientStart, WelcomeSpeaksOfTheControlEndWithoutAProgramList) {
  ClientRun run;
  run.Start();
  auto& welcome = run.Page<WelcomePage>();
  EXPECT_EQ(welcome.Caption(), "Quorvale虚拟主机管理系统v3.0主控端");
  EXPECT_EQ(welcome.Label2.Caption(), "即将安装Quorvale虚拟主机管理系统v3.0 主控端。");
  EXPECT_FALSE(welcome.Label5.Visible());
  EXPECT_EQ(welcome.NextButton.Caption(), "下一步(&N) >");
}

// One click of the walk and what it leads to.
struct Move {
  const char* click;
  std::function<ui::CommandButton&(ClientRun&)> button;
  const char* shown;
  const char* focus;
};

ui::CommandButton& WelcomeNext(ClientRun& r) { return r.Page<WelcomePage>().NextButton; }
ui::CommandButton& Agree(ClientRun& r) { return r.Page<AgreementPage>().AgreeButton; }
ui::CommandButton& AgreementBack(ClientRun& r) { return r.Page<AgreementPage>().StepButton; }
ui::CommandButton& DataBaseNext(ClientRun& r) { return r.Page<DataBasePage>().NextButton; }
ui::CommandButton& DataBaseBack(ClientRun& r) { return r.Page<DataBasePage>().StepButton; }
ui::CommandButton& DirectoryNext(ClientRun& r) { return r.Page<DirectoryPage>().NextButton; }
ui::CommandButton& DirectoryBack(ClientRun& r) { return r.Page<DirectoryPage>().StepButton; }
ui::CommandButton& DomainBack(ClientRun& r) { return r.Page<DomainPage>().StepButton; }
ui::CommandButton& DomainNext(ClientRun& r) { return r.Page<DomainPage>().NextButton; }

TEST(ClientWalk, ForwardsAndBackwardsEachPageTakesItsFocus) {
  const Move moves[] = {
      {"Welcome Next", WelcomeNext, "Agreement", "Agreement.Agree"},
      {"Agree", Agree, "DataBase", "DataBase.Access"},
      {"DataBase Next", DataBaseNext, "Directory", "Directory.Directory"},
      {"Directory Next", DirectoryNext, "Domain", "Domain.Domain"},
      {"Domain Back", DomainBack, "Directory", "Directory.Directory"},
      {"Directory Back", DirectoryBack, "DataBase", "DataBase.Access"},
      {"DataBase Back", DataBaseBack, "Agreement", "Agreement.Agree"},
      {"Agreement Back", AgreementBack, "Welcome", "Welcome.NextButton"},
      {"Welcome Next again", WelcomeNext, "Agreement", "Agreement.Agree"},
      {"Agree again", Agree, "DataBase", "DataBase.Access"},
      {"DataBase Next again", DataBaseNext, "Directory", "Directory.Directory"},
      {"Directory Next again", DirectoryNext, "Domain", "Domain.Domain"},
  };
  ClientRun run;
  run.BindSite("1", ":80:www.default.test");
  run.Start();
  for (const auto& m : moves) {
    SCOPED_TRACE(m.click);
    run.driver.Click(m.button(run));
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{m.shown});
    EXPECT_EQ(run.driver.FocusName(), m.focus);
  }
  // The install button hands over to the progress page, which sets no focus
  // and ends on Complete.
  run.driver.Click(DomainNext(run));
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
  run.driver.Advance(100);
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_EQ(run.Page<InstallPage>().StateCaption.Caption(), "安装完毕...");
  EXPECT_EQ(run.Page<InstallPage>().Loading.Width(), 6765);
  EXPECT_TRUE(run.driver.Messages().empty());
}

TEST(ClientWalk, ARefusedCloseLeavesTheFocusOnThePagesField) {
  struct Case {
    const char* page;
    std::function<ui::Form&(ClientRun&)> go;
    const char* focus;
  };
  const Case cases[] = {
      {"DataBase, Access chosen", [](ClientRun& r) -> ui::Form& { return r.WalkToDataBase(); },
       "DataBase.Access"},
      {"DataBase, SQL Server chosen",
       [](ClientRun& r) -> ui::Form& {
         auto& page = r.WalkToDataBase();
         r.driver.Click(page.SQLServer);
         return page;
       },
       "DataBase.Access"},
      {"Directory", [](ClientRun& r) -> ui::Form& { return r.WalkToDirectory(); }, "Directory.Directory"},
      {"Domain", [](ClientRun& r) -> ui::Form& { return r.WalkToDomain(); }, "Domain.Domain"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    ClientRun run;
    run.Start();
    ui::Form& page = c.go(run);
    run.driver.PressTab();
    run.driver.Answer(ui::MsgResult::Cancel);
    run.driver.Close(page);
    ASSERT_EQ(run.driver.Messages().size(), 1u);
    EXPECT_EQ(run.driver.Messages()[0].request.title, "安装");
    EXPECT_TRUE(page.Visible());
    EXPECT_EQ(run.driver.FocusName(), c.focus);
  }
}

TEST(ClientWalk, DirectoryHasTheControlEndsWordsAndSize) {
  ClientRun run;
  run.Start();
  auto& directory = run.WalkToDirectory();
  EXPECT_EQ(directory.Directory.Text(), "C:\\Program Files\\Quorvale\\主控端");
  EXPECT_EQ(directory.USpace.Caption(), "28.3MB");
  EXPECT_EQ(directory.NextButton.Caption(), "下一步(&N) >");
  run.driver.AnswerFolder("C:\\");
  run.driver.Click(directory.ViewButton);
  EXPECT_EQ(directory.Directory.Text(), "C:\\Quorvale\\主控端");
}

TEST(ClientWalk, DirectoryWantsThirtyMegabytesFree) {
  // Clusters of 4 KB: 5243 are 0.02 GB, 7864 are 0.03 GB.
  for (std::uint64_t clusters : {5243u, 7864u}) {
    SCOPED_TRACE(clusters);
    ClientRun run(setup::testing::FreeOnC(clusters * 4096));
    run.Start();
    run.driver.Click(run.WalkToDirectory().NextButton);
    if (clusters == 5243u) {
      run.ExpectError(0, "您选择的磁盘剩余空间不足,请选择其他路径!");
    } else {
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Domain"});
    }
  }
}

// Through the install to Complete, on a machine whose default site is bound
// to a host name of its own. No program runs here, so the files an unpacked
// payload leaves are there beforehand, and the install finds what it needs.
struct AtComplete : ClientRun {
  AtComplete() {
    BindSite("1", ":80:www.default.test");
    for (const char* file :
         {"C:\\Program Files\\Quorvale\\主控端\\Uninstall.exe",
          "C:\\Program Files\\Quorvale\\主控端\\Web\\Inc\\Conn.asp", "C:\\WINDOWS\\system32\\DodIde.dll",
          "C:\\WINDOWS\\system32\\Quorvale.dll", "C:\\WINDOWS\\system32\\Jmail.dll"})
      temp.Write(file, "unpacked");
    Start();
    driver.Click(WalkToDomain().NextButton);
    driver.Advance(100);
    installed = Started().size();
  }
  CompletePage& page() { return Page<CompletePage>(); }
  // What Complete started, after the install's own programs.
  std::vector<std::string> StartedSince() {
    const auto all = Started();
    return {all.begin() + static_cast<std::ptrdiff_t>(installed), all.end()};
  }
  std::size_t installed = 0;
};

TEST(ClientComplete, OffersOnlyTheReadMe) {
  AtComplete run;
  EXPECT_EQ(run.page().Label2.Caption(), "您已成功安装Quorvale虚拟主机管理系统v3.0 主控端。");
  EXPECT_FALSE(run.page().Run.Visible());
  EXPECT_EQ(run.page().ReadMe.Value(), 1);
  EXPECT_EQ(run.page().ReadMe.Top(), 2040);  // in the place Run has on the server end
}

TEST(ClientComplete, EveryWayOutEndsTheProgramStartingAtMostTheReadMe) {
  struct Case {
    const char* name;
    int read_me;
    bool exit;  // ExitButton instead of CompleteButton
    std::vector<std::string> started;
  };
  const Case cases[] = {
      {"ReadMe checked", 1, false, {"notepad.exe C:\\Program Files\\Quorvale\\主控端\\说明.txt"}},
      {"ReadMe cleared", 0, false, {}},
      {"Exit", 1, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AtComplete run;
    run.page().ReadMe.SetValue(c.read_me);
    run.driver.Click(c.exit ? run.page().ExitButton : run.page().CompleteButton);
    EXPECT_TRUE(run.driver.Ended());
    EXPECT_EQ(run.StartedSince(), c.started);
  }
}

}  // namespace
}  // namespace quorvale::client::testing
