// Quorvale.dll: the in-process server of the six management classes.
#include <dlfcn.h>

#include "quorvale/com/create_object.h"
#include "quorvale/component/classes.h"
#include "quorvale/component/library.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale::component {

namespace {

// The full path of this library, as Windows names it when the file lies
// on the machine's drives.
std::string LibraryPath() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<void*>(&LibraryPath), &info) || !info.dli_fname) return {};
  auto file = std::filesystem::weakly_canonical(std::filesystem::absolute(info.dli_fname));
  return WindowsPathOf(MachineFolder(), file).value_or(file.string());
}

}  // namespace

}  // namespace quorvale::component

using namespace quorvale;
using namespace quorvale::component;

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ComponentClass& cls : ComponentClasses())
    if (cls.clsid == clsid) return cls.Factory().QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT DllCanUnloadNow() { return DispatchBase::CanUnloadNow(); }

extern "C" HRESULT DllRegisterServer() try {
  const std::string path = LibraryPath();
  RegistryStore* registry = DefaultComHost().registry;
  if (path.empty() || !registry) return E_FAIL;
  RegisterComponent(*registry, path);
  return S_OK;
} catch (const std::exception&) {
  return E_FAIL;
}

extern "C" HRESULT DllUnregisterServer() try {
  RegistryStore* registry = DefaultComHost().registry;
  if (!registry) return E_FAIL;
  UnregisterComponent(*registry);
  return S_OK;
} catch (const std::exception&) {
  return E_FAIL;
}
