// The repair of an Access control end whose Windows was set up again,
// headless on the test clock: from the confirmation to Complete, the panel
// site rebuilt and the three components written from the program's own
// resources, 857,600 byte writes each after a turn of the message loop,
// then registered, the records written. Each run gets a fresh machine,
// made outside the timing.
#include <benchmark/benchmark.h>

#include <memory>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/headless.h"
#include "quorvale/uninstall/repair_program.h"
#include "quorvale/win32/ansi.h"

namespace {

using namespace quorvale;

constexpr const char* kFolder = "C:\\Program Files\\Quorvale\\主控端";

// What the install folder keeps: the panel's pages, Conn.asp as shipped,
// the data folder and the record; nothing else of the control end.
struct Damaged {
  Damaged() : program(driver.App(), uninstall::RepairProgram::Profile()) {
    RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
    const std::string folder = kFolder;
    temp.Write(folder + "\\Web\\Index.asp", "<% %>");
    temp.Write(
        folder + "\\Web\\Inc\\Conn.asp",
        "<%\r\nDBType = \"Access\"\r\nServerName = \"(local)\"\r\nUserName = \"\"\r\nPassWord = \"\"\r\n"
        "DataBase = \"\"\r\n%>\r\n");
    temp.Write(folder + "\\Data\\Quorvale.mdb", "the panel's Access database");
    // In code page 936, as the profile functions write it.
    temp.Write(folder + "\\Uninstall.ini",
               *win32::ToAnsi("[Uninstall]\r\nDataType=Access\r\nSetupDir=" + folder +
                              "\r\nDomainName=\r\nSiteNum=2468\r\nUser=IUSR_2468\r\n"));
    program.SetAppPath(folder);
    program.SetCommandLine("-modify");
    driver.Answer(ui::MsgResult::OK);
    driver.Run([&] { program.Start(); });
  }
  testing::TempMachine temp;
  ui::HeadlessDriver driver;
  setup::SetupProgram program;
};

void BM_RepairWritingTheComponents(benchmark::State& state) {
  InstallLauncher();
  for (auto _ : state) {
    state.PauseTiming();
    auto run = std::make_unique<Damaged>();
    state.ResumeTiming();
    run->driver.Advance(100);
    state.PauseTiming();
    if (run->driver.ShownForms() != std::vector<std::string>{"Complete"} ||
        !run->temp.Exists("C:\\WINDOWS\\system32\\Quorvale.dll") ||
        !run->temp.Exists("C:\\WINDOWS\\system32\\jmail.dll"))
      state.SkipWithError("the repair did not complete");
    WaitForPrograms();
    run.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_RepairWritingTheComponents)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
