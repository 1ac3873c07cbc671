// The control end's install sequence, run on the progress page Install.
#pragma once

#include <vector>

#include "quorvale/client/client_end.h"
#include "quorvale/setup/sequence.h"

namespace quorvale::client {

class ClientInstall : public setup::Sequence<ClientInstall> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "安装完毕...";
  // The steps in the order they run; the install steps join here.
  static const std::vector<Step>& Steps();

 private:
  ClientEnd::Helpers helpers_;
};

}  // namespace quorvale::client
