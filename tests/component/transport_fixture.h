// Tests that go through the transport: the providers registered in a
// temporary registry as the default host, and a loopback agent per test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "loopback_agent.h"
#include "quorvale/com/create_object.h"
#include "quorvale/providers/registration.h"

namespace quorvale::component {

class TransportFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                     ("code-" + std::to_string(::getpid())));
    std::filesystem::create_directories(*dir_);
    registry_ = new RegistryStore(*dir_ / "registry.reg");
    RegisterProviders(*registry_, "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    SetDefaultComHost({registry_, [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }});
  }
  static void TearDownTestSuite() {
    SetDefaultComHost({});
    delete registry_;
    std::filesystem::remove_all(*dir_);
    delete dir_;
  }
  Variant Port() const { return Variant(std::int32_t{agent_.port_}); }

  static inline std::filesystem::path* dir_;
  static inline RegistryStore* registry_;
  LoopbackAgent agent_;
};

}  // namespace quorvale::component
