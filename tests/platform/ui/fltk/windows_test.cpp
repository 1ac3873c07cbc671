// The real-window backend on forms of its own: fonts, labels and text boxes
// as drawn, keys, message boxes and dialogs, timers that go on behind them,
// and the cost of letting the loop run. Captures go to build/screenshots.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>

#include "fl.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_folder.h"
#include "quorvale/ui/fltk/label_layout.h"
#include "quorvale/ui/fltk/twips.h"
#include "quorvale/ui/user_input.h"
#include "text_area.h"
#include "widgets.h"
#include "window_test.h"

namespace quorvale::ui::fltk::testing {
namespace {

namespace fs = std::filesystem;

constexpr Rgb kFace{212, 208, 200};
constexpr Rgb kWhite{255, 255, 255};

template <class W>
std::vector<W*> ChildrenOf(Fl_Group& group) {
  std::vector<W*> out;
  for (int i = 0; i < group.children(); ++i) {
    if (auto* w = dynamic_cast<W*>(group.child(i))) out.push_back(w);
  }
  return out;
}

RgbImage CropBox(const RgbImage& shot, const PixelRect& r) { return Crop(shot, r.x, r.y, r.w, r.h); }

class Windows : public FormWindowTest {
 protected:
  template <class F>
  void Run(F f) {
    app_->RunEvent(f);
    backend_->Flush();
  }
};

// Labels the way the pages use them, and the same text with each kind of
// line end.
class Labels : public Form {
 public:
  explicit Labels(Application& app) : Form(app, "Labels") {
    Move(0, 0, 7590, 5340);
    Long.Move(300, 300, 3000, 1200);
    Long.SetCaption(kLong);
    Bold.Move(3600, 300, 3600, 375);
    Bold.SetFontBold(true);
    Bold.SetCaption("欢迎您使用安装向导!");
    const char* texts[] = {"第一行\r\n第二行", "第一行\n第二行", "第一行\r第二行"};
    for (int i = 0; i < 3; ++i) {
      Ends[i].Move(3600, 900 + i * 720, 2400, 600);
      Ends[i].SetCaption(texts[i]);
    }
  }
  static constexpr const char* kLong =
      "这是一段很长的说明文字，用来检查标签是否像Windows那样在宽度之内自动换行：每一行都完整地显示，"
      "标点（例如“，”和“。”）不出现在行首。";
  Label Long{*this, "Long"};
  Label Bold{*this, "Bold"};
  Label Ends[3] = {{*this, "CrLf"}, {*this, "Lf"}, {*this, "Cr"}};
};

TEST_F(Windows, LabelsWrapWithinTheirWidthAndLineEndsDrawNothing) {
  Labels form(*app_);
  Run([&] { form.Show(); });
  const RgbImage shot = Shot(form);
  Save(shot, "Labels");
  EXPECT_EQ(CutCaptions(form), std::vector<std::string>{});

  // The long label: ink in every line it lays out, none below.
  const LabelLayout long_layout = LayOutLabel(form.Long);
  ASSERT_GE(long_layout.text.lines.size(), 4u);
  const RgbImage long_shot = CropBox(shot, long_layout.box);
  const int lh = long_layout.text.line_height;
  for (int line = 0; line * lh < long_shot.height; ++line) {
    const int h = std::min(lh, long_shot.height - line * lh);
    const std::size_t ink = CountOther(Crop(long_shot, 0, line * lh, long_shot.width, h), kFace);
    if (static_cast<std::size_t>(line) < long_layout.text.lines.size())
      EXPECT_GT(ink, 40u) << "line " << line + 1 << " \"" << long_layout.text.lines[line] << "\" not drawn";
    else
      EXPECT_EQ(ink, 0u) << "ink below the last line, on line " << line + 1;
  }
  for (const auto& line : long_layout.text.lines) {
    EXPECT_NE(line.rfind("，", 0), 0u) << line;
    EXPECT_NE(line.rfind("。", 0), 0u) << line;
  }

  // CR LF, LF and CR draw the same two lines; the CR draws no box.
  const RgbImage crlf = CropBox(shot, LayOutLabel(form.Ends[0]).box);
  EXPECT_TRUE(SamePixels(crlf, CropBox(shot, LayOutLabel(form.Ends[1]).box)));
  EXPECT_TRUE(SamePixels(crlf, CropBox(shot, LayOutLabel(form.Ends[2]).box)));
  const TextLayout ends = LayOutLabel(form.Ends[0]).text;
  EXPECT_EQ(ends.lines, (std::vector<std::string>{"第一行", "第二行"}));
  // Right of "第一行" the first line is bare ground.
  const int after = static_cast<int>(ends.widths[0]) + 2;
  EXPECT_EQ(CountOther(Crop(crlf, after, 0, crlf.width - after, ends.line_height), kFace), 0u);
}

TEST_F(Windows, CutCaptionsNamesWhatDoesNotFit) {
  Labels form(*app_);
  struct Case {
    const char* caption;
    int width, height;  // twips
    std::size_t cut;    // entries reported
  } cases[] = {
      {"一行", 1500, 255, 0},
      {"放不下的一整行文字", 600, 255, 1},           // wraps to more lines than one holds
      {"第一行\r\n第二行\r\n第三行", 1500, 480, 1},  // three lines, room for two
      {"第一行\r\n第二行", 1500, 480, 0},
      {"W", 30, 255, 1},  // one character wider than the label
  };
  for (const auto& c : cases) {
    form.Long.SetCaption(c.caption);
    form.Long.Move(300, 300, c.width, c.height);
    const auto cut = CutCaptions(form);
    EXPECT_EQ(cut.size(), c.cut) << c.caption;
    for (const auto& entry : cut) EXPECT_EQ(entry.rfind("Labels.Long: ", 0), 0u) << entry;
  }
}

class TextBoxes : public Form {
 public:
  explicit TextBoxes(Application& app) : Form(app, "TextBoxes") {
    Move(0, 0, 6000, 3000);
    Ok.Move(4200, 2100, 1215, 375);
    Ok.SetCaption("确定");
    const char* texts[] = {"一行\r\n二行\r\n", "一行\n二行\n"};
    for (int i = 0; i < 2; ++i) {
      Boxes[i].SetMultiLine(true);
      Boxes[i].SetLocked(true);
      Boxes[i].Move(300 + i * 1950, 300, 1800, 1200);
      Boxes[i].SetText(texts[i]);
    }
    Typed.SetMultiLine(true);
    Typed.Move(300, 1650, 1800, 600);
  }
  CommandButton Ok{*this, "Ok"};
  TextBox Boxes[2] = {{*this, "CrLf"}, {*this, "Lf"}};
  TextBox Typed{*this, "Typed"};
};

TEST_F(Windows, TextBoxesBreakLinesWithoutDrawingTheCr) {
  TextBoxes form(*app_);
  Run([&] { form.Show(); });
  const RgbImage shot = Shot(form);
  Save(shot, "TextBoxes");
  EXPECT_TRUE(
      SamePixels(CropBox(shot, ControlPixels(form.Boxes[0])), CropBox(shot, ControlPixels(form.Boxes[1]))))
      << "the CR of CR LF is drawn";
  // The form's text stays as it was set; typed line ends reach it as CR LF.
  EXPECT_EQ(form.Boxes[0].Text(), "一行\r\n二行\r\n");
  auto* typed = static_cast<TextArea*>(backend_->WidgetOf(form.Typed));
  ASSERT_NE(typed, nullptr);
  Fl::focus(typed);
  for (const char* key : {"甲", "\r", "乙"})
    PressKey(*backend_->WindowOf(form), *key == '\r' ? FL_Enter : 'x', 0, key);
  backend_->Poll(*app_);
  EXPECT_EQ(form.Typed.Text(), "甲\r\n乙");
  backend_->Poll(*app_);
  EXPECT_EQ(typed->Text(), "甲\r\n乙");
  EXPECT_EQ(typed->Lines(), (std::vector<std::string>{"甲", "乙"}));
}

// A text box breaks its lines as a label does: none starts with closing
// punctuation, whatever the width; a scroll bar comes when they do not fit.
TEST_F(Windows, TextBoxesWrapByTheLabelsRule) {
  TextBoxes form(*app_);
  const std::string text = "一二三四五六七八九十，一二三四五六七八九十。一二三四五六七八九十“一二”三四";
  app_->RunEvent([&] {
    form.Boxes[0].SetText(text);
    form.Show();
  });
  auto* box = static_cast<TextArea*>(backend_->WidgetOf(form.Boxes[0]));
  for (int width = 1200; width <= 2400; width += 60) {
    SCOPED_TRACE(width);
    app_->RunEvent([&] { form.Boxes[0].Move(300, 300, width, 1200); });
    backend_->Flush();
    const auto lines = box->Lines();
    ASSERT_GE(lines.size(), 2u);
    std::string joined;
    for (const auto& line : lines) {
      joined += line;
      for (const char* closing : {"，", "。", "”"}) EXPECT_NE(line.rfind(closing, 0), 0u) << line;
      EXPECT_NE(line.substr(line.size() - 3), "“") << line;
    }
    EXPECT_EQ(joined, text);
  }
  // Lines beyond the box: the scroll bar.
  app_->RunEvent([&] { form.Boxes[0].Move(300, 300, 1800, 720); });
  backend_->Flush();
  EXPECT_TRUE(box->child(0)->visible()) << "no scroll bar";
  Save(Shot(form), "TextBoxWrapped");
}

// A form with a timer that counts its ticks on a label.
class Ticking : public Form {
 public:
  explicit Ticking(Application& app) : Form(app, "Ticking") {
    Move(0, 0, 4500, 2000);
    Ok.Move(300, 900, 1215, 375);
    Ok.SetCaption("确定");
    Count.Move(300, 300, 3000, 255);
    Tick.SetInterval(20);
    Tick.OnTimer([this] {
      ++ticks;
      Count.SetCaption(std::to_string(ticks));
      if (end_at && ticks == end_at) App().End();
    });
  }
  CommandButton Ok{*this, "Ok"};
  Label Count{*this, "Count"};
  Timer Tick{*this, "Tick"};
  int ticks = 0;
  int end_at = 0;  // End the program on this tick
};

TEST_F(Windows, TimersGoOnWhileAMessageBoxOrDialogIsOpen) {
  for (const char* modal : {"message box", "folder dialog", "file dialog"}) {
    SCOPED_TRACE(modal);
    Ticking form(*app_);
    Run([&] { form.Show(); });
    int at_open = -1;
    std::string shown_count;
    bool focus_in_box = false;
    WhenModal(
        [&] {
          if (at_open < 0) at_open = form.ticks;
          return form.ticks >= at_open + 3;
        },
        [&](Fl_Window& box) {
          // What the form shows behind the box follows its timer.
          // Checked without leaving early: the box is closed in any case.
          const auto* count = static_cast<LabelWidget*>(backend_->WidgetOf(form.Count));
          EXPECT_NE(count, nullptr);
          if (count) shown_count = count->Caption();
          // ... but keeps the keyboard away from the box.
          focus_in_box = Fl::focus() && Fl::focus()->window() == &box;
          box.do_callback();  // the close box: Esc's answer, or cancel
        });
    app_->RunEvent([&] {
      if (std::string(modal) == "message box") {
        EXPECT_EQ(app_->MsgBox("等待", MsgButtons::OK, MsgIcon::None, ""), MsgResult::OK);
      } else if (std::string(modal) == "folder dialog") {
        EXPECT_EQ(app_->BrowseForFolder(&form, "选择", 1), std::nullopt);
      } else {
        EXPECT_EQ(app_->OpenFile(FileRequest{}), std::nullopt);
      }
    });
    EXPECT_GE(at_open, 0) << "the box never opened";
    EXPECT_GE(form.ticks, at_open + 3);
    EXPECT_EQ(shown_count, std::to_string(at_open + 3));
    EXPECT_TRUE(focus_in_box);
    Run([&] { form.Hide(); });
  }
}

TEST_F(Windows, AnEndInATimerClosesTheOpenBox) {
  Ticking form(*app_);
  Run([&] { form.Show(); });
  form.end_at = 3;
  bool after_box = false;
  app_->RunEvent([&] {
    app_->MsgBox("等待", MsgButtons::OKCancel, MsgIcon::Question, "");
    after_box = true;
  });
  EXPECT_TRUE(app_->Ended());
  EXPECT_FALSE(after_box);
  EXPECT_EQ(form.ticks, 3);
  EXPECT_EQ(Fl::modal(), nullptr);
}

class Keys : public Form {
 public:
  explicit Keys(Application& app) : Form(app, "Keys") {
    Move(0, 0, 6000, 2500);
    Ok.Move(4500, 1500, 1215, 375);
    Ok.SetCaption("下一步(&N) >");
    Ok.SetDefault(true);
    Ok.OnClick([this] { pressed += "N"; });
    Back.Move(3000, 1500, 1215, 375);
    Back.SetCaption("< 上一步(&P)");
    Back.OnClick([this] { pressed += "P"; });
    Cancel.Move(300, 1500, 1215, 375);
    Cancel.SetCaption("取消");
    Cancel.SetCancel(true);
    Cancel.OnClick([this] { pressed += "C"; });
  }
  CommandButton Ok{*this, "Ok"};
  CommandButton Back{*this, "Back"};
  CommandButton Cancel{*this, "Cancel"};
  std::string pressed;
};

TEST_F(Windows, EnterEscTabAndAltKeysOnTheWindow) {
  Keys form(*app_);
  Run([&] { form.Show(); });
  ASSERT_NE(backend_->WindowOf(form), nullptr);
  Fl_Window& window = *backend_->WindowOf(form);
  struct Step {
    int key, state;
    const char* pressed;  // after the key
    Control* focus;
  } steps[] = {
      {FL_Enter, 0, "N", &form.Ok},       // the default button
      {FL_Tab, 0, "N", &form.Back},       // the model's tab order
      {'p', 0, "N", &form.Back},          // a letter alone presses nothing
      {'p', FL_ALT, "NP", &form.Back},    // Alt with the access key
      {FL_Escape, 0, "NPC", &form.Back},  // the cancel button
  };
  for (const auto& s : steps) {
    PressKey(window, s.key, s.state);
    backend_->Poll(*app_);
    EXPECT_EQ(form.pressed, s.pressed) << s.key;
    EXPECT_EQ(app_->FocusedControl(), s.focus) << s.key;
  }
  backend_->Poll(*app_);
  EXPECT_EQ(Fl::focus(), backend_->WidgetOf(form.Back));
}

TEST_F(Windows, MessageBoxShowsTitleIconTextAndButtons) {
  Keys form(*app_);
  Run([&] { form.Show(); });
  struct Seen {
    std::string title, prompt;
    RgbImage shot;
    int buttons = 0;
  } seen;
  WhenModalOpens([&](Fl_Window& box) {
    seen.title = box.label() ? box.label() : "";
    seen.buttons = static_cast<int>(ChildrenOf<Fl_Button>(box).size());
    for (auto* text : ChildrenOf<LabelWidget>(box)) seen.prompt = text->Caption();
    seen.shot = FltkBackend::Capture(box).value_or(RgbImage{});
    PressKey(box, FL_Escape);
  });
  MsgResult answer = MsgResult::OK;
  app_->RunEvent([&] {
    answer = app_->MsgBox("第一行。\r\n\r\n第二行？", MsgButtons::OKCancel, MsgIcon::Question, "标题");
  });
  EXPECT_EQ(answer, MsgResult::Cancel);
  EXPECT_EQ(seen.title, "标题");
  EXPECT_EQ(seen.buttons, 2);  // 确定, 取消
  EXPECT_EQ(seen.prompt, "第一行。\r\n\r\n第二行？");
  ASSERT_GT(seen.shot.width, 0);
  Save(seen.shot, "MessageBox");
  EXPECT_EQ(PixelAt(seen.shot, 12 + 6, 14 + 16), (Rgb{0, 70, 200}));  // the question icon
  EXPECT_EQ(TextLayout(LayOutText("第一行。\r\n\r\n第二行？", 380, false, false)).lines.size(), 3u);
}

// The dialogs on a machine: 8.3 names resolve, hidden folders stay hidden.
class Dialogs : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    MachineShape shape;
    shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
    Machine::Create(folder_.Path(), shape);
    Machine m(folder_.Path());
    fs::create_directories(m.Resolve("C:\\Program Files\\Quorvale").host);
    fs::create_directories(m.Resolve("C:\\Program Files\\Hidden").host);
    m.SetAttributes("C:\\Program Files\\Hidden", kAttrHidden | kAttrSystem);
    std::ofstream(m.Resolve("C:\\Program Files\\setup.exe").host) << "MZ";
    StartBackend(folder_.Path());
  }
  quorvale::testing::TempFolder folder_{"quorvale-dialogs"};
};

std::vector<std::string> Lines(Fl_Browser& list) {
  std::vector<std::string> out;
  for (int i = 1; i <= list.size(); ++i) out.emplace_back(list.text(i));
  return out;
}

TEST_F(Dialogs, FileDialogStartsAtAShortPathAndAnswersLongNames) {
  std::string path_shown;
  std::vector<std::string> lines;
  RgbImage shot;
  WhenModalOpens([&](Fl_Window& dialog) {
    shot = FltkBackend::Capture(dialog).value_or(RgbImage{});
    path_shown = ChildrenOf<Fl_Output>(dialog).at(0)->value();
    auto* list = ChildrenOf<Fl_Hold_Browser>(dialog).at(0);
    lines = Lines(*list);
    list->value(static_cast<int>(lines.size()));  // setup.exe
    list->do_callback();
    for (auto* b : ChildrenOf<PushButton>(dialog)) {
      if (std::strcmp(b->label(), "打开(&O)") == 0) b->do_callback();
    }
  });
  FileRequest request;
  request.initial_folder = "c:\\progra~1";
  request.filter = {{"程序 (*.exe)", "*.exe"}};
  std::optional<std::string> answer;
  app_->RunEvent([&] { answer = app_->OpenFile(request); });
  EXPECT_EQ(path_shown, "C:\\Program Files");
  EXPECT_EQ(lines, (std::vector<std::string>{"..", "Common Files\\", "Quorvale\\", "setup.exe"}));
  EXPECT_EQ(answer, "C:\\Program Files\\setup.exe");
  Save(shot, "FileDialog");
}

// A typed name of a file that is not there: taken as typed, relative to the
// folder shown or whole; refused (the dialog stays until cancelled) when the
// caller asked for an existing file.
TEST_F(Dialogs, FileDialogTakesATypedNameUnlessTheFileMustExist) {
  struct Case {
    const char* typed;
    std::uint32_t flags;
    std::optional<std::string> answer;
  } cases[] = {
      {"new.ini", 0, "C:\\Program Files\\new.ini"},
      {"D:\\Serv-U\\ServUDaemon.ini", 0, "D:\\Serv-U\\ServUDaemon.ini"},
      {"SETUP.EXE", 0, "C:\\Program Files\\setup.exe"},
      {"new.ini", kFileMustExist, std::nullopt},
      {"SETUP.EXE", kFileMustExist, "C:\\Program Files\\setup.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    WhenModalOpens([&](Fl_Window& dialog) {
      for (auto* input : ChildrenOf<Fl_Input>(dialog)) {
        if (!dynamic_cast<Fl_Output*>(input)) input->value(c.typed);
      }
      auto press = [&](const char* label) {
        for (auto* b : ChildrenOf<PushButton>(dialog)) {
          if (std::strcmp(b->label(), label) == 0) b->do_callback();
        }
      };
      press("打开(&O)");
      if (dialog.shown()) press("取消");
    });
    FileRequest request;
    request.initial_folder = "C:\\Program Files";
    request.flags = c.flags;
    std::optional<std::string> answer;
    app_->RunEvent([&] { answer = app_->OpenFile(request); });
    EXPECT_EQ(answer, c.answer);
  }
}

TEST_F(Dialogs, FolderDialogStartsAtTheDrives) {
  std::vector<std::string> lines;
  RgbImage shot;
  WhenModalOpens([&](Fl_Window& dialog) {
    shot = FltkBackend::Capture(dialog).value_or(RgbImage{});
    auto* list = ChildrenOf<Fl_Hold_Browser>(dialog).at(0);
    lines = Lines(*list);
    list->value(2);
    list->do_callback();
    for (auto* b : ChildrenOf<PushButton>(dialog)) {
      if (std::strcmp(b->label(), "确定") == 0) b->do_callback();
    }
  });
  std::optional<std::string> answer;
  app_->RunEvent([&] { answer = app_->BrowseForFolder(nullptr, "请选择目录：", 1); });
  EXPECT_EQ(lines, (std::vector<std::string>{"C:\\", "D:\\"}));
  EXPECT_EQ(answer, "D:\\");
  Save(shot, "FolderDialog");
}

TEST_F(Windows, ChineseTextIsDrawnInTheCjkFont) {
  // Two different characters must give two different drawings with ink: a
  // font without them draws the same empty box (or nothing) for both.
  Keys form(*app_);
  Run([&] { form.Show(); });
  auto draw = [](const char* text) {
    Fl_Offscreen off = fl_create_offscreen(40, 40);
    fl_begin_offscreen(off);
    fl_color(FL_WHITE);
    fl_rectf(0, 0, 40, 40);
    fl_color(FL_BLACK);
    fl_font(kFont, 24);
    fl_draw(text, 4, 32);
    RgbImage img{40, 40, std::vector<unsigned char>(40 * 40 * 3)};
    fl_read_image(img.rgb.data(), 0, 0, 40, 40);
    fl_end_offscreen();
    fl_delete_offscreen(off);
    return img;
  };
  const RgbImage an = draw("安"), zhuang = draw("装"), again = draw("安");
  EXPECT_GT(CountOther(an, kWhite), 40u);
  EXPECT_GT(CountOther(zhuang, kWhite), 40u);
  EXPECT_FALSE(SamePixels(an, zhuang)) << "both characters drew alike: the font has no Chinese glyphs";
  EXPECT_TRUE(SamePixels(an, again));
  EXPECT_NE(std::string(Fl::get_font(kFont)).find(kCjkFontName), std::string::npos);
}

// A grey track with a red bar over it, as the progress page draws its bar.
class Bar : public Form {
 public:
  explicit Bar(Application& app) : Form(app, "Bar") {
    Move(0, 0, 7590, 2000);
    Track.Move(390, 600, 6765, 375);
    Track.SetBackColor(0x00808080);
    Loading.Move(390, 600, 3000, 375);
    Loading.SetBackColor(0x000000FF);
  }
  Label Track{*this, "Track"};
  Label Loading{*this, "Loading"};
};

TEST_F(Windows, LabelsFillTheirBoxWithTheirBackColour) {
  Bar form(*app_);
  Run([&] { form.Show(); });
  const RgbImage shot = Shot(form);
  const PixelRect bar = BoxToPixels(390, 600, 3000, 375), track = BoxToPixels(390, 600, 6765, 375);
  const int row = bar.y + bar.h / 2;
  EXPECT_EQ(CountOnRow(shot, row, {255, 0, 0}), 200);
  EXPECT_EQ(CountOnRow(shot, row, {128, 128, 128}), track.w - bar.w);
  EXPECT_EQ(PixelAt(shot, track.x + track.w - 1, row), (Rgb{128, 128, 128}));
  EXPECT_EQ(PixelAt(shot, track.x + track.w, row), kFace);
}

// The progress page's step list: its place and size, lines added one at a
// time with the first line in view set to the last, as a sequence does.
class Steps : public Form {
 public:
  explicit Steps(Application& app) : Form(app, "Steps") {
    Move(0, 0, 7590, 5700);
    List.Move(360, 2490, 6825, 1860);
  }
  void AddStep(const std::string& line) {
    List.AddItem(line);
    List.SetTopIndex(List.NewIndex());
  }
  ListBox List{*this, "List"};
};

// A line wider than the list brings the horizontal scroll bar, inside the
// list's height; the newest line stays in view above it.
TEST_F(Windows, TheNewestLineOfAListStaysAboveItsScrollBar) {
  Steps form(*app_);
  Run([&] { form.Show(); });
  auto* list = dynamic_cast<ListWidget*>(backend_->WidgetOf(form.List));
  ASSERT_NE(list, nullptr);
  for (int i = 1; i <= 9; ++i) {
    Run([&] { form.AddStep("正在安装第" + std::to_string(i) + "步..."); });
  }
  const std::string failed =
      "安装失败，缺少：Uninstall.exe、Web\\Inc\\Conn.asp、C:\\WINDOWS\\system32\\Quorvale.dll、"
      "C:\\WINDOWS\\system32\\Jmail.dll...";
  Run([&] { form.AddStep(failed); });
  const RgbImage shot = Shot(form);
  Save(shot, "StepListFailed");
  EXPECT_TRUE(list->hscrollbar.visible()) << "a line wider than the list and no scroll bar";
  EXPECT_TRUE(list->LastLineShown());
  // Just above the scroll bar, the right half of the list: the wide line
  // reaches it, the short lines before it do not.
  const PixelRect r = ControlPixels(form.List);
  const int bar_top = r.y + r.h - 2 - Fl::scrollbar_size();
  const RgbImage band = Crop(shot, r.x + r.w / 2, bar_top - 11, r.w / 2 - 2 - Fl::scrollbar_size(), 8);
  EXPECT_GT(CountOther(band, kWhite), 30u) << "the newest line is not the one above the scroll bar";
  // A short line after it is the newest in view.
  Run([&] { form.AddStep("正在配置反安装系统..."); });
  EXPECT_TRUE(list->LastLineShown());
  EXPECT_EQ(CountOther(Crop(Shot(form), r.x + r.w / 2, bar_top - 11, band.width, 8), kWhite), 0u);
}

// A form with the kinds of boxes the pages use.
class Boxes : public Form {
 public:
  explicit Boxes(Application& app) : Form(app, "Boxes") {
    Move(0, 0, 6000, 3000);
    SetCaption("框");
    Secret.Move(300, 300, 2400, 345);
    Secret.SetPasswordChar("*");
    Secret.SetText("abc");
    Plain.Move(300, 900, 2400, 345);
    Plain.SetText("***");
    Locked.Move(300, 1500, 2400, 345);
    Locked.SetLocked(true);
    Off.Move(3000, 300, 1215, 375);
    Off.SetCaption("关闭(&O)");
    Off.SetEnabled(false);
    Off.SetToolTipText("不可用");
    Ok.Move(3000, 900, 1215, 375);
    Ok.SetCaption("确定");
  }
  CommandButton Ok{*this, "Ok"};
  TextBox Secret{*this, "Secret"};
  TextBox Plain{*this, "Plain"};
  TextBox Locked{*this, "Locked"};
  CommandButton Off{*this, "Off"};
};

TEST_F(Windows, PasswordReadOnlyDisabledAndTooltips) {
  Boxes form(*app_);
  Run([&] { form.Show(); });
  const RgbImage shot = Shot(form);
  Save(shot, "Boxes");
  // The password box shows one "*" per character: the same pixels as a box
  // holding "***".
  const PixelRect s = BoxToPixels(300, 300, 2400, 345), p = BoxToPixels(300, 900, 2400, 345);
  EXPECT_TRUE(SamePixels(CropBox(shot, s), CropBox(shot, p)));
  auto* secret = static_cast<Fl_Input*>(backend_->WidgetOf(form.Secret));
  ASSERT_NE(secret, nullptr);
  EXPECT_STREQ(secret->value(), "***");
  // Typed on the keyboard: the model gets the characters, the box stars.
  Fl::focus(secret);
  for (const char* ch : {"x", "密"}) {
    Fl::e_keysym = 'x';
    Fl::e_state = 0;
    Fl::e_text = const_cast<char*>(ch);
    Fl::e_length = static_cast<int>(std::strlen(ch));
    secret->handle(FL_KEYBOARD);
  }
  Fl::e_keysym = FL_BackSpace;
  Fl::e_length = 0;
  secret->handle(FL_KEYBOARD);
  backend_->Poll(*app_);
  EXPECT_EQ(form.Secret.Text(), "abcx");
  EXPECT_STREQ(secret->value(), "****");
  const auto* locked = static_cast<Fl_Input*>(backend_->WidgetOf(form.Locked));
  Fl_Widget* off = backend_->WidgetOf(form.Off);
  auto* plain = static_cast<Fl_Input*>(backend_->WidgetOf(form.Plain));
  ASSERT_NE(locked, nullptr);
  ASSERT_NE(off, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(locked->readonly());
  EXPECT_FALSE(off->active());
  EXPECT_STREQ(off->tooltip(), "不可用");
  // Typing into the window's box reaches the model.
  plain->value("abc");
  plain->do_callback();
  backend_->Poll(*app_);
  EXPECT_EQ(form.Plain.Text(), "abc");
  // The model's changes reach the window at the next poll.
  app_->RunEvent([&] { form.Off.SetEnabled(true); });
  backend_->Poll(*app_);
  EXPECT_TRUE(off->active());
}

TEST_F(Windows, ByteByByteWriteWithAWindowOpenIsFast) {
  Labels form(*app_);
  Run([&] { form.Show(); });
  constexpr long kPayload = 4L * 1024 * 1024;
  const std::size_t polls_before = backend_->PollCount();
  const auto t0 = std::chrono::steady_clock::now();
  for (long i = 0; i < kPayload; ++i) {
    app_->DoEvents();
    if (i % (1024 * 1024) == 0) form.Bold.SetCaption("已写入 " + std::to_string(i / 1024) + " KB");
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  const std::size_t polls = backend_->PollCount() - polls_before;
  std::cout << "4 MB byte-by-byte with DoEvents: " << ms << " ms, " << polls << " display polls\n";
  RecordProperty("payload_ms", static_cast<int>(ms));
  EXPECT_LT(ms, 2000.0);
  // The display was still polled (and so repainted) while it ran: at least
  // every 50 ms on average, leaving room for a machine under load, where a
  // poll itself can be held up.
  EXPECT_GE(polls, static_cast<std::size_t>(ms / 50));
  EXPECT_LE(polls, static_cast<std::size_t>(ms / 5) + 2);
  backend_->Flush();
  const auto* bold = static_cast<LabelWidget*>(backend_->WidgetOf(form.Bold));
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(bold->Caption(), "已写入 3072 KB");
}

}  // namespace
}  // namespace quorvale::ui::fltk::testing
