#include <gtest/gtest.h>

#include "quorvale/core/err.h"
#include "quorvale/ui/headless.h"

namespace quorvale::ui {
namespace {

class Page : public Form {
 public:
  explicit Page(Application& app) : Form(app, "Page") {
    for (auto* o : {&A, &B, &C, &D}) o->OnClick([this, o] { clicks.push_back(o->Name()); });
    C.SetContainer(Group);
    D.SetContainer(Group);
    Box.OnClick([this] { clicks.push_back("Box"); });
    Password.SetPasswordChar("*");
    Password.OnChange([this] { ++changes; });
    List.SetHeight(5 * ListBox::kItemHeight);
  }
  std::vector<std::string> clicks;
  int changes = 0;
  Frame Group{*this, "Group"};
  OptionButton A{*this, "A"};
  OptionButton B{*this, "B"};
  OptionButton C{*this, "C"};
  OptionButton D{*this, "D"};
  CheckBox Box{*this, "Box"};
  TextBox Password{*this, "Password"};
  ListBox List{*this, "List"};
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { driver.Start(page); }
  HeadlessDriver driver;
  Page page{driver.App()};
};

TEST_F(ControlsTest, OptionButtonsAreExclusiveWithinTheirContainer) {
  driver.Click(page.A);
  driver.Click(page.C);
  driver.Click(page.B);
  driver.Click(page.B);
  EXPECT_FALSE(page.A.Value());
  EXPECT_TRUE(page.B.Value());
  EXPECT_TRUE(page.C.Value());
  EXPECT_FALSE(page.D.Value());
  // Click fires when a button turns on, by the user or by the code.
  page.D.SetValue(true);
  EXPECT_FALSE(page.C.Value());
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"A", "C", "B", "D"}));
}

TEST_F(ControlsTest, CheckBoxTogglesAndFiresClickOnChangeOnly) {
  driver.Click(page.Box);
  EXPECT_EQ(page.Box.Value(), 1);
  page.Box.SetValue(1);
  driver.Click(page.Box);
  EXPECT_EQ(page.Box.Value(), 0);
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"Box", "Box"}));
  Err err;
  EXPECT_FALSE(err.Resume([&] { page.Box.SetValue(3); }));
  EXPECT_EQ(err.Number(), 380);
  page.Box.SetEnabled(false);
  EXPECT_THROW(driver.Click(page.Box), DriverError);
}

TEST_F(ControlsTest, PasswordBoxShowsOneMarkPerCharacter) {
  driver.Type(page.Password, "密码ab");
  EXPECT_EQ(page.Password.Text(), "密码ab");
  EXPECT_EQ(page.Password.DisplayText(), "****");
  page.Password.SetText("密码ab");
  EXPECT_EQ(page.changes, 1);
  page.Password.SetLocked(true);
  EXPECT_THROW(driver.Type(page.Password, "x"), DriverError);
  page.Password.SetText("code may");
  EXPECT_EQ(page.Password.Text(), "code may");
}

TEST_F(ControlsTest, ListBoxKeepsIndicesInsideTheList) {
  auto& list = page.List;
  for (int i = 0; i < 8; ++i) list.AddItem("line " + std::to_string(i));
  list.AddItem("first", 0);
  EXPECT_EQ(list.ListCount(), 9);
  EXPECT_EQ(list.NewIndex(), 0);
  EXPECT_EQ(list.List(1), "line 0");
  struct Case {
    int set, expected;
  };
  // Five rows in view: the top line goes from 0 to 4.
  for (Case c : {Case{3, 3}, Case{-2, 0}, Case{7, 4}, Case{100, 4}}) {
    list.SetTopIndex(c.set);
    EXPECT_EQ(list.TopIndex(), c.expected) << c.set;
  }
  list.SetTopIndex(0);
  driver.Select(list, 8);
  EXPECT_EQ(list.ListIndex(), 8);
  EXPECT_EQ(list.TopIndex(), 4);  // the selected line is brought into view
  list.RemoveItem(8);
  EXPECT_EQ(list.ListIndex(), -1);
  Err err;
  EXPECT_FALSE(err.Resume([&] { (void)list.List(8); }));
  EXPECT_EQ(err.Number(), 381);
  err.Clear();
  EXPECT_FALSE(err.Resume([&] { list.RemoveItem(-1); }));
  EXPECT_EQ(err.Number(), 5);
  EXPECT_THROW(driver.Select(list, 8), DriverError);
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.TopIndex(), 0);
}

}  // namespace
}  // namespace quorvale::ui
