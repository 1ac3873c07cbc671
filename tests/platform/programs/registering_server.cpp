// A server library whose registration entry points write and remove the
// keys of one class, under the Windows path the library lies at.
#include <dlfcn.h>

#include <cstdint>

#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/registry_store.h"

using namespace quorvale;

namespace {

constexpr const char* kProgIdKey = "HKEY_CLASSES_ROOT\\Test.Registered";
constexpr const char* kClsid = "{0A0B0C0D-1111-2222-3333-444455556666}";
const std::string kClassKey = std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kClsid;

RegistryStore Registry() { return RegistryStore(RegistryFileOf(MachineFolder())); }

}  // namespace

extern "C" std::int32_t DllRegisterServer() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) || !info.dli_fname) return 1;
  auto path = WindowsPathOf(MachineFolder(), info.dli_fname);
  if (!path) return static_cast<std::int32_t>(0x80004005);
  auto registry = Registry();
  registry.CreateKey(std::string(kProgIdKey) + "\\CLSID");
  registry.SetValue(std::string(kProgIdKey) + "\\CLSID", "", RegValue::Text(kClsid));
  registry.CreateKey(kClassKey + "\\InprocServer32");
  registry.SetValue(kClassKey + "\\InprocServer32", "", RegValue::Text(*path));
  return 0;
}

extern "C" std::int32_t DllUnregisterServer() {
  auto registry = Registry();
  registry.DeleteTree(kProgIdKey);
  registry.DeleteTree(kClassKey);
  return 0;
}
