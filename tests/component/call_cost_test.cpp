// What one late-bound Host.GetState costs the caller's thread beside its
// GET: counted in allocations, which are the same on every run (libcurl's own
// go through malloc and are not counted). A change that makes every call
// allocate more shows here; the time of a call is left to component_bench.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>

#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/component/library.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/providers/registration.h"

namespace {

thread_local std::size_t allocations = 0;

}  // namespace

// The replacement pair: what this operator new takes from malloc, its
// operator delete gives back to free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace quorvale::component {
namespace {

class CallCost : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = std::filesystem::temp_directory_path() / ("call-cost-" + std::to_string(::getpid()));
    std::filesystem::create_directories(machine_);
    ::setenv("QUORVALE_MACHINE", machine_.c_str(), 1);
    RegistryStore registry(RegistryFileOf(machine_));
    RegisterProviders(registry, PROVIDERS_PATH);
    RegisterComponent(registry, QUORVALE_PATH);
    agent_.body_ = "\xD5\xFD\xB3\xA3";  // 正常
  }
  void TearDown() override {
    ::unsetenv("QUORVALE_MACHINE");
    std::filesystem::remove_all(machine_);
  }

  // One call as a script makes it: the object, then the method by name.
  Variant GetState() {
    auto host = CreateObject("Quorvale.Host");
    return CallMethod(
        host.get(), "GetState",
        {Variant("127.0.0.1"), Variant(std::int32_t{agent_.port_}), Variant("pw"), Variant(std::int32_t{1})});
  }
  // The allocations of one call once everything is loaded and resolved.
  std::size_t AllocationsOfOneCall() {
    EXPECT_EQ(GetState(), Variant("正常"));
    const std::size_t before = allocations;
    const Variant result = GetState();
    const std::size_t count = allocations - before;
    EXPECT_EQ(result, Variant("正常"));
    return count;
  }

  std::filesystem::path machine_;
  LoopbackAgent agent_;
};

TEST_F(CallCost, OneCallAllocatesLittle) {
  const std::size_t count = AllocationsOfOneCall();
  RecordProperty("allocations", static_cast<int>(count));
  // 14 since the stream's statements share one argument list and the URL
  // is moved, not copied, on its way to the request (21 before).
  EXPECT_LE(count, 14u);
}

}  // namespace
}  // namespace quorvale::component
