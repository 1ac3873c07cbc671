// The caret of a focused single-line box, read-only or not, as Windows
// draws it: one thin black vertical line the height of the font, and
// nothing else that the focus changes (FLTK draws a "^" in a read-only box
// and a bar two pixels wide otherwise).
#include <gtest/gtest.h>

#include <set>

#include "fl.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/twips.h"
#include "widgets.h"
#include "window_test.h"

namespace quorvale::ui::fltk::testing {
namespace {

class Boxes : public Form {
 public:
  explicit Boxes(Application& app) : Form(app, "Boxes") {
    Move(0, 0, 6000, 3000);
    Ok.Move(4200, 2100, 1215, 375);
    Ok.SetCaption("确定");
    Plain.Move(300, 300, 3000, 345);
    Plain.SetText("C:\\被控端");
    Locked.Move(300, 900, 3000, 345);
    Locked.SetText("C:\\被控端");
    Locked.SetLocked(true);
    Secret.Move(300, 1500, 3000, 345);
    Secret.SetPasswordChar("*");
    Secret.SetText("abcd");
  }
  CommandButton Ok{*this, "Ok"};
  TextBox Plain{*this, "Plain"};
  TextBox Locked{*this, "Locked"};
  TextBox Secret{*this, "Secret"};
};

using Caret = FormWindowTest;

TEST_F(Caret, AFocusedSingleLineBoxShowsTheThinCaretOfWindows) {
  Boxes form(*app_);
  app_->RunEvent([&] { form.Show(); });
  backend_->Flush();
  struct Case {
    const char* what;
    TextBox* box;
    int position;  // in bytes of what the box shows
  } cases[] = {
      {"editable, at the start", &form.Plain, 0},
      {"editable, after C:\\", &form.Plain, 3},
      {"editable, at the end", &form.Plain, static_cast<int>(std::string("C:\\被控端").size())},
      {"read-only, at the start", &form.Locked, 0},
      {"read-only, after C:", &form.Locked, 2},
      {"read-only, at the end", &form.Locked, static_cast<int>(std::string("C:\\被控端").size())},
      {"password, at the end", &form.Secret, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto* input = static_cast<Fl_Input*>(backend_->WidgetOf(*c.box));
    const PixelRect r = ControlPixels(*c.box);
    app_->RunEvent([&] { form.Ok.SetFocus(); });
    backend_->Poll(*app_);
    const RgbImage unfocused = Crop(Shot(form), r.x, r.y, r.w, r.h);
    app_->RunEvent([&] { c.box->SetFocus(); });
    backend_->Poll(*app_);
    ASSERT_EQ(Fl::focus(), input);
    input->position(c.position);
    input->redraw();
    const RgbImage focused = Crop(Shot(form), r.x, r.y, r.w, r.h);

    // What the focus changes: one column, black from the top of the font to
    // its bottom.
    std::set<int> columns;
    int changed = 0;
    for (int y = 0; y < r.h; ++y) {
      for (int x = 0; x < r.w; ++x) {
        if (PixelAt(focused, x, y) == PixelAt(unfocused, x, y)) continue;
        columns.insert(x);
        ++changed;
      }
    }
    ASSERT_EQ(columns.size(), 1u) << "the caret is not one thin line: " << changed << " pixels changed";
    fl_font(input->textfont(), input->textsize());
    const int line = fl_height();
    EXPECT_GE(changed, line / 2);
    // Where the backend says it stands: that column, black over the font's
    // height.
    const auto caret = static_cast<EditBox*>(input)->Caret();
    ASSERT_TRUE(caret.has_value());
    const int x = *columns.begin();
    EXPECT_EQ(caret->x - r.x, x);
    EXPECT_EQ(caret->bottom - caret->top + 1, line);
    int black = 0;
    for (int y = caret->top - r.y; y <= caret->bottom - r.y; ++y)
      black += PixelAt(focused, x, y) == Rgb{0, 0, 0};
    EXPECT_EQ(black, line) << "the caret is not black over the font's height";
    // Before the character at the position.
    if (c.position > 0) {
      fl_font(input->textfont(), input->textsize());
      EXPECT_NEAR(x, Fl::box_dx(input->box()) + 1 + fl_width(input->value(), c.position), 1.0);
    }
  }
  app_->RunEvent([&] { form.Locked.SetFocus(); });
  backend_->Poll(*app_);
  Save(Shot(form), "CaretInALockedBox");
}

}  // namespace
}  // namespace quorvale::ui::fltk::testing
