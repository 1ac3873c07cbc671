// Every control of a page as one line of text: name, kind, caption,
// position in twips, container, tab index and the states that differ from a
// plain control (hidden, disabled, read-only, password character, text,
// value, tooltip); a message box as its title, icon, buttons, the form it
// stands over and its text. The programs' layout tests compare the dump of
// their pages with a checked-in file.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "quorvale/ui/controls.h"
#include "quorvale/ui/form.h"
#include "quorvale/ui/types.h"

namespace quorvale::setup::testing {

inline const char* KindName(ui::ControlKind kind) {
  switch (kind) {
    case ui::ControlKind::Label: return "Label";
    case ui::ControlKind::TextBox: return "TextBox";
    case ui::ControlKind::CheckBox: return "CheckBox";
    case ui::ControlKind::OptionButton: return "OptionButton";
    case ui::ControlKind::ListBox: return "ListBox";
    case ui::ControlKind::CommandButton: return "CommandButton";
    case ui::ControlKind::Frame: return "Frame";
    case ui::ControlKind::Line: return "Line";
    case ui::ControlKind::Image: return "Image";
    case ui::ControlKind::Timer: return "Timer";
  }
  return "?";
}

inline std::string CaptionOf(const ui::Control& c) {
  switch (c.Kind()) {
    case ui::ControlKind::Label: return static_cast<const ui::Label&>(c).Caption();
    case ui::ControlKind::CheckBox: return static_cast<const ui::CheckBox&>(c).Caption();
    case ui::ControlKind::OptionButton: return static_cast<const ui::OptionButton&>(c).Caption();
    case ui::ControlKind::CommandButton: return static_cast<const ui::CommandButton&>(c).Caption();
    case ui::ControlKind::Frame: return static_cast<const ui::Frame&>(c).Caption();
    default: return "";
  }
}

// Line breaks in a caption shown as \r and \n, one control to a line.
inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text)
    out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

inline std::string Dump(const ui::Form& page) {
  std::ostringstream out;
  out << page.Name() << " \"" << page.Caption() << "\" " << page.Width() << "x" << page.Height() << "\n";
  for (const ui::Control* c : page.Controls()) {
    out << "  " << c->Name() << " " << KindName(c->Kind()) << " \"" << Escaped(CaptionOf(*c)) << "\" ";
    if (c->Kind() == ui::ControlKind::Line) {
      const auto& l = static_cast<const ui::Line&>(*c);
      out << l.X1() << "," << l.Y1() << "-" << l.X2() << "," << l.Y2();
    } else {
      out << c->Left() << "," << c->Top() << " " << c->Width() << "x" << c->Height();
    }
    if (c->Container()) out << " in " << c->Container()->Name();
    out << " tab " << c->TabIndex();
    if (!c->Visible()) out << " hidden";
    if (!c->Enabled()) out << " disabled";
    if (c->Kind() == ui::ControlKind::TextBox) {
      const auto& box = static_cast<const ui::TextBox&>(*c);
      if (box.Locked()) out << " read-only";
      if (!box.PasswordChar().empty()) out << " password \"" << box.PasswordChar() << "\"";
      if (!box.Text().empty() && !box.MultiLine()) out << " text \"" << box.Text() << "\"";
    }
    if (c->Kind() == ui::ControlKind::CheckBox)
      out << " value " << static_cast<const ui::CheckBox&>(*c).Value();
    if (c->Kind() == ui::ControlKind::OptionButton)
      out << " value " << (static_cast<const ui::OptionButton&>(*c).Value() ? "True" : "False");
    if (const auto& tip = c->ToolTipText(); !tip.empty()) out << " tip \"" << tip << "\"";
    out << "\n";
  }
  return out.str();
}

inline const char* IconName(ui::MsgIcon icon) {
  switch (icon) {
    case ui::MsgIcon::None: return "None";
    case ui::MsgIcon::Critical: return "Critical";
    case ui::MsgIcon::Question: return "Question";
    case ui::MsgIcon::Exclamation: return "Exclamation";
    case ui::MsgIcon::Information: return "Information";
  }
  return "?";
}

inline const char* ButtonsName(ui::MsgButtons buttons) {
  switch (buttons) {
    case ui::MsgButtons::OK: return "OK";
    case ui::MsgButtons::OKCancel: return "OKCancel";
    case ui::MsgButtons::YesNo: return "YesNo";
    case ui::MsgButtons::YesNoCancel: return "YesNoCancel";
    case ui::MsgButtons::RetryCancel: return "RetryCancel";
  }
  return "?";
}

inline std::string Dump(const ui::MessageRequest& box) {
  std::ostringstream out;
  out << "MsgBox \"" << box.title << "\" " << IconName(box.icon) << " " << ButtonsName(box.buttons);
  if (!box.owner.empty()) out << " over " << box.owner;
  out << "\n  \"" << Escaped(box.prompt) << "\"\n";
  return out.str();
}

// With QUORVALE_UPDATE_GOLDEN set, writes the dump as the checked-in file
// and says so (the test then skips).
inline bool UpdateGolden(const std::string& dump, const char* golden) {
  if (!std::getenv("QUORVALE_UPDATE_GOLDEN")) return false;
  std::ofstream(golden, std::ios::binary) << dump;
  return true;
}

// The checked-in file; empty when it is missing.
inline std::string ReadGolden(const char* golden) {
  std::ifstream in(golden, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace quorvale::setup::testing
