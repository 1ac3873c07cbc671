// The SQL Server stand-in's parser: any batch text. What it does not
// understand raises SqlError and nothing of the batch is taken.
#include "fuzz_support.h"
#include "quorvale/sqlserver/sql_error.h"
#include "quorvale/sqlserver/sql_parser.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    sqlserver::ParseBatch(fuzz::Text(data, size));
  } catch (const sqlserver::SqlError&) {
  }
  return 0;
}
