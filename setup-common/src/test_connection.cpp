#include "quorvale/setup/test_connection.h"

#include "quorvale/setup/ado_calls.h"

namespace quorvale::setup {

bool TestConnection(Err& err, const std::string& connection_string) {
  ComPtr<IDispatch> connection;
  const bool opened = detail::Connect(err, connection, connection_string);
  detail::Close(err, connection.get());
  return opened;
}

}  // namespace quorvale::setup
