// The SQL Server stand-in's lexer: any batch text. A string left open
// raises SqlError; every token it gives is text of the batch.
#include "fuzz_support.h"
#include "quorvale/sqlserver/sql_error.h"
#include "quorvale/sqlserver/sql_lexer.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string batch = fuzz::Text(data, size);
  try {
    const auto tokens = sqlserver::Tokenize(batch);
    if (tokens.size() > batch.size() + 1) fuzz::Broken("a batch has no more tokens than characters");
  } catch (const sqlserver::SqlError&) {
  }
  return 0;
}
