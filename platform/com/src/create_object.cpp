#include "quorvale/com/create_object.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "quorvale/core/err.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale {

namespace {

std::mutex host_mutex;
ComHost& DefaultHostSlot() {
  static ComHost host;
  return host;
}

// Without a host set at start-up, objects come from the process's machine;
// it follows QUORVALE_MACHINE when a test points it at another folder.
const ComHost& MachineHost() {
  static std::filesystem::path folder;
  static std::unique_ptr<RegistryStore> registry;
  static ComHost host;
  auto current = MachineFolder();
  if (!registry || current != folder) {
    folder = current;
    registry = std::make_unique<RegistryStore>(RegistryFileOf(folder));
    host = {registry.get(), [f = folder](const std::string& path) { return HostPathOf(f, path); }};
  }
  return host;
}

[[noreturn]] void CannotCreate(const std::string& why) {
  throw RaisedError(kErrCannotCreateObject, "ActiveX component can't create object: " + why);
}

// Libraries stay loaded for the life of the process, one handle per file.
DllGetClassObjectFn LoadServer(const std::filesystem::path& library) {
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  std::lock_guard lock(mutex);
  void*& handle = loaded[library.string()];
  if (!handle) handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
}

}  // namespace

void SetDefaultComHost(ComHost host) {
  std::lock_guard lock(host_mutex);
  DefaultHostSlot() = std::move(host);
}
const ComHost& DefaultComHost() {
  std::lock_guard lock(host_mutex);
  return DefaultHostSlot().registry ? DefaultHostSlot() : MachineHost();
}

ComPtr<IDispatch> CreateObject(const std::string& prog_id, const ComHost& host) {
  if (!host.registry) CannotCreate("no registry");
  auto clsid_value = host.registry->GetValue("HKEY_CLASSES_ROOT\\" + prog_id + "\\CLSID", "");
  if (prog_id.empty() || !clsid_value) CannotCreate(prog_id + " is not registered");
  auto clsid = Guid::Parse(clsid_value->AsText());
  if (!clsid) CannotCreate(prog_id + " has a malformed CLSID");
  auto library =
      host.registry->GetValue("HKEY_CLASSES_ROOT\\CLSID\\" + clsid->ToString() + "\\InprocServer32", "");
  if (!library) CannotCreate(clsid->ToString() + " has no InprocServer32");
  std::filesystem::path file =
      host.resolve_path ? host.resolve_path(library->AsText()) : std::filesystem::path(library->AsText());
  DllGetClassObjectFn get_class = LoadServer(file);
  if (!get_class) CannotCreate("cannot load " + library->AsText());
  ComPtr<IClassFactory> factory;
  if (get_class(*clsid, IID_IClassFactory, factory.out()) != S_OK || !factory)
    CannotCreate("no class factory for " + clsid->ToString());
  ComPtr<IDispatch> object;
  if (factory->CreateInstance(nullptr, IID_IDispatch, object.out()) != S_OK || !object)
    CannotCreate("the factory of " + prog_id + " failed");
  return object;
}

std::optional<Variant> DispatchObject::DefaultValue() const {
  Variant result;
  ExcepInfo excep;
  if (!dispatch_ || dispatch_->Invoke(0, DISPATCH_PROPERTYGET, {}, &result, &excep) != S_OK)
    return std::nullopt;
  return result;
}

Variant ToVariant(ComPtr<IDispatch> d) { return Variant(std::make_shared<DispatchObject>(std::move(d))); }

Variant Call(IDispatch* target, const std::string& member, std::uint16_t flags,
             const std::vector<Variant*>& args) {
  if (!target) throw RaisedError(kErrObjectRequired, "Object required");
  std::vector<DISPID> ids;
  if (target->GetIDsOfNames({member}, &ids) != S_OK || ids.empty())
    throw RaisedError(kErrNoSuchMember, "Object doesn't support this property or method: " + member);
  Variant result;
  ExcepInfo excep;
  HRESULT hr = target->Invoke(ids[0], flags, args, &result, &excep);
  if (hr == DISP_E_EXCEPTION) throw RaisedError(excep.code ? excep.code : kErrUnexpected, excep.description);
  if (hr != S_OK)
    throw RaisedError(kErrNoSuchMember, "Object doesn't support this property or method: " + member);
  return result;
}

}  // namespace quorvale
