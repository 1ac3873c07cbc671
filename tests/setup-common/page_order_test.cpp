// The program's order: Next and Back walk it, a conditional page is in the
// chain exactly while its condition holds at the moment of the click, and
// each page takes the focus it names for the way it was entered.
#include <gtest/gtest.h>

#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

TEST(PageOrder, AConditionalPageIsInTheChainWhileItsConditionHoldsAtTheClick) {
  struct Case {
    const char* name;
    bool checked_going_forward;
    bool checked_going_back;
    std::vector<std::string> forward;  // pages shown by Next from Choice
    std::vector<std::string> back;     // pages shown by Back from Directory
  };
  const std::vector<Case> cases = {
      {"never checked", false, false, {"Directory"}, {"Choice"}},
      {"always checked", true, true, {"Optional", "Directory"}, {"Optional", "Choice"}},
      {"checked only going forward", true, false, {"Optional", "Directory"}, {"Choice"}},
      {"checked only going back", false, true, {"Directory"}, {"Optional", "Choice"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Wizard w;
    w.Start();
    w.driver.Click(w.Page<WelcomePage>().NextButton);
    w.driver.Click(w.Page<AgreementPage>().AgreeButton);
    auto& choice = w.Page<Choice>();
    auto set_box = [&](bool checked) { choice.Box.SetValue(checked ? 1 : 0); };

    set_box(c.checked_going_forward);
    std::vector<std::string> forward;
    w.driver.Click(choice.NextButton);
    forward.push_back(w.driver.ShownForms().at(0));
    if (forward.back() == "Optional") {
      w.driver.Click(w.Page<Optional>().NextButton);
      forward.push_back(w.driver.ShownForms().at(0));
    }
    EXPECT_EQ(forward, c.forward);

    set_box(c.checked_going_back);
    std::vector<std::string> back;
    w.driver.Click(w.Page<DirectoryPage>().StepButton);
    back.push_back(w.driver.ShownForms().at(0));
    if (back.back() == "Optional") {
      w.driver.Click(w.Page<Optional>().StepButton);
      back.push_back(w.driver.ShownForms().at(0));
    }
    EXPECT_EQ(back, c.back);
  }
}

TEST(PageOrder, EachPageTakesTheFocusItNamesForTheWayItIsEntered) {
  Wizard w;
  w.Start();
  auto& directory = w.WalkToDirectory();
  EXPECT_EQ(w.driver.FocusName(), "Directory.Directory");
  w.driver.Click(directory.StepButton);
  EXPECT_EQ(w.driver.FocusName(), "Choice.Box");  // backwards
  w.driver.Click(w.Page<Choice>().StepButton);
  EXPECT_EQ(w.driver.FocusName(), "Agreement.Agree");
  w.driver.Click(w.Page<AgreementPage>().AgreeButton);
  EXPECT_EQ(w.driver.FocusName(), "Choice.Field");  // forwards
}

TEST(PageOrder, TheProgressPageEndsOnTheNextPageOfTheOrder) {
  Wizard w;
  w.Start();
  w.driver.Click(w.WalkToDirectory().NextButton);
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Install"});
  w.driver.Advance(100);
  EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
  EXPECT_FALSE(w.driver.Ended());
}

}  // namespace
}  // namespace quorvale::setup::testing
