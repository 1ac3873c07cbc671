// Component placement and registration of the server end and the control
// end on a machine: what the system folder, the install folder and the mail
// site hold afterwards, and the programs started, in order.
#include "quorvale/setup/component_recipe.h"

#include <algorithm>
#include <set>

#include "quorvale/win32/kernel.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::RecipeMachine;
using testing::RecordedSteps;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale";
constexpr const char* kSystem = "C:\\WINDOWS\\system32";
constexpr const char* kRegAsm = "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe";

struct ComponentCase {
  const char* name;
  const ComponentVariant* variant;
  std::vector<std::string> unpacked;                         // files in the install folder
  std::vector<std::pair<std::string, std::string>> present;  // files there before, with their bytes
  const char* target;
  std::vector<std::string> lines;
  std::vector<int> widths;
  std::vector<std::string> started;
  std::vector<std::string> placed;     // now in the target folder, unpacked bytes
  std::vector<std::string> remaining;  // still in the install folder
};

const ComponentCase kCases[] = {
    {"the server end's controls, one already in the system folder",
     &kServerControls,
     {"mswinsck.ocx", "ntsvc.ocx", "TABCTL32.OCX", "MSCOMCTL.OCX"},
     {{"C:\\WINDOWS\\system32\\MSCOMCTL.OCX", "the machine's own"}},
     kSystem,
     {"正在注册组件..."},
     {4000, 4200, 4400, 4600, 4800, 4900, 5000, 5100, 5200},
     {"regsvr32 C:\\WINDOWS\\system32\\mswinsck.ocx /s", "regsvr32 C:\\WINDOWS\\system32\\ntsvc.ocx /s",
      "regsvr32 C:\\WINDOWS\\system32\\TABCTL32.OCX /s", "regsvr32 C:\\WINDOWS\\system32\\MSCOMCTL.OCX /s"},
     {"mswinsck.ocx", "ntsvc.ocx", "TABCTL32.OCX"},
     {}},
    {"the mail page into a mail site that has its own",
     &kMailPage,
     {"MailCtrl.asp"},
     {{"D:\\WinWebMail\\Web\\MailCtrl.asp", "the site's own"}},
     "D:\\WinWebMail\\Web",
     {"正在配置企业邮局站点..."},
     {3800},
     {},
     {},
     {}},
    {"the mail page into a mail site without one",
     &kMailPage,
     {"MailCtrl.asp"},
     {{"D:\\WinWebMail\\Web\\Default.asp", "a page"}},
     "D:\\WinWebMail\\Web",
     {"正在配置企业邮局站点..."},
     {3800},
     {},
     {"MailCtrl.asp"},
     {}},
    {"the mail component where it lies",
     &kMailComponent,
     {"WinWebMail.dll"},
     {},
     kSystem,
     {"正在注册企业邮局组件..."},
     {3900},
     {"regsvr32 C:\\PROGRA~1\\Quorvale\\WINWEB~1.DLL /s"},
     {},
     {"WinWebMail.dll"}},
    {"no mail server: both mail files go",
     &kNoMailFiles,
     {"MailCtrl.asp", "WinWebMail.dll"},
     {},
     kSystem,
     {},
     {3900},
     {},
     {},
     {}},
    {"the control end's components, the component already in the system folder",
     &kControlComponents,
     {"DodIde.dll", "Quorvale.dll", "Jmail.dll"},
     {{"C:\\WINDOWS\\system32\\Quorvale.dll", "the machine's own"}},
     kSystem,
     {"正在注册组件..."},
     {4600, 4700, 4800, 4900, 5200, 5300, 5400, 5500, 5600, 5700},
     {"C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll "
      "/CodeBase",
      "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s", "regsvr32 C:\\WINDOWS\\system32\\Jmail.dll /s",
      "Cacls C:\\WINDOWS\\system32\\DodIde.dll /e /c /g IUSR_987654321:R",
      "Cacls C:\\WINDOWS\\system32\\Quorvale.dll /e /c /g IUSR_987654321:R",
      "Cacls C:\\WINDOWS\\system32\\Jmail.dll /e /c /g Everyone:R"},
     {"DodIde.dll", "Jmail.dll"},
     {}},
};

TEST(RegisterComponents, PlacesRegistersAndOpensInOrder) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    MachineShape shape;
    shape.drives = {{'C', std::nullopt}, {'D', std::nullopt}};
    RecipeMachine m(shape);
    m.temp.Write(kRegAsm, "the registrar");
    for (const auto& f : c.unpacked) m.temp.Write(std::string(kFolder) + "\\" + f, "unpacked " + f);
    for (const auto& [path, bytes] : c.present) m.temp.Write(path, bytes);
    const SystemHelpers waits;
    RecordedSteps r;
    RegisterComponents(r, *c.variant, {kFolder, c.target, "C:\\WINDOWS", "IUSR_987654321", &waits});
    WaitForPrograms();

    EXPECT_EQ(r.ListLines(), c.lines);
    EXPECT_EQ(r.Widths(), c.widths);
    EXPECT_EQ(m.Started(), c.started);
    for (const auto& f : c.placed) EXPECT_EQ(m.temp.Read(std::string(c.target) + "\\" + f), "unpacked " + f);
    for (const auto& [path, bytes] : c.present) EXPECT_EQ(m.temp.Read(path), bytes) << path;
    for (const auto& f : c.unpacked) {
      const bool remains = std::find(c.remaining.begin(), c.remaining.end(), f) != c.remaining.end();
      EXPECT_EQ(m.temp.Exists(std::string(kFolder) + "\\" + f), remains) << f;
    }
  }
}

// The grants the control end's access step leaves, and the registrations.
TEST(RegisterComponents, TheControlEndsComponentsAreReadableAndRegistered) {
  RecipeMachine m;
  m.temp.Write(kRegAsm, "the registrar");
  for (const char* f : {"DodIde.dll", "Quorvale.dll", "Jmail.dll"})
    m.temp.Write(std::string(kFolder) + "\\" + f, f);
  const SystemHelpers waits;
  RecordedSteps r;
  RegisterComponents(r, kControlComponents, {kFolder, kSystem, "C:\\WINDOWS", "IUSR_5", &waits});
  WaitForPrograms();
  const auto access = m.temp.machine().AccessList();
  for (const AccessEntry& e : {AccessEntry{"C:\\WINDOWS\\system32\\DodIde.dll", "IUSR_5", "R"},
                               AccessEntry{"C:\\WINDOWS\\system32\\Quorvale.dll", "IUSR_5", "R"},
                               AccessEntry{"C:\\WINDOWS\\system32\\Jmail.dll", "Everyone", "R"}})
    EXPECT_EQ(std::count(access.begin(), access.end(), e), 1) << e.path;
  // The programs run side by side: they finish in any order.
  std::set<std::string> registered;
  for (const auto& e : m.temp.machine().ProgramEvents())
    if (e.what == "registered") registered.insert(e.program + " " + e.path);
  EXPECT_EQ(registered, (std::set<std::string>{"RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll",
                                               "regsvr32.exe C:\\WINDOWS\\system32\\Quorvale.dll",
                                               "regsvr32.exe C:\\WINDOWS\\system32\\Jmail.dll"}));
}

// A file the unpacker never produced: the waits give up and the run goes on.
TEST(RegisterComponents, AMissingFileIsWaitedForAndSkipped) {
  RecipeMachine m;
  const SystemHelpers waits;
  RecordedSteps r;
  RegisterComponents(r, kServerControls, {kFolder, kSystem, "C:\\WINDOWS", "", &waits});
  EXPECT_EQ(r.Widths(), (std::vector<int>{4000, 4200, 4400, 4600, 4800, 4900, 5000, 5100, 5200}));
  EXPECT_TRUE(r.ListLines() == std::vector<std::string>{"正在注册组件..."});
  // Four waits for the unpacked files and four for the system folder's,
  // 20 x 500 ms each.
  EXPECT_EQ(ClockNow(), 8u * 20 * 500);
  EXPECT_EQ(m.Started(),
            (std::vector<std::string>{"regsvr32  /s", "regsvr32  /s", "regsvr32  /s", "regsvr32  /s"}));
}

}  // namespace
}  // namespace quorvale::setup
