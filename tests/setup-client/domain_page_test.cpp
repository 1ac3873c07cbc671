// The Domain page: the form of a host name, and Next's checks in order, the
// last one against the bindings of the machine's web sites.
#include <gtest/gtest.h>

#include "client_run.h"

namespace quorvale::client::testing {
namespace {

TEST(CheckDomainTest, AcceptsOnlyTheFormItKnows) {
  const std::string sixty = std::string(56, 'a') + ".com";
  struct Case {
    std::string name;
    bool accepted;
  };
  const Case cases[] = {
      {"a", false},
      {"", false},
      {"ab", false},  // no dot
      {"a.", false},
      {"a.b", true},
      {sixty, true},
      {"a" + sixty, false},  // 61 characters
      {"localhost", false},
      {"-panel.example.com", false},
      {".panel.example.com", false},
      {"panel.example.com.", false},
      {"panel.example.com-", false},
      {"panel_1.example.com", false},
      {"panel 1.example.com", false},
      {"面板.example.com", false},
      {"Panel.Example.COM", true},
      {"a..b", true},
      {"a-.b", true},
      {"192.168.0.1", true},
      {"1.2.3.4.5.6", true},
  };
  for (const auto& c : cases) {
    std::string d = c.name;
    EXPECT_EQ(DomainPage::CheckDomain(d), c.accepted) << c.name;
  }
}

TEST(CheckDomainTest, LowerCasesWhatItIsGiven) {
  std::string d = "Panel.Example.COM";
  DomainPage::CheckDomain(d);
  EXPECT_EQ(d, "panel.example.com");
}

// On the Domain page of a machine whose default site is bound to a host
// name, so that the empty name is free.
struct OnDomain : ClientRun {
  OnDomain() {
    BindSite("1", ":80:www.default.test");
    Start();
    WalkToDomain();
  }
  DomainPage& page() { return Page<DomainPage>(); }
  // Types the name and presses the install button from the box.
  void Install(const std::string& name) {
    driver.Type(page().Domain, name);
    driver.Click(page().NextButton);
  }
};

TEST(DomainPageTest, NextRefusesInOrder) {
  struct Case {
    const char* name;
    const char* message;
    bool focus_in_box;
  };
  const Case cases[] = {
      {"http://panel.example.com", "域名中请勿包含“http://”字符!", true},
      {"HTTP://Panel.Example.com", "域名中请勿包含“http://”字符!", true},
      {"panel.http://", "域名中请勿包含“http://”字符!", true},
      {"panel_1.example.com", "您输入的域名格式不正确!", true},
      {"panel", "您输入的域名格式不正确!", true},
      {"www.default.test", "域名已经被绑定!", false},
      {"WWW.Default.Test", "域名已经被绑定!", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OnDomain run;
    run.Install(c.name);
    run.ExpectError(0, c.message);
    EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Domain"});
    EXPECT_EQ(run.driver.FocusName(), c.focus_in_box ? "Domain.Domain" : "Domain.NextButton");
    EXPECT_EQ(run.page().Domain.Text(), c.name);  // kept as typed
  }
}

TEST(DomainPageTest, OnlyAWebSitesBindingOnPort80WithoutAddressStopsIt) {
  struct Case {
    const char* name;
    const char* site;
    const char* bindings;  // one a line
    const char* typed;
    bool taken;
  };
  const Case cases[] = {
      {"default site on :80:, empty name", "1", ":80:", "", true},
      {"default site on :80:, a name", "1", ":80:", "panel.example.com", false},
      {"another site, other letter case", "7", ":80:Panel.Example.com", "panel.EXAMPLE.com", true},
      {"second binding of a site", "7", ":80:a.example.com\n:80:panel.example.com", "panel.example.com",
       true},
      {"bound to an address", "7", "10.0.0.1:80:panel.example.com", "panel.example.com", false},
      {"bound to another port", "7", ":8080:panel.example.com", "panel.example.com", false},
      {"name inside a longer one", "7", ":80:www.panel.example.com", "panel.example.com", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClientRun run;
    if (std::string(c.site) != "1") run.BindSite("1", ":80:www.default.test");
    run.BindSite(c.site, c.bindings);
    run.Start();
    auto& page = run.WalkToDomain();
    if (*c.typed) run.driver.Type(page.Domain, c.typed);
    run.driver.Click(page.NextButton);
    if (c.taken) {
      run.ExpectError(0, "域名已经被绑定!");
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Domain"});
    } else {
      EXPECT_TRUE(run.driver.Messages().empty());
      EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Install"});
    }
  }
}

TEST(DomainPageTest, AnIisThatCannotBeOpenedStopsTheWizardHere) {
  OnDomain run;
  // The IIS namespace is gone from the registry since the start-up check.
  run.temp.machine().Registry().DeleteTree("HKEY_CLASSES_ROOT\\IIS");
  run.Install("panel.example.com");
  run.ExpectError(0, "无法打开W3SVC服务!");
  EXPECT_EQ(run.driver.FocusName(), "Domain.Domain");
  EXPECT_EQ(run.driver.ShownForms(), std::vector<std::string>{"Domain"});
}

}  // namespace
}  // namespace quorvale::client::testing
