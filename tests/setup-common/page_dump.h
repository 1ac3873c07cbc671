// Every control of a page as one line of text: name, kind, caption,
// position in twips, container and tab index. The programs' layout tests
// compare the dump of their pages with a checked-in file.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "quorvale/ui/controls.h"
#include "quorvale/ui/form.h"

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

inline std::string Dump(const ui::Form& page) {
  std::ostringstream out;
  out << page.Name() << " \"" << page.Caption() << "\" " << page.Width() << "x" << page.Height() << "\n";
  for (const ui::Control* c : page.Controls()) {
    out << "  " << c->Name() << " " << KindName(c->Kind()) << " \"" << CaptionOf(*c) << "\" ";
    if (c->Kind() == ui::ControlKind::Line) {
      const auto& l = static_cast<const ui::Line&>(*c);
      out << l.X1() << "," << l.Y1() << "-" << l.X2() << "," << l.Y2();
    } else {
      out << c->Left() << "," << c->Top() << " " << c->Width() << "x" << c->Height();
    }
    if (c->Container()) out << " in " << c->Container()->Name();
    out << " tab " << c->TabIndex() << "\n";
  }
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
