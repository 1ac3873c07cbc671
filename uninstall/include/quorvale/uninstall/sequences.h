// The two sequences Running runs on its first tick, chosen by the mode on
// Welcome: the repair and the uninstall. Each ends by giving Complete its
// texts; Complete is then shown and Running hidden.
#pragma once

#include <vector>

#include "quorvale/setup/sequence.h"
#include "quorvale/uninstall/running.h"

namespace quorvale::uninstall {

class RepairSequence : public setup::Sequence<RepairSequence> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "主控端修复完毕...";
  // The steps in the order they run; the repair steps join here.
  static const std::vector<Step>& Steps();

 private:
  void SetCompleteTexts();
};

class UninstallSequence : public setup::Sequence<UninstallSequence> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "正在更新注册表...";
  // The steps in the order they run; the uninstall steps join here.
  static const std::vector<Step>& Steps();

 private:
  void SetCompleteTexts();
};

}  // namespace quorvale::uninstall
