// The registry file reader: any bytes as registry.reg. A file it refuses
// raises MachineStateError; a file it reads keeps every key and value
// through a write and a fresh read.
#include <map>

#include "fuzz_support.h"
#include "quorvale/machine/registry_store.h"
#include "quorvale/machine/state_file.h"

using namespace quorvale;

namespace {

using Values = std::map<std::string, RegValue>;  // "key path|value name" -> value

void Walk(const RegistryStore& store, const std::string& key, Values& out, int depth) {
  if (depth > 64 || out.size() > 4096) return;
  for (const auto& name : store.ValueNames(key)) out[key + "|" + name] = *store.GetValue(key, name);
  for (const auto& sub : store.SubKeys(key)) Walk(store, key + "\\" + sub, out, depth + 1);
  out[key + "|"].type = 0;  // the key itself
}

Values All(const RegistryStore& store) {
  Values all;
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"})
    Walk(store, root, all, 0);
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = fuzz::FuzzMachine().Folder() / "fuzz-registry.reg";
  fuzz::WriteFile(file, fuzz::Text(data, size));
  try {
    RegistryStore store(file);
    const Values before = All(store);
    if (!store.CreateKey("HKEY_USERS\\Fuzz") || !store.SetValue("HKEY_USERS\\Fuzz", "v", RegValue::Text("1")))
      fuzz::Broken("a key can be added to a registry that was read");
    Values after = All(RegistryStore(file));
    after.erase("HKEY_USERS\\Fuzz|v");
    if (!before.count("HKEY_USERS\\Fuzz|")) after.erase("HKEY_USERS\\Fuzz|");
    if (after != before) fuzz::Broken("a registry written and read again holds what it held");
  } catch (const MachineStateError&) {
  }
  return 0;
}
