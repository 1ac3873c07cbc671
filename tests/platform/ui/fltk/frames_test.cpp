// Frames as Windows draws them: the window frame a fixed dialog has (asked
// of the window manager in the window's hints), and the dark frame of the
// push button that Enter presses.
#include <gtest/gtest.h>

// clang-format off
#include "fl.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>
// clang-format on
#include "quorvale/ui/fltk/label_layout.h"
#include "window_test.h"

namespace quorvale::ui::fltk::testing {
namespace {

using Frames = FormWindowTest;

// A window property of 32-bit items, as the window manager reads it.
std::vector<long> Property(const Fl_Window& window, const char* name) {
  XSync(fl_display, False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(fl_display, fl_xid(&window), XInternAtom(fl_display, name, False), 0, 64, False,
                         AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
      format == 32) {
    const auto* items = reinterpret_cast<const long*>(data);
    out.assign(items, items + count);
  }
  if (data) XFree(data);
  return out;
}

std::string AtomName(long atom) {
  char* name = XGetAtomName(fl_display, static_cast<Atom>(atom));
  std::string out = name ? name : "";
  if (name) XFree(name);
  return out;
}

// The smallest and largest size the window lets the window manager give it.
std::vector<int> SizeRange(const Fl_Window& window) {
  XSizeHints hints{};
  long given = 0;
  XGetWMNormalHints(fl_display, fl_xid(&window), &hints, &given);
  return {hints.min_width, hints.min_height, hints.max_width, hints.max_height};
}

class Buttons : public Form {
 public:
  explicit Buttons(Application& app) : Form(app, "Buttons") {
    Move(0, 0, 6000, 2500);
    Name.Move(300, 300, 3000, 345);
    Back.Move(1500, 1500, 1215, 375);
    Back.SetCaption("< 上一步(&P)");
    Next.Move(2850, 1500, 1215, 375);
    Next.SetCaption("下一步(&N) >");
    Next.SetDefault(true);
    Cancel.Move(4320, 1500, 1215, 375);
    Cancel.SetCaption("取消(&C)");
    Cancel.SetCancel(true);
  }
  TextBox Name{*this, "Name"};
  CommandButton Back{*this, "Back"};
  CommandButton Next{*this, "Next"};
  CommandButton Cancel{*this, "Cancel"};
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// The button as Windows draws it: with the dark frame its raised edges
// (white at the top left) stand inside it, without it they are outermost.
void ExpectFramed(const RgbImage& shot, const Fl_Widget& b, bool framed, const std::string& what) {
  EXPECT_EQ(RingIs(shot, b.x(), b.y(), b.w(), b.h(), kBlack), framed) << what;
  const int edge = framed ? 1 : 0;
  EXPECT_EQ(PixelAt(shot, b.x() + edge + 2, b.y() + edge), kWhite) << what << ": no raised edge";
}

TEST_F(Frames, TheButtonEnterPressesHasTheDarkFrame) {
  Buttons form(*app_);
  app_->RunEvent([&] { form.Show(); });
  struct Case {
    const char* what;
    Control* focus;
    bool next_enabled;
    CommandButton* framed;
  } cases[] = {
      {"focus in a box: the default button", &form.Name, true, &form.Next},
      {"focus on another button: that one", &form.Back, true, &form.Back},
      {"focus on the cancel button: that one", &form.Cancel, true, &form.Cancel},
      {"focus on the default button", &form.Next, true, &form.Next},
      {"a disabled default button keeps it", &form.Name, false, &form.Next},
  };
  for (const auto& c : cases) {
    app_->RunEvent([&] {
      form.Next.SetEnabled(c.next_enabled);
      c.focus->SetFocus();
    });
    const RgbImage shot = Shot(form);
    for (CommandButton* b : {&form.Back, &form.Next, &form.Cancel})
      ExpectFramed(shot, *backend_->WidgetOf(*b), b == c.framed, std::string(c.what) + ", " + b->Name());
  }
  Save(Shot(form), "DefaultButton");
}

TEST_F(Frames, AMessageBoxFramesItsFocusedButton) {
  Buttons form(*app_);
  app_->RunEvent([&] { form.Show(); });
  std::vector<std::pair<bool, bool>> framed;  // first and second button, at the start and after Tab
  WhenModalOpens([&](Fl_Window& box) {
    std::vector<Fl_Widget*> buttons;
    for (int i = 0; i < box.children(); ++i) {
      if (dynamic_cast<Fl_Button*>(box.child(i))) buttons.push_back(box.child(i));
    }
    ASSERT_EQ(buttons.size(), 2u);
    for (int round = 0; round < 2; ++round) {
      const RgbImage shot = FltkBackend::Capture(box).value_or(RgbImage{});
      ASSERT_GT(shot.width, 0);
      auto ring = [&](const Fl_Widget* b) { return RingIs(shot, b->x(), b->y(), b->w(), b->h(), kBlack); };
      framed.emplace_back(ring(buttons[0]), ring(buttons[1]));
      PressKey(box, FL_Tab);
    }
    PressKey(box, FL_Escape);
  });
  app_->RunEvent([&] { app_->MsgBox("继续吗？", MsgButtons::OKCancel, MsgIcon::Question, "安装"); });
  EXPECT_EQ(framed, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
}

TEST_F(Frames, FixedWindowsAskForTheFrameOfAFixedDialog) {
  // _MOTIF_WM_HINTS: functions and decorations given (3); functions move (4)
  // and close (32): no resize (2), minimise (8) or maximise (16); decorations
  // border (2), title (8) and, on a page, the window menu (16): no resize
  // border (4), minimise (32) or maximise (64) box.
  Buttons form(*app_);
  app_->RunEvent([&] { form.Show(); });
  backend_->Flush();
  Fl_Window& page = *backend_->WindowOf(form);
  EXPECT_EQ(Property(page, "_MOTIF_WM_HINTS"), (std::vector<long>{3, 0x24, 0x1A, 0, 0}));
  EXPECT_EQ(SizeRange(page), (std::vector<int>{page.w(), page.h(), page.w(), page.h()}));
  EXPECT_EQ(Property(page, "_NET_WM_WINDOW_TYPE"), std::vector<long>{});  // a normal window
  // A new size: FLTK says its own hints again, the window its frame after it.
  app_->RunEvent([&] { form.Move(0, 0, 7590, 3000); });
  backend_->Flush();
  EXPECT_EQ(page.w(), 500);
  EXPECT_EQ(Property(page, "_MOTIF_WM_HINTS"), (std::vector<long>{3, 0x24, 0x1A, 0, 0}));
  EXPECT_EQ(SizeRange(page), (std::vector<int>{500, 176, 500, 176}));

  // A message box: a dialog over its owner, without the window menu.
  std::vector<long> hints, type, owner;
  WhenModalOpens([&](Fl_Window& box) {
    hints = Property(box, "_MOTIF_WM_HINTS");
    for (long atom : Property(box, "_NET_WM_WINDOW_TYPE")) type.push_back(atom);
    owner = Property(box, "WM_TRANSIENT_FOR");
    PressKey(box, FL_Escape);
  });
  app_->RunEvent([&] { app_->MsgBox("继续吗？", MsgButtons::OKCancel, MsgIcon::Question, "安装"); });
  EXPECT_EQ(hints, (std::vector<long>{3, 0x24, 0x0A, 0, 0}));
  ASSERT_EQ(type.size(), 1u);
  EXPECT_EQ(AtomName(type[0]), "_NET_WM_WINDOW_TYPE_DIALOG");
  EXPECT_EQ(owner.size(), 1u);
}

}  // namespace
}  // namespace quorvale::ui::fltk::testing
