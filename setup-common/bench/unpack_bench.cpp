// The server end's payload written out of the program's resources and the
// unpacker started, on the test clock and the headless message loop: the
// 3,175,512 byte writes, each after a turn of the message loop.
#include <benchmark/benchmark.h>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/programs/launch.h"
#include "quorvale/providers/registration.h"
#include "quorvale/setup/payload_recipe.h"
#include "quorvale/ui/headless.h"
#include "quorvale/win32/kernel.h"

namespace {

using namespace quorvale;
using namespace quorvale::setup;

class Page : public ui::Form {
 public:
  explicit Page(ui::Application& app) : Form(app, "Install") {
    Timer.SetInterval(100);
    Timer.SetEnabled(true);
  }
  ui::Timer Timer{*this, "Timer"};
};

// A page's reporter without the page: the loop turns are the headless
// application's own.
class LoopReporter final : public StepReporter {
 public:
  explicit LoopReporter(ui::Application* app) : app_(app) {}
  void ShowStep(const std::string&) override {}
  void ListLine(const std::string&) override {}
  void SetBar(int width) override { benchmark::DoNotOptimize(width); }
  void LoopTurn() override {
    if (app_) app_->DoEvents();
  }
  Err& SequenceErr() override { return err_; }

 private:
  ui::Application* app_;
  Err err_;
};

void Unpack(benchmark::State& state, bool loop) {
  testing::TempMachine temp;
  RegisterProviders(temp.machine().Registry(), PROVIDERS_PATH);
  InstallLauncher();
  win32::CreateDirectoryA("C:\\Program Files\\Quorvale", nullptr);
  ui::HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  LoopReporter reporter(loop ? &driver.App() : nullptr);
  for (auto _ : state) {
    UnpackPayload(reporter, kServerEndPayload, "C:\\Program Files\\Quorvale");
    state.PauseTiming();
    WaitForPrograms();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * (2861144 + 314368));
}

void BM_UnpackPayload(benchmark::State& state) { Unpack(state, true); }
void BM_UnpackPayloadWritesOnly(benchmark::State& state) { Unpack(state, false); }

BENCHMARK(BM_UnpackPayload)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnpackPayloadWritesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
