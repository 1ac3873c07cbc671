// What an install left in the IIS metabase and the local groups, read back
// for the tests.
#pragma once

#include <algorithm>
#include <optional>
#include <string>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"

namespace quorvale::setup::testing {

// The key at exactly this location, as the machine holds it now.
inline std::optional<MetabaseKey> MetabaseKeyAt(const Machine& machine, const std::string& location) {
  const auto keys = Metabase(machine).Load();
  if (!keys) return std::nullopt;  // no IIS
  for (const auto& k : *keys)
    if (k.location == location) return k;
  return std::nullopt;
}

// A property's value; "<none>" where the key has no such property.
inline std::string PropertyOf(const MetabaseKey& key, const char* name) {
  const std::string* v = key.Find(name);
  return v ? *v : "<none>";
}

// The account is a member of the group, once.
inline bool InGroup(const Machine& machine, const std::string& group, const std::string& account) {
  const auto found = LocalAccounts(machine).FindGroup(group);
  return found && std::count(found->members.begin(), found->members.end(), account) == 1;
}

}  // namespace quorvale::setup::testing
