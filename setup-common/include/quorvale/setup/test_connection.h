// The test connection of the database pages: a new ADODB.Connection, late
// bound, opened with a connection string and closed and released again.
#pragma once

#include <string>

#include "quorvale/core/err.h"

namespace quorvale::setup {

// True when opening raised no error. Whatever failed (the create, the open,
// the close after a failed open) is recorded in err; nothing stays open.
bool TestConnection(Err& err, const std::string& connection_string);

}  // namespace quorvale::setup
