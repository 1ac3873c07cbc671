// The server keeps its databases' files open, so Windows refuses to delete
// or move them while it runs.
#include <map>
#include <mutex>

#include "quorvale/machine/machine.h"
#include "quorvale/sqlserver/session.h"

namespace quorvale::sqlserver {

namespace {

struct Keeper {
  std::mutex mutex;
  std::filesystem::path folder;
  std::unique_ptr<Machine> machine;  // outlives the holds below
  std::map<std::string, FileHold> holds;
  int sessions = 0;

  ~Keeper() { holds.clear(); }
};

Keeper& TheKeeper() {
  static Keeper keeper;
  return keeper;
}

}  // namespace

void HoldDatabaseFiles(const Machine& machine, const Catalogue& catalogue) {
  Keeper& k = TheKeeper();
  std::lock_guard lock(k.mutex);
  if (!k.machine || k.folder != machine.Folder()) {
    k.holds.clear();
    k.machine.reset();
    k.folder = machine.Folder();
    k.machine = std::make_unique<Machine>(k.folder);
  }
  std::map<std::string, FileHold> kept;
  for (const auto& d : catalogue.databases) {
    if (d.dbid <= 4) continue;  // the system databases' files are not on the drives
    for (const auto& path : {d.mdf, d.ldf}) {
      if (kept.count(path)) continue;
      auto it = k.holds.find(path);
      if (it != k.holds.end()) {
        kept.emplace(path, std::move(it->second));
        k.holds.erase(it);
      } else {
        kept.emplace(path, k.machine->Hold(path, "sqlservr.exe"));
      }
    }
  }
  k.holds = std::move(kept);  // the rest are let go
}

void CountSession(bool opened) {
  Keeper& k = TheKeeper();
  std::lock_guard lock(k.mutex);
  k.sessions += opened ? 1 : -1;
  if (k.sessions > 0) return;
  k.sessions = 0;
  k.holds.clear();
  k.machine.reset();
}

}  // namespace quorvale::sqlserver
