// The SQL Server stand-in's catalogue.txt as text: logins, databases with
// their users, processes and counters. What it reads is read the same once
// written again.
#include "fuzz_support.h"
#include "quorvale/sqlserver/catalogue.h"

using namespace quorvale;
using namespace quorvale::sqlserver;

namespace {

bool Same(const Catalogue& a, const Catalogue& b) {
  if (a.next_spid != b.next_spid || a.next_dbid != b.next_dbid || a.next_sid != b.next_sid ||
      a.logins.size() != b.logins.size() || a.databases.size() != b.databases.size() ||
      a.processes.size() != b.processes.size())
    return false;
  for (std::size_t i = 0; i < a.logins.size(); ++i) {
    const Login &x = a.logins[i], &y = b.logins[i];
    if (x.name != y.name || x.password != y.password || x.default_database != y.default_database ||
        x.sid != y.sid || x.sysadmin != y.sysadmin)
      return false;
  }
  for (std::size_t i = 0; i < a.databases.size(); ++i) {
    const Database &x = a.databases[i], &y = b.databases[i];
    if (x.dbid != y.dbid || x.name != y.name || x.mdf != y.mdf || x.ldf != y.ldf || x.users != y.users)
      return false;
  }
  for (std::size_t i = 0; i < a.processes.size(); ++i) {
    const Process &x = a.processes[i], &y = b.processes[i];
    if (x.spid != y.spid || x.host_pid != y.host_pid || x.dbid != y.dbid || x.login != y.login) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/sqlserver/catalogue.txt";
  fuzz::RoundTrip(
      fuzz::Text(data, size), file, [](const std::string& text) { return ParseCatalogue(text, file); },
      FormatCatalogue, Same, "a catalogue written again reads the same");
  return 0;
}
