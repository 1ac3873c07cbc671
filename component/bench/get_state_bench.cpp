// Host.GetState late bound through CreateObject and Invoke, against a bare
// libcurl GET of the same URL with a fresh handle, on one loopback agent.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>

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

void HostGetState(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    auto host = CreateObject("Quorvale.Host");
    Variant result = CallMethod(host.get(), "GetState",
                                {Variant("127.0.0.1"), Variant(std::int32_t{w.agent.port_}), Variant("pw"),
                                 Variant(std::int32_t{1})});
    if (result != Variant("正常")) state.SkipWithError("no reply");
    benchmark::DoNotOptimize(result);
  }
}

size_t Keep(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

void BareCurlGet(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    std::string body;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, w.url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Keep);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(curl) != CURLE_OK) state.SkipWithError("no reply");
    curl_easy_cleanup(curl);
    benchmark::DoNotOptimize(body);
  }
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

}  // namespace

BENCHMARK_MAIN();
