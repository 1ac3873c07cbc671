// The repair's components written from its own resources when missing, and
// the uninstall's removal of them, on a machine.

#include "quorvale/machine/machine.h"
#include "quorvale/setup/component_recipe.h"
#include "quorvale/win32/kernel.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::HostFile;
using testing::RecipeMachine;
using testing::RecordedSteps;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale";
constexpr const char* kRegAsm = "C:\\WINDOWS\\Microsoft.NET\\Framework\\v1.1.4322\\RegAsm.exe";

TEST(RegisterComponents, TheRepairWritesOnlyWhatIsMissing) {
  RecipeMachine m;
  m.temp.Write(kRegAsm, "the registrar");
  m.temp.Write("C:\\WINDOWS\\system32\\Quorvale.dll", "still there");
  const SystemHelpers waits(kRepairFileWait);
  RecordedSteps r;
  RegisterComponents(r, kRepairComponents,
                     {kFolder, "C:\\WINDOWS\\system32", "C:\\WINDOWS", "IUSR_31", &waits});
  WaitForPrograms();

  EXPECT_EQ(r.ListLines(), std::vector<std::string>{"正在注册组件..."});
  EXPECT_EQ(r.Widths(), (std::vector<int>{4000, 4200, 4400, 4600, 4800, 5000, 5200, 5400, 5600, 5800}));
  // A loop turn before every byte written, and one after each width.
  EXPECT_EQ(r.turns, 98304 + 361984 + 10);
  EXPECT_FALSE(r.err) << r.err.Description();
  EXPECT_TRUE(m.temp.Read("C:\\WINDOWS\\system32\\DodIde.dll") == HostFile(DODIDE));
  EXPECT_TRUE(m.temp.Read("C:\\WINDOWS\\system32\\jmail.dll") == HostFile(JMAIL));
  EXPECT_EQ(m.temp.Read("C:\\WINDOWS\\system32\\Quorvale.dll"), "still there");
  EXPECT_EQ(m.Started(),
            (std::vector<std::string>{"C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe "
                                      "C:\\WINDOWS\\system32\\DodIde.dll /CodeBase",
                                      "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /s",
                                      "regsvr32 C:\\WINDOWS\\system32\\jmail.dll /s",
                                      "Cacls C:\\WINDOWS\\system32\\DodIde.dll /e /c /g IUSR_31:F",
                                      "Cacls C:\\WINDOWS\\system32\\Quorvale.dll /e /c /g IUSR_31:F",
                                      "Cacls C:\\WINDOWS\\system32\\jmail.dll /e /c /g IUSR_31:F"}));
}

TEST(RemoveComponents, UnregistersAndDeletesWithTheWebServiceStoppedAround) {
  RecipeMachine m;
  m.temp.Write(kRegAsm, "the registrar");
  for (const char* f : {"DodIde.dll", "Quorvale.dll", "jmail.dll"})
    m.temp.Write(std::string("C:\\WINDOWS\\system32\\") + f, f);
  const SystemHelpers waits(kRepairFileWait);
  RecordedSteps r;
  RemoveComponents(r, kUninstallComponents, {kFolder, "C:\\WINDOWS\\system32", "C:\\WINDOWS", "", &waits});
  WaitForPrograms();

  EXPECT_EQ(r.ListLines(), std::vector<std::string>{"正在卸载组件..."});
  EXPECT_EQ(r.Widths(), (std::vector<int>{3000, 3500, 4000, 4500, 5000, 5500, 6000}));
  EXPECT_EQ(
      m.Started(),
      (std::vector<std::string>{
          "C:\\WINDOWS\\MICROS~1.NET\\FRAMEW~1\\V11~1.432\\RegAsm.exe C:\\WINDOWS\\system32\\DodIde.dll /u",
          "regsvr32 C:\\WINDOWS\\system32\\Quorvale.dll /u /s",
          "regsvr32 C:\\WINDOWS\\system32\\jmail.dll /u /s"}));
  for (const char* f : {"DodIde.dll", "Quorvale.dll", "jmail.dll"})
    EXPECT_FALSE(m.temp.Exists(std::string("C:\\WINDOWS\\system32\\") + f)) << f;
  const auto w3svc = m.temp.machine().FindService("W3SVC");
  ASSERT_TRUE(w3svc);
  EXPECT_EQ(w3svc->state, "running");
}

}  // namespace
}  // namespace quorvale::setup
