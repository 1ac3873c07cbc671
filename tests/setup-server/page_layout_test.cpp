// Every control of every page of Server: name, kind, caption, position in
// twips, tab index and the states that differ from a plain control (hidden,
// disabled, read-only, password character, text, value, tooltip), compared with the checked-in pages.golden.
// After a deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/setup-server/setup_server_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/server/database_pages.h"
#include "quorvale/server/mail.h"
#include "quorvale/server/script.h"
#include "quorvale/server/server_end.h"
#include "quorvale/server/service.h"
#include "quorvale/server/servu.h"
#include "quorvale/setup/agreement.h"
#include "quorvale/setup/complete.h"
#include "quorvale/setup/directory.h"
#include "quorvale/setup/progress.h"
#include "quorvale/setup/welcome.h"
#include "quorvale/ui/headless.h"

namespace quorvale::setup {
namespace {

const char* KindName(ui::ControlKind kind) {
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

std::string CaptionOf(const ui::Control& c) {
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
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text)
    out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

std::string Dump(const ui::Form& page) {
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

TEST(PageLayout, EveryPageOfServerMatchesTheCheckedInDump) {
  MachineShape shape;
  shape.drives = {{'C', 16ull << 30}};
  quorvale::testing::TempMachine temp(shape);
  ui::HeadlessDriver driver;
  SetupProgram program(driver.App(), server::ServerEnd::Profile());
  std::string dump = Dump(program.Page<Welcome>()) + Dump(program.Page<Agreement>()) +
                     Dump(program.Page<server::Service>()) + Dump(program.Page<DirectoryPage>()) +
                     Dump(program.Page<server::ServU>()) + Dump(program.Page<server::Script>()) +
                     Dump(program.Page<server::Mail>()) + Dump(program.Page<server::SQLServer>()) +
                     Dump(program.Page<server::MySQL>()) + Dump(program.Page<Install>()) +
                     Dump(program.Page<Complete>());
  if (std::getenv("QUORVALE_UPDATE_GOLDEN")) {
    std::ofstream(PAGES_GOLDEN, std::ios::binary) << dump;
    GTEST_SKIP() << "wrote " << PAGES_GOLDEN;
  }
  std::ifstream in(PAGES_GOLDEN, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << PAGES_GOLDEN;
  std::ostringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(dump, golden.str());
}

}  // namespace
}  // namespace quorvale::setup
