#include <gtest/gtest.h>

#include "quorvale/core/err.h"
#include "quorvale/ui/caption.h"
#include "quorvale/ui/headless.h"

namespace quorvale::ui {
namespace {

class Page : public Form {
 public:
  Page(Application& app, std::string name) : Form(app, std::move(name)) {
    Next.SetCaption("下一步(&N) >");
    Next.SetDefault(true);
    Next.OnClick([this] { ++next_clicks; });
    Back.SetCaption("< 上一步(&P)");
    Back.OnClick([this] { ++back_clicks; });
    Inner.SetContainer(Box);
  }
  int loads = 0, activations = 0, next_clicks = 0, back_clicks = 0;
  bool refuse_close = false;
  std::vector<UnloadMode> close_modes;

  Label Title{*this, "Title"};
  TextBox Field{*this, "Field"};
  OptionButton First{*this, "First"};
  OptionButton Second{*this, "Second"};
  Frame Box{*this, "Box"};
  TextBox Inner{*this, "Inner"};
  CommandButton Back{*this, "Back"};
  CommandButton Next{*this, "Next"};

 protected:
  void OnLoad() override { ++loads; }
  void OnActivate() override { ++activations; }
  bool OnQueryUnload(UnloadMode mode) override {
    close_modes.push_back(mode);
    return refuse_close;
  }
};

class FormTest : public ::testing::Test {
 protected:
  HeadlessDriver driver;
  Page a{driver.App(), "A"};
  Page b{driver.App(), "B"};
};

TEST_F(FormTest, ShowLoadsOnceAndSwitchingActivates) {
  driver.Start(a);
  driver.Run([&] {
    b.Show();
    b.Field.SetFocus();
    a.Hide();
  });
  driver.Run([&] {
    a.Show();
    b.Hide();
  });
  EXPECT_EQ(a.loads, 1);
  EXPECT_EQ(b.loads, 1);
  EXPECT_EQ(a.activations, 2);
  EXPECT_EQ(driver.ShownForms(), std::vector<std::string>{"A"});
  // The first show put the focus on the first control that takes it.
  EXPECT_EQ(driver.FocusName(), "A.Field");
  EXPECT_EQ(b.ActiveControl(), &b.Field);
}

TEST_F(FormTest, HidingTheActiveFormActivatesTheOneShownBefore) {
  driver.Start(a);
  driver.Run([&] { b.Show(); });
  driver.Run([&] { b.Hide(); });
  EXPECT_EQ(driver.ActiveForm(), &a);
  EXPECT_EQ(a.activations, 2);
}

TEST_F(FormTest, RefusedCloseKeepsTheFormAndClosingTheLastFormEnds) {
  driver.Start(a);
  a.refuse_close = true;
  driver.Close(a);
  EXPECT_TRUE(a.Visible());
  EXPECT_FALSE(driver.Ended());
  a.refuse_close = false;
  driver.Run([&] { a.Close(); });
  EXPECT_EQ(a.close_modes, (std::vector<UnloadMode>{UnloadMode::ControlMenu, UnloadMode::Code}));
  EXPECT_TRUE(driver.Ended());
}

TEST_F(FormTest, SetFocusRaisesWhereTheUserCouldNotGo) {
  driver.Start(a);
  struct Case {
    const char* name;
    std::function<void()> arrange;
    Control* target;
  };
  std::vector<Case> cases = {
      {"label", [] {}, &a.Title},
      {"hidden", [&] { a.Field.SetVisible(false); }, &a.Field},
      {"disabled", [&] { a.Field.SetEnabled(false); }, &a.Field},
      {"in hidden frame", [&] { a.Box.SetVisible(false); }, &a.Inner},
      {"in disabled frame", [&] { a.Box.SetEnabled(false); }, &a.Inner},
      {"on hidden form", [] {}, &b.Field},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    a.Field.SetVisible(true);
    a.Field.SetEnabled(true);
    a.Box.SetVisible(true);
    a.Box.SetEnabled(true);
    c.arrange();
    Err err;
    EXPECT_FALSE(err.Resume([&] { c.target->SetFocus(); }));
    EXPECT_EQ(err.Number(), 5);
  }
}

TEST_F(FormTest, TabIndexRenumbersAndTabSkipsWhatCannotTakeFocus) {
  driver.Start(a);
  a.Next.SetTabIndex(0);
  EXPECT_EQ(a.Next.TabIndex(), 0);
  EXPECT_EQ(a.Title.TabIndex(), 1);
  EXPECT_EQ(a.Back.TabIndex(), 7);
  a.Second.SetValue(true);
  a.Box.SetVisible(false);
  driver.Run([&] { a.Next.SetFocus(); });
  std::vector<std::string> seen;
  for (int i = 0; i < 5; ++i) {
    driver.PressTab();
    ASSERT_TRUE(driver.Focus());
    seen.push_back(driver.Focus()->Name());
  }
  // Label, unselected option and the box in the hidden frame are passed over.
  EXPECT_EQ(seen, (std::vector<std::string>{"Field", "Second", "Back", "Next", "Field"}));
  driver.PressTab(true);
  ASSERT_TRUE(driver.Focus());
  EXPECT_EQ(driver.Focus()->Name(), "Next");
}

TEST_F(FormTest, EnterPressesTheFocusedButtonElseTheDefault) {
  driver.Start(a);
  driver.PressEnter();
  EXPECT_EQ(a.next_clicks, 1);
  driver.Run([&] { a.Back.SetFocus(); });
  driver.PressEnter();
  EXPECT_EQ(a.back_clicks, 1);
  a.Next.SetEnabled(false);
  driver.Run([&] { a.Field.SetFocus(); });
  driver.PressEnter();
  EXPECT_EQ(a.next_clicks, 1);
  // Only one default button per form.
  a.Back.SetDefault(true);
  EXPECT_FALSE(a.Next.Default());
  EXPECT_EQ(a.DefaultButton(), &a.Back);
}

TEST_F(FormTest, AccessKeyPressesItsButton) {
  driver.Start(a);
  driver.PressAccessKey('p');
  driver.PressAccessKey('N');
  driver.PressAccessKey('X');
  EXPECT_EQ(a.back_clicks, 1);
  EXPECT_EQ(a.next_clicks, 1);
}

TEST_F(FormTest, ClickingABoxFocusesItAndALabelCannotBeClicked) {
  driver.Start(a);
  driver.Run([&] { a.Next.SetFocus(); });
  driver.Click(a.Field);
  EXPECT_EQ(driver.FocusName(), "A.Field");
  EXPECT_THROW(driver.Click(a.Title), DriverError);
  EXPECT_THROW(driver.Click(b.Next), DriverError);  // on a form never shown
}

TEST(CaptionTest, AccessKeysAndShownCaptions) {
  struct Case {
    const char* caption;
    char key;
    const char* shown;
  };
  const Case cases[] = {
      {"下一步(&N) >", 'N', "下一步(N) >"},
      {"修复[&M]", 'M', "修复[M]"},
      {"取消(&c)", 'C', "取消(c)"},
      {"a&&b", 0, "a&b"},
      {"&&&x", 'X', "&x"},
      {"", 0, ""},
      {"测试连接", 0, "测试连接"},
      {"end&", 0, "end&"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AccessKey(c.caption), c.key) << c.caption;
    EXPECT_EQ(ShownCaption(c.caption), c.shown) << c.caption;
  }
}

TEST_F(FormTest, EndUnwindsEveryHandlerAndPassesResumeOnError) {
  driver.Start(a);
  bool after_end = false, after_pump = false;
  a.Next.OnClick([&] { driver.App().End(); });
  driver.PostClick(a.Next);
  driver.Run([&] {
    Err err;
    err.Resume([&] {
      driver.App().DoEvents();
      after_pump = true;
    });
    after_end = true;
  });
  EXPECT_FALSE(after_pump);
  EXPECT_FALSE(after_end);
  EXPECT_TRUE(driver.Ended());
  EXPECT_TRUE(driver.ShownForms().empty());
  EXPECT_THROW(driver.Click(a.Next), DriverError);
}

TEST_F(FormTest, AnErrorNobodyResumesPastEndsTheProgram) {
  driver.Start(a);
  a.Next.OnClick([&] { a.Title.SetFocus(); });
  driver.Click(a.Next);
  ASSERT_TRUE(driver.App().Unhandled().has_value());
  EXPECT_EQ(driver.App().Unhandled()->number, 5);
  EXPECT_TRUE(driver.Ended());
}

}  // namespace
}  // namespace quorvale::ui
