// What a whole run left on the machine, read back as a person would look at
// it: the files under a folder, a text file in code page 936, the web sites
// and accounts.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "metabase_reads.h"
#include "quorvale/core/codepage.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale::server::testing {

// The files and folders (with a trailing "\") under a folder, relative,
// sorted.
inline std::vector<std::string> FilesUnder(const quorvale::testing::TempMachine& temp,
                                           const std::string& folder) {
  namespace fs = std::filesystem;
  const fs::path root = temp.Host(folder);
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = fs::relative(it->path(), root).string();
    std::replace(name.begin(), name.end(), '/', '\\');
    if (it->is_directory()) name += "\\";
    out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A file's text, from code page 936.
inline std::string TextOf(const quorvale::testing::TempMachine& temp, const std::string& file) {
  return Cp936ToUtf8(temp.Read(file));
}

using setup::testing::InGroup;
using setup::testing::MetabaseKeyAt;
using setup::testing::PropertyOf;

// The web sites under /LM/W3SVC, by number.
inline std::vector<std::string> SiteNumbers(const Machine& machine) {
  std::vector<std::string> out;
  const auto keys = Metabase(machine).Load();
  if (!keys) return out;  // no IIS
  for (const auto& k : *keys)
    if (k.key_type == "IIsWebServer") out.push_back(k.location.substr(std::string("/LM/W3SVC/").size()));
  return out;
}

// The local accounts whose names begin with IUSR_.
inline std::vector<std::string> SiteAccounts(const Machine& machine) {
  std::vector<std::string> out;
  for (const auto& u : LocalAccounts(machine).Users())
    if (u.name.rfind("IUSR_", 0) == 0) out.push_back(u.name);
  return out;
}

}  // namespace quorvale::server::testing
