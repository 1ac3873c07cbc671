// The pure pieces of the FLTK backend: twips to pixels, captions as FLTK
// labels, the poll throttle, the message-box answers.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "quorvale/ui/caption.h"
#include "quorvale/ui/fltk/label_text.h"
#include "quorvale/ui/fltk/poll_throttle.h"
#include "quorvale/ui/fltk/twips.h"

namespace quorvale::ui::fltk {
namespace {

TEST(Twips, ToPixelsRoundsToNearest) {
  struct Case {
    int twips, pixels;
  } cases[] = {{0, 0},      {7, 0},      {8, 1},     {15, 1}, {22, 1}, {23, 2},
               {6765, 451}, {7590, 506}, {-120, -8}, {-7, 0}, {-8, -1}};
  for (const auto& c : cases) EXPECT_EQ(TwipsToPixels(c.twips), c.pixels) << c.twips;
}

TEST(Twips, BoxesThatTouchInTwipsTouchOnScreen) {
  struct Case {
    int left, top, width, height;
    PixelRect want;
  } cases[] = {
      {390, 1740, 6765, 375, {26, 116, 451, 25}},  // the grey track
      {390, 1740, 15, 375, {26, 116, 1, 25}},      // the bar at its start
      {390, 1740, 0, 375, {26, 116, 0, 25}},       // an empty bar draws nothing
      {7, 7, 7, 7, {0, 0, 1, 1}},                  // 7..14 twips still covers a pixel
      {-120, 4320, 7830, 30, {-8, 288, 522, 2}},   // the separator frame
      {100, 100, -50, -1, {7, 7, 0, 0}},           // a negative size covers nothing
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BoxToPixels(c.left, c.top, c.width, c.height), c.want) << c.left << "," << c.width;
  }
  // Two boxes side by side: the right edge of one is the left of the next.
  for (int left = 0; left < 60; ++left) {
    const PixelRect a = BoxToPixels(left, 0, 37, 10), b = BoxToPixels(left + 37, 0, 50, 10);
    EXPECT_EQ(a.x + a.w, b.x) << left;
  }
}

TEST(LabelText, CaptionsKeepTheirAccessKeyAndNothingElse) {
  struct Case {
    const char* caption;
    bool mnemonics;
    const char* label;
  } cases[] = {
      {"下一步(&N) >", true, "下一步(&N) >"},
      {"Save && exit", true, "Save && exit"},
      {"&&&N", true, "&&&N"},
      {"end&", true, "end&&"},            // a last "&" is shown
      {"&安装", true, "安装"},            // no access key before a Chinese character
      {"mail@host", true, "mail@@host"},  // no symbol
      {"@-> x", true, "@@-> x"},
      {"&@", true, "@@"},
      {"A & B", false, "A && B"},  // message texts show every "&"
      {"&Yes", false, "&&Yes"},
      {"", true, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FltkLabel(c.caption, c.mnemonics), c.label) << c.caption;
}

TEST(LabelText, FltkUnderlinesTheKeyTheFormAnswersTo) {
  // FLTK underlines the character after a single "&": it must be the key
  // that Alt presses on the form.
  for (const char* caption :
       {"下一步(&N) >", "< 上一步(&P)", "取消(&C)", "浏览(&B)", "我同意(&I)", "a&&b&x"}) {
    const std::string label = FltkLabel(caption);
    char underlined = 0;
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
      if (label[i] != '&') continue;
      if (label[i + 1] == '&') {
        ++i;
        continue;
      }
      underlined = static_cast<char>(std::toupper(static_cast<unsigned char>(label[i + 1])));
      break;
    }
    EXPECT_EQ(underlined, AccessKey(caption)) << caption;
  }
}

TEST(LabelText, LineEnds) {
  struct Case {
    const char* in;
    const char* unix_ends;
    const char* windows_ends;
  } cases[] = {
      {"a\r\n\r\nb", "a\n\nb", "a\r\n\r\nb"},
      {"a\rb", "a\nb", "a\r\nb"},
      {"a\nb", "a\nb", "a\r\nb"},
      {"a\r", "a\n", "a\r\n"},
      {"\r\n\r", "\n\n", "\r\n\r\n"},
      {"\n\r\n", "\n\n", "\r\n\r\n"},
      {"ab", "ab", "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnixLineEnds(c.in), c.unix_ends) << c.in;
    EXPECT_EQ(WindowsLineEnds(c.in), c.windows_ends) << c.in;
  }
}

TEST(LabelText, ShownCaptionsMarkTheirAccessKey) {
  constexpr auto kNone = std::string::npos;
  struct Case {
    const char* caption;
    bool mnemonics;
    const char* text;
    std::size_t key;
  } cases[] = {
      {"下一步(&N) >", true, "下一步(N) >", 10},
      {"Save && exit", true, "Save & exit", kNone},
      {"&&&N", true, "&N", 1},
      {"a&b&c", true, "abc", 1},  // the first key is the one
      {"end&", true, "end&", kNone},
      {"&安装", true, "安装", kNone},
      {"A & B", false, "A & B", kNone},
      {"&Yes", false, "&Yes", kNone},
      {"", true, "", kNone},
  };
  for (const auto& c : cases) {
    const ShownLabel shown = ShowCaption(c.caption, c.mnemonics);
    EXPECT_EQ(shown.text, c.text) << c.caption;
    EXPECT_EQ(shown.key, c.key) << c.caption;
  }
}

TEST(PollThrottle, PollsAtMostOncePerInterval) {
  struct Step {
    std::int64_t now;
    bool due;
  };
  const Step steps[] = {{100, true},  {100, false}, {104, false}, {105, true},
                        {106, false}, {200, true},  {150, true},  // the clock went back: poll again
                        {154, false}, {155, true}};
  PollThrottle t(5);
  for (const auto& s : steps) EXPECT_EQ(t.Due(s.now), s.due) << s.now;
  t.Force();
  EXPECT_TRUE(t.Due(155));
  EXPECT_FALSE(t.Due(156));
}

TEST(PollThrottle, FourMegabytesOfCallsPollAFewTimes) {
  // One call per byte over 2 simulated seconds: about one poll per 5 ms.
  PollThrottle t(5);
  int polls = 0;
  constexpr int kBytes = 4 * 1024 * 1024;
  for (int i = 0; i < kBytes; ++i) polls += t.Due(static_cast<std::int64_t>(i) * 2000 / kBytes);
  EXPECT_EQ(polls, 400);
}

TEST(MessageBoxAnswers, EscapeAndCloseBox) {
  struct Case {
    MsgButtons buttons;
    std::optional<MsgResult> escape;
  } cases[] = {{MsgButtons::OK, MsgResult::OK},
               {MsgButtons::OKCancel, MsgResult::Cancel},
               {MsgButtons::YesNo, std::nullopt},
               {MsgButtons::YesNoCancel, MsgResult::Cancel},
               {MsgButtons::RetryCancel, MsgResult::Cancel}};
  for (const auto& c : cases) EXPECT_EQ(EscapeAnswer(c.buttons), c.escape) << static_cast<int>(c.buttons);
  // The keys of the buttons that have one.
  EXPECT_EQ(AccessKey(ButtonText(MsgResult::Yes)), 'Y');
  EXPECT_EQ(AccessKey(ButtonText(MsgResult::No)), 'N');
  EXPECT_EQ(AccessKey(ButtonText(MsgResult::Retry)), 'R');
  EXPECT_EQ(ButtonText(MsgResult::OK), "确定");
}

}  // namespace
}  // namespace quorvale::ui::fltk
