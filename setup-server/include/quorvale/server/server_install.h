// The server end's install sequence, run on the progress page Install.
#pragma once

#include <vector>

#include "quorvale/server/server_end.h"
#include "quorvale/setup/sequence.h"

namespace quorvale::server {

class ServerInstall : public setup::Sequence<ServerInstall> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "安装完毕...";
  // The steps in the order they run; the install steps join here.
  static const std::vector<Step>& Steps();

 private:
  ServerEnd::Helpers helpers_;
};

}  // namespace quorvale::server
