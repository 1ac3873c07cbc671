// Every control of every page of Server: name, kind, caption, position in
// twips and tab index, compared with the checked-in pages.golden. After a
// deliberate change of a page, write the file anew with
//   QUORVALE_UPDATE_GOLDEN=1 build/setup-server/setup_server_tests --gtest_filter='PageLayout.*'
// and read its diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/server/server_end.h"
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

std::string Dump(const ui::Form& page) {
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

TEST(PageLayout, EveryPageOfServerMatchesTheCheckedInDump) {
  MachineShape shape;
  shape.drives = {{'C', 16ull << 30}};
  quorvale::testing::TempMachine temp(shape);
  ui::HeadlessDriver driver;
  SetupProgram program(driver.App(), server::ServerEnd::Profile());
  std::string dump = Dump(program.Page<Welcome>()) + Dump(program.Page<Agreement>()) +
                     Dump(program.Page<DirectoryPage>()) + Dump(program.Page<Install>()) +
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
