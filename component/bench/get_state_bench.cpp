// Host.GetState late bound through CreateObject and Invoke, against a bare
// libcurl GET of the same URL with a fresh handle, on one loopback agent.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/component/library.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/providers/registration.h"

namespace {

using namespace quorvale;

struct World {
  World() {
    machine = std::filesystem::temp_directory_path() / ("quorvale-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(machine);
    ::setenv("QUORVALE_MACHINE", machine.c_str(), 1);
    RegistryStore registry(RegistryFileOf(machine));
    RegisterProviders(registry, PROVIDERS_PATH);
    component::RegisterComponent(registry, QUORVALE_PATH);
    agent.body_ = "\xD5\xFD\xB3\xA3";  // 正常
    url = agent.Url("/GetState?ServerPassWord=pw&SiteNum=1");
  }
  ~World() { std::filesystem::remove_all(machine); }
  std::filesystem::path machine;
  LoopbackAgent agent;
  std::string url;
};

World& TheWorld() {
  static World world;
  return world;
}

size_t Keep(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

// One Host.GetState call through CreateObject and Invoke.
bool CallGetState(const World& w) {
  auto host = CreateObject("Quorvale.Host");
  Variant result = CallMethod(
      host.get(), "GetState",
      {Variant("127.0.0.1"), Variant(std::int32_t{w.agent.port_}), Variant("pw"), Variant(std::int32_t{1})});
  return result == Variant("正常");
}

void HostGetState(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state)
    if (!CallGetState(w)) state.SkipWithError("no reply");
}

// The same GET with a fresh libcurl handle and nothing else: no signals,
// as the component's requests use none.
bool BareGet(const World& w) {
  std::string body;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, w.url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Keep);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  const bool ok = curl_easy_perform(curl) == CURLE_OK;
  curl_easy_cleanup(curl);
  benchmark::DoNotOptimize(body);
  return ok;
}

void BareCurlGet(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state)
    if (!BareGet(w)) state.SkipWithError("no reply");
}

// Both in strict alternation (each goes first every other time), so both
// see the same load on a shared machine; the counters are the mean time of
// each and the ratio of the two.
void Paired(benchmark::State& state) {
  World& w = TheWorld();
  using Clock = std::chrono::steady_clock;
  Clock::duration host{}, bare{};
  bool host_first = false;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const bool ok = host_first ? CallGetState(w) : BareGet(w);
    const auto t1 = Clock::now();
    const bool ok2 = host_first ? BareGet(w) : CallGetState(w);
    const auto t2 = Clock::now();
    (host_first ? host : bare) += t1 - t0;
    (host_first ? bare : host) += t2 - t1;
    host_first = !host_first;
    if (!ok || !ok2) state.SkipWithError("no reply");
  }
  const double n = static_cast<double>(state.iterations()) * 1000.0;
  state.counters["host_us"] = static_cast<double>(std::chrono::nanoseconds(host).count()) / n;
  state.counters["bare_us"] = static_cast<double>(std::chrono::nanoseconds(bare).count()) / n;
  state.counters["ratio"] =
      static_cast<double>(host.count()) / static_cast<double>(std::max<Clock::rep>(bare.count(), 1));
}

// The part of a call that is no network: the three objects a call creates.
void CreateThreeObjects(benchmark::State& state) {
  TheWorld();
  for (auto _ : state) {
    auto host = CreateObject("Quorvale.Host");
    auto http = CreateObject("MSXML2.XMLHTTP");
    auto stream = CreateObject("adodb.stream");
    benchmark::DoNotOptimize(stream);
  }
}

BENCHMARK(CreateThreeObjects);
BENCHMARK(BareCurlGet)->UseRealTime();
BENCHMARK(HostGetState)->UseRealTime();
BENCHMARK(Paired)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
