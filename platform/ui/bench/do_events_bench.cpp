// DoEvents before every byte of a 4 MB payload, on the headless backend.
#include <benchmark/benchmark.h>

#include "quorvale/ui/headless.h"

namespace {

using quorvale::ui::Form;
using quorvale::ui::HeadlessDriver;
using quorvale::ui::Timer;

class Page : public Form {
 public:
  explicit Page(quorvale::ui::Application& app) : Form(app, "Page") {
    Tick.SetInterval(100);
    Tick.SetEnabled(true);
  }
  Timer Tick{*this, "Timer"};
};

void BM_DoEventsPerPayloadByte(benchmark::State& state) {
  HeadlessDriver driver;
  Page page(driver.App());
  driver.Start(page);
  constexpr long kPayload = 4L * 1024 * 1024;
  for (auto _ : state) {
    for (long i = 0; i < kPayload; ++i) driver.App().DoEvents();
  }
  state.SetItemsProcessed(state.iterations() * kPayload);
}
BENCHMARK(BM_DoEventsPerPayloadByte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
