// Quorvale.dll: the in-process server of the six management classes.
#include <dlfcn.h>

#include "quorvale/com/create_object.h"
#include "quorvale/component/classes.h"
#include "quorvale/component/library.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale::component {

namespace {

// A management object of one class; the factory makes one per call.
template <const ClassTable& (*Table)()>
class Instance final : public ClassObject {
 public:
  Instance() : ClassObject(Table()) {}
};

template <const ClassTable& (*Table)()>
HRESULT FactoryOf(const Guid& clsid, const Guid& iid, void** out) {
  static Factory<Instance<Table>> factory;
  if (!(clsid == *Guid::Parse(Table().clsid))) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

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
  for (auto get : {FactoryOf<HostTable>, FactoryOf<FtpTable>, FactoryOf<SystemTable>, FactoryOf<MailTable>,
                   FactoryOf<DnsTable>, FactoryOf<SQLTable>}) {
    HRESULT hr = get(clsid, iid, out);
    if (hr != CLASS_E_CLASSNOTAVAILABLE) return hr;
  }
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
