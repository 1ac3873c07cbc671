// The SQL Server stand-in's reader of ODBC connection strings: any text. A
// key it reads is upper case, without blanks at its ends, and one attribute
// (no ";" in it); the pairs written again as the setup programs write them
// read the same. And the connection strings the programs build, of any
// server, login, password and database (the input cut at NUL bytes), read
// back into exactly those pairs.
#include <stdexcept>

#include "fuzz_support.h"
#include "quorvale/core/text.h"
#include "quorvale/setup/odbc_connection.h"
#include "quorvale/sqlserver/connection_string.h"

using namespace quorvale;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::optional<Pairs> Read(const std::string& text) {
  try {
    return sqlserver::ParseConnectionString(text);
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
}

std::string Written(const Pairs& pairs) {
  std::string text;
  for (const auto& [key, value] : pairs) text += key + "=" + setup::OdbcValue(value) + ";";
  return text;
}

void ReadsBack(const std::string& made, const Pairs& expected) {
  if (Read(made) != expected)
    fuzz::Broken("a connection string the programs build reads back as built", made);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  if (const auto pairs = Read(text)) {
    for (const auto& [key, value] : *pairs)
      if (key != UpperCase(Trim(key)) || key.find(';') != std::string::npos)
        fuzz::Broken("a key is one attribute, upper case, without blanks at its ends", key);
    if (Read(Written(*pairs)) != pairs) fuzz::Broken("pairs written again read the same", Written(*pairs));
  }

  // The first four fields of the bytes cut at NUL bytes; "" for those missing.
  auto f = fuzz::Pieces(text, std::string(1, '\0'));
  f.resize(4);
  ReadsBack(setup::SqlServerConnection(f[0], f[1], f[2], f[3]),
            {{"DRIVER", "SQL server"}, {"SERVER", f[0]}, {"UID", f[1]}, {"PWD", f[2]}, {"DATABASE", f[3]}});
  ReadsBack(setup::MySqlConnection(f[0], f[1], f[2]), {{"DRIVER", "MySQL ODBC 3.51 Driver"},
                                                       {"SERVER", f[0]},
                                                       {"UID", f[1]},
                                                       {"PWD", f[2]},
                                                       {"DATABASE", "mysql"}});
  return 0;
}
