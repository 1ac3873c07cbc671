// The helper procedures each program's progress form carries (Install in
// the two setup programs, Running in the repair program), with what sets
// them apart: the repair program waits 10 x 1000 ms for files and has no
// CreateDir; only the server-end setup lets ErrorCode and DataSize be read.
#pragma once

#include <cstdint>

#include "quorvale/setup/ini_helpers.h"
#include "quorvale/setup/registry_helpers.h"
#include "quorvale/setup/system_helpers.h"

namespace quorvale::setup {

struct ServerEndModule {
  static constexpr FileWait kFileWait = kSetupFileWait;
  static constexpr bool kCreateDir = true;
  static constexpr bool kRegistryReadout = true;
};
struct ControlEndModule {
  static constexpr FileWait kFileWait = kSetupFileWait;
  static constexpr bool kCreateDir = true;
  static constexpr bool kRegistryReadout = false;
};
struct RepairModule {
  static constexpr FileWait kFileWait = kRepairFileWait;
  static constexpr bool kCreateDir = false;
  static constexpr bool kRegistryReadout = false;
};

template <class Module>
class HelperModule : public IniHelpers, public RegistryHelpers, public SystemHelpers {
 public:
  HelperModule() : SystemHelpers(Module::kFileWait) {}

  static bool CreateDir(const std::string& path) requires Module::kCreateDir {
    return SystemHelpers::CreateDir(path);
  }

  // The Windows code of the last registry call (0 = success).
  std::int32_t ErrorCode() const requires Module::kRegistryReadout { return error_code_; }
  // The byte count of the last value read or write.
  std::int32_t DataSize() const requires Module::kRegistryReadout { return data_size_; }
};

using ServerEndHelpers = HelperModule<ServerEndModule>;
using ControlEndHelpers = HelperModule<ControlEndModule>;
using RepairHelpers = HelperModule<RepairModule>;

}  // namespace quorvale::setup
