// What a machine holds, taken whole at one moment as lines a person can
// read, for comparing a machine before and after a program ran: the
// registry, the IIS metabase, the local accounts and groups, the access
// lists, the services, SQL Server's logins and databases (by name: the
// numbers differ from one server to the next), and the files below the
// folders given.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "quorvale/core/text.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/sqlserver/catalogue.h"
#include "require.h"

namespace quorvale::uninstall::testing {

using StateLines = std::set<std::string>;

struct MachineState {
  StateLines registry_keys, registry, metabase, users, groups, access, services, logins, databases;
  std::map<std::string, std::string> files;  // lower-cased Windows path -> bytes
};

// What a site account's password is shown as: it is drawn anew by a rebuild.
struct Masks {
  bool site_passwords = false;
};

inline void TakeRegistry(const RegistryStore& registry, const std::string& key, MachineState& s) {
  s.registry_keys.insert(LowerCase(key));
  for (const auto& name : registry.ValueNames(key)) {
    const auto v = quorvale::testing::Require(registry.GetValue(key, name), key + " \\ " + name);
    s.registry.insert(LowerCase(key) + " \\ " + name + " = " + std::to_string(v.type) + ":" + v.data);
  }
  for (const auto& sub : registry.SubKeys(key)) TakeRegistry(registry, key + "\\" + sub, s);
}

inline void TakeCatalogue(sqlserver::Catalogue c, MachineState& s) {
  for (const auto& l : c.logins)
    s.logins.insert(l.name + " pw=" + l.password + " db=" + l.default_database +
                    (l.sysadmin ? " sysadmin" : ""));
  for (const auto& d : c.databases) {
    std::string line = d.name + " " + d.mdf + " " + d.ldf;
    for (const auto& u : d.users) {
      const auto* login = c.FindLoginBySid(u.login_sid);
      line += " | " + u.name + " of " + (login ? login->name : "no login");
      for (const auto& r : u.roles) line += " " + r;
    }
    s.databases.insert(line);
  }
}

// The machine as it is, with the files below the folders (Windows paths).
inline MachineState TakeState(quorvale::testing::TempMachine& temp, const std::vector<std::string>& folders,
                              Masks masks = {}) {
  MachineState s;
  Machine& m = temp.machine();
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"})
    TakeRegistry(m.Registry(), root, s);
  const auto keys = Metabase(m).Load();
  for (const auto& k : keys.value_or(std::vector<MetabaseKey>{})) {  // none without IIS
    std::string line = k.location + " " + k.key_type;
    for (const auto& [name, value] : k.properties)
      line += " " + name + "=" + (masks.site_passwords && name == "AnonymousUserPass" ? "*" : value);
    s.metabase.insert(line);
  }
  for (const auto& u : LocalAccounts(m).Users()) {
    const bool site = u.name.rfind("IUSR_", 0) == 0;
    s.users.insert(u.name + " " + u.full_name + " " + u.description + " " + std::to_string(u.flags) + " " +
                   (masks.site_passwords && site ? "*" : u.password));
  }
  for (const auto& g : LocalAccounts(m).Groups()) {
    std::string line = g.name + ":";
    for (const auto& member : g.members) line += " " + member;
    s.groups.insert(line);
  }
  for (const auto& a : m.AccessList()) s.access.insert(a.path + " " + a.principal + ":" + a.right);
  for (const auto& v : m.Services()) s.services.insert(v.name + " " + v.state + " " + v.start_type);
  if (auto c = sqlserver::LoadCatalogue(m)) TakeCatalogue(*c, s);
  for (const auto& folder : folders) {
    const auto host = temp.Host(folder);
    if (!std::filesystem::exists(host)) continue;
    for (const auto& e : std::filesystem::recursive_directory_iterator(host)) {
      if (!e.is_regular_file()) continue;
      const auto path = quorvale::testing::Require(WindowsPathOf(temp.Folder(), e.path()), e.path().string());
      s.files[LowerCase(path)] = temp.Read(path);
    }
  }
  return s;
}

// The two states hold the same in the registry, the metabase, the accounts
// and groups, the services and SQL Server (not compared: access lists and
// files).
inline void ExpectSameSystem(const MachineState& a, const MachineState& b) {
  EXPECT_EQ(a.registry, b.registry);
  EXPECT_EQ(a.metabase, b.metabase);
  EXPECT_EQ(a.users, b.users);
  EXPECT_EQ(a.groups, b.groups);
  EXPECT_EQ(a.services, b.services);
  EXPECT_EQ(a.logins, b.logins);
  EXPECT_EQ(a.databases, b.databases);
}

// The lines without those that match.
inline StateLines Without(const StateLines& lines, const std::function<bool(const std::string&)>& match) {
  StateLines out;
  for (const auto& l : lines)
    if (!match(l)) out.insert(l);
  return out;
}

// The keys that b has and a has not, the topmost of each new branch only.
inline std::vector<std::string> NewKeys(const MachineState& a, const MachineState& b) {
  std::vector<std::string> out;
  for (const auto& k : b.registry_keys) {
    if (a.registry_keys.count(k)) continue;
    if (!out.empty() && k.rfind(out.back() + "\\", 0) == 0) continue;
    out.push_back(k);
  }
  return out;
}

}  // namespace quorvale::uninstall::testing
