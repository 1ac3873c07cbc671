// The whole server-end installation, headless, on the test clock: Welcome
// to Complete on a fresh machine whose programs run, so the mandated waits
// cost nothing and what is measured is the work itself, the 3,175,512 byte
// writes with a turn of the message loop before each included.
#include <benchmark/benchmark.h>

#include <memory>

#include "install_run.h"

namespace {

using namespace quorvale::server::testing;

void Install(benchmark::State& state, MailChoice mail) {
  for (auto _ : state) {
    state.PauseTiming();
    auto run = std::make_unique<InstallRun>();
    state.ResumeTiming();
    run->WalkToInstall({false, false, mail, false, false});
    run->RunSequence();
    state.PauseTiming();
    const bool complete = run->driver.ShownForms() == std::vector<std::string>{"Complete"} &&
                          run->Page().Loading.Width() == 6765;
    run.reset();
    state.ResumeTiming();
    if (!complete) {
      state.SkipWithError("the installation did not reach Complete");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * (2861144 + 314368));
}

void BM_ServerInstallNoMail(benchmark::State& state) { Install(state, MailChoice::kNone); }
void BM_ServerInstallWinWebMail(benchmark::State& state) { Install(state, MailChoice::kWinWebMail); }

BENCHMARK(BM_ServerInstallNoMail)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerInstallWinWebMail)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
