// The keyboard focus on a display with no window manager (as under
// xvfb-run) as with one: a message box or dialog takes the focus when it
// opens, what is typed while it is open answers it and never reaches the
// page below, and the page gets the focus back, on the control the code
// puts it on, when it closes; a page shown takes the focus; option buttons
// are walked as on Windows, the same headless. The keys come from another
// client of the display, sent where the X server sends a typed key.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "display_user.h"
#include "fl.h"
#include "key_walk.h"
// After fl.h, which takes X11's None away.
#include <X11/keysym.h>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "window_test.h"

namespace quorvale::ui::fltk::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A page with a default button that counts its presses and a box the code
// puts the focus on after a box or dialog.
class Page : public Form {
 public:
  Page(Application& app, const char* name, const char* caption) : Form(app, name) {
    Move(0, 0, 6000, 3000);
    SetCaption(caption);
    Next.Move(4200, 2100, 1215, 375);
    Next.SetCaption("下一步(&N) >");
    Next.SetDefault(true);
    Next.OnClick([this] { ++pressed; });
    Box.Move(300, 300, 3000, 345);
    Box.SetText("abc");
  }
  CommandButton Next{*this, "Next"};
  TextBox Box{*this, "Box"};
  int pressed = 0;
};

class Keyboard : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The dialogs show a machine (drive C only) with C:\Tools\setup.exe.
    Machine::Create(machine_.Path(), MachineShape{});
    Machine m(machine_.Path());
    fs::create_directories(m.Resolve("C:\\Tools").host);
    std::ofstream(m.Resolve("C:\\Tools\\setup.exe").host) << "MZ";
    StartBackend(machine_.Path());
  }

  // The window that has the keyboard focus, as the display says.
  static Window XFocus() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(fl_display, &focus, &revert);
    return focus;
  }
  Window XidOf(const Form& form) { return fl_xid(backend_->WindowOf(form)); }
  // Lets the loop run for a while: input that reached a page is handled.
  void RunFor(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    RunUntil([&] { return std::chrono::steady_clock::now() >= end; });
  }
  // The page has the keyboard back, with the focus on control.
  bool FocusBackOn(const Form& page, const Control& control) {
    return RunUntil([&] { return XFocus() == XidOf(page) && Fl::focus() == backend_->WidgetOf(control); });
  }

  quorvale::testing::TempFolder machine_{"quorvale-keyboard"};
};

// What the person at the display saw and did while a box or dialog was open.
struct UserSide {
  XWindow window = 0;         // the box or dialog
  XWindow focus_on_open = 0;  // where the focus was once it had opened
  bool unanswered = false;    // the keys did not close it
  std::atomic<bool> done{false};
};

// How the person types at a box or dialog: the keys, sent where the display
// sends them with the pointer on the page beside it (where a display
// without a window manager sends what is typed unless a window has the
// focus), or to the page's window; a window the keys leave open is closed
// with close_key sent to it, so that the test goes on.
struct Typing {
  std::string title;
  std::vector<KeySym> keys;
  bool to_page = false;
  KeySym close_key = XK_Escape;
};

std::thread TypeAt(UserSide& seen, const Typing& typing, XWindow page) {
  return std::thread([&seen, typing, page] {
    DisplayUser user;
    seen.window = user.WaitFor(typing.title);
    if (!seen.window) {
      seen.done = true;
      return;
    }
    user.PointAt(page, 5, 5);
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (user.Focus() != seen.window && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(10ms);
    seen.focus_on_open = user.Focus();
    for (KeySym key : typing.keys) {
      if (typing.to_page)
        user.TypeOn(page, key);
      else
        user.Type(key);
      std::this_thread::sleep_for(50ms);
    }
    if (!user.WaitGone(typing.title, 2s)) {
      seen.unanswered = true;
      user.TypeOn(seen.window, typing.close_key);
      user.WaitGone(typing.title, 2s);
    }
    seen.done = true;
  });
}

class KeyboardAtABox : public Keyboard {
 protected:
  // Opens the box or dialog over page in an event (open), the person types
  // at it, and the code then puts the focus on the page's box. The box
  // took the keyboard, what was typed answered it, the page has the focus
  // back on its box, and no key reached the page.
  void OpenAndType(Page& page, const Typing& typing, const std::function<void()>& open) {
    backend_->Flush();
    page.pressed = 0;
    UserSide seen;
    std::thread user = TypeAt(seen, typing, XidOf(page));
    app_->RunEvent([&] {
      open();
      page.Box.SetFocus();
    });
    // The loop goes on (the box's window is taken off the display) until
    // the person has seen it go.
    RunUntil([&] { return seen.done.load(); });
    user.join();
    ASSERT_NE(seen.window, 0u) << typing.title << " was not seen";
    EXPECT_EQ(seen.focus_on_open, seen.window) << typing.title << " did not take the keyboard focus";
    EXPECT_FALSE(seen.unanswered) << "what was typed did not answer " << typing.title;
    EXPECT_TRUE(FocusBackOn(page, page.Box)) << "the page did not get the focus back on its box";
    RunFor(300ms);
    EXPECT_EQ(page.pressed, 0) << "a key meant for " << typing.title << " pressed the page's default button";
  }
};

TEST_F(KeyboardAtABox, AMessageBoxTakesWhatIsTypedAndGivesTheFocusBack) {
  Page page(*app_, "Page", "页面");
  app_->RunEvent([&] { page.Show(); });
  struct Case {
    const char* what;
    MsgButtons buttons;
    KeySym key;
    bool to_page;
    MsgResult answer;
  } cases[] = {
      {"Enter", MsgButtons::OKCancel, XK_Return, false, MsgResult::OK},
      {"Esc", MsgButtons::OKCancel, XK_Escape, false, MsgResult::Cancel},
      {"Space on the focused button", MsgButtons::OKCancel, XK_space, false, MsgResult::OK},
      {"N for 否(&N)", MsgButtons::YesNo, XK_n, false, MsgResult::No},
      {"Enter that reached the page's window", MsgButtons::OKCancel, XK_Return, true, MsgResult::OK},
      {"Esc that reached the page's window", MsgButtons::OKCancel, XK_Escape, true, MsgResult::Cancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MsgResult answer = MsgResult::Retry;
    OpenAndType(page, {"问题", {c.key}, c.to_page, XK_Return},
                [&] { answer = app_->MsgBox("继续吗？", c.buttons, MsgIcon::Question, "问题"); });
    EXPECT_EQ(answer, c.answer);
  }
}

TEST_F(Keyboard, APageShownTakesTheFocus) {
  Page first(*app_, "First", "第一页"), second(*app_, "Second", "第二页");
  app_->RunEvent([&] { first.Show(); });
  EXPECT_TRUE(FocusBackOn(first, first.Next));
  app_->RunEvent([&] {
    second.Show();
    first.Hide();
  });
  EXPECT_TRUE(FocusBackOn(second, second.Next));
  // Enter typed with the pointer on no window reaches the page shown.
  DisplayUser user;
  user.PointAt(0, 0, 0);
  user.Type(XK_Return);
  EXPECT_TRUE(RunUntil([&] { return second.pressed == 1; }));
  EXPECT_EQ(first.pressed, 0);
}

TEST_F(KeyboardAtABox, TheDialogsTakeTheFocusAndAreAnsweredFromTheKeyboard) {
  Page page(*app_, "Page", "页面");
  app_->RunEvent([&] { page.Show(); });
  struct Case {
    const char* what;
    bool folder;
    std::vector<KeySym> keys;
    std::optional<std::string> answer;
  } cases[] = {
      // The first Down selects the first line; Enter answers it.
      {"folder: Down, Enter", true, {XK_Down, XK_Return}, "C:\\"},
      {"folder: Esc", true, {XK_Escape}, std::nullopt},
      // "..", then setup.exe; the arrows do not leave the folder.
      {"file: Down, Down, Enter", false, {XK_Down, XK_Down, XK_Return}, "C:\\Tools\\setup.exe"},
      {"file: Esc", false, {XK_Escape}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<std::string> answer = "not answered";
    OpenAndType(page, {c.folder ? "浏览文件夹" : "打开", c.keys, false, XK_Escape}, [&] {
      if (c.folder) {
        answer = app_->BrowseForFolder(&page, "请选择文件夹：", 1);
      } else {
        FileRequest request;
        request.initial_folder = "C:\\Tools";
        request.owner = page.Name();
        answer = app_->OpenFile(request);
      }
    });
    EXPECT_EQ(answer, c.answer);
  }
}

// Option buttons in groups as pages have them: three on the form (the
// label between the second and the third does not part them), a check box
// that ends the group, three in a frame; a text box and a button. Every
// Click is logged.
class Choices : public Form {
 public:
  explicit Choices(Application& app) : Form(app, "Choices") {
    Move(0, 0, 6000, 4200);
    SetCaption("选择");
    int top = 300;
    for (Control* c : std::initializer_list<Control*>{&A, &B, &Note, &C, &Box}) {
      c->Move(300, top, 2400, 255);
      top += 330;
    }
    Panel.Move(3000, 300, 2700, 1500);
    top = 300;
    for (OptionButton* o : {&D, &E, &F}) {
      o->SetContainer(Panel);
      o->Move(150, top, 2400, 255);
      top += 360;
    }
    Field.Move(300, 2100, 3000, 345);
    Ok.Move(4500, 3000, 1215, 375);
    Ok.SetCaption("确定");
    Ok.SetDefault(true);
    Note.SetCaption("说明");
    Box.SetCaption("复选");
    for (OptionButton* o : {&A, &B, &C, &D, &E, &F}) {
      o->SetCaption("选项 " + o->Name());
      o->OnClick([this, o] { clicks += (clicks.empty() ? "" : " ") + o->Name(); });
    }
  }
  OptionButton A{*this, "A"};
  OptionButton B{*this, "B"};
  Label Note{*this, "Note"};
  OptionButton C{*this, "C"};
  CheckBox Box{*this, "Box"};
  Frame Panel{*this, "Panel"};
  OptionButton D{*this, "D"};
  OptionButton E{*this, "E"};
  OptionButton F{*this, "F"};
  TextBox Field{*this, "Field"};
  CommandButton Ok{*this, "Ok"};
  std::string clicks;
};

// Walks through Choices: what the code does first, the keys, the Clicks.
struct Walk {
  const char* what;
  std::function<void(Choices&)> arrange;
  std::vector<KeyStep> steps;
  const char* clicks;
};

const std::vector<Walk>& Walks() {
  static const std::vector<Walk> walks = {
      {"the arrows move through a group and select, one Click a move, round its ends; Tab stops once at a "
       "group, at its selected option, and leaves it; arrows elsewhere change nothing",
       [](Choices&) {},
       {
           {Key::Down, "Choices.B", "B"},
           {Key::Down, "Choices.C", "C"},   // the label does not part them
           {Key::Right, "Choices.A", "A"},  // round the end
           {Key::Left, "Choices.C", "C"},
           {Key::Up, "Choices.B", "B"},
           {Key::Tab, "Choices.Box", "B"},
           {Key::Down, "Choices.Box", "B"},  // a check box's arrows do nothing
           {Key::Tab, "Choices.D", "B"},     // none selected: the first
           {Key::Right, "Choices.E", "B E"},
           {Key::Tab, "Choices.Field", "B E"},
           {Key::Down, "Choices.Field", "B E"},
           {Key::ShiftTab, "Choices.E", "B E"},  // back in at the selected one
           {Key::ShiftTab, "Choices.Box", "B E"},
           {Key::ShiftTab, "Choices.B", "B E"},
           {Key::Tab, "Choices.Box", "B E"},
       },
       "B C A C B E"},
      {"from an option the code put the focus on, not the selected one, Tab leaves the group; a disabled "
       "option is passed over",
       [](Choices& f) {
         f.C.SetEnabled(false);
         f.A.SetFocus();
       },
       {
           {Key::Tab, "Choices.Box", "B E"},
           {Key::ShiftTab, "Choices.B", "B E"},
           {Key::Down, "Choices.A", "A E"},
           {Key::Up, "Choices.B", "B E"},
       },
       "A B"},
      {"an arrow onto the selected option fires no Click",
       [](Choices& f) { f.A.SetFocus(); },
       {{Key::Down, "Choices.B", "B E"}},
       ""},
  };
  return walks;
}

TEST(OptionGroupsHeadless, ArrowsSelectWithinTheGroupAndTabStopsOncePerGroup) {
  HeadlessDriver driver;
  Choices form(driver.App());
  driver.Start(form);
  ASSERT_EQ(driver.FocusName(), "Choices.A");
  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.what);
    driver.Run([&] {
      walk.arrange(form);
      form.clicks.clear();
    });
    WalkHeadless(driver, walk.steps);
    EXPECT_EQ(form.clicks, walk.clicks);
  }
}

TEST_F(Keyboard, OptionGroupsFromTheKeyboardAsHeadless) {
  Choices form(*app_);
  app_->RunEvent([&] { form.Show(); });
  ASSERT_EQ(app_->FocusedControl(), &form.A);
  for (const Walk& walk : Walks()) {
    SCOPED_TRACE(walk.what);
    app_->RunEvent([&] {
      walk.arrange(form);
      form.clicks.clear();
    });
    WalkOnDisplay(*backend_, *app_, walk.steps);
    EXPECT_EQ(form.clicks, walk.clicks);
  }
}

}  // namespace
}  // namespace quorvale::ui::fltk::testing
