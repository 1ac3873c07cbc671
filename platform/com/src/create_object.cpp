#include "quorvale/com/create_object.h"

#include <dlfcn.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

std::mutex host_mutex;
ComHost& DefaultHostSlot() {
  static ComHost host;
  return host;
}

// Without a host set at start-up, objects come from the process's machine;
// it follows QUORVALE_MACHINE when a test points it at another folder. While
// that variable names the folder the host was made for, nothing is worked
// out again.
const ComHost& MachineHost() {
  static std::filesystem::path folder;
  static std::string named;  // QUORVALE_MACHINE when the host was made
  static std::unique_ptr<RegistryStore> registry;
  static ComHost host;
  const char* variable = std::getenv("QUORVALE_MACHINE");
  if (registry && variable && *variable && named == variable) return host;
  named = variable ? variable : "";
  auto current = MachineFolder();
  if (!registry || current != folder) {
    folder = current;
    registry = std::make_unique<RegistryStore>(RegistryFileOf(folder));
    host = {registry.get(), [f = folder](const std::string& path) { return HostPathOf(f, path); }};
  }
  return host;
}

[[noreturn]] void CannotCreate(const std::string& why) { Raise(Error::kCannotCreateObject, why); }

// Libraries stay loaded for the life of the process, one handle per file.
// why, when given, says why a library gives no entry point.
DllGetClassObjectFn LoadServer(const std::filesystem::path& library, std::string* why = nullptr) {
  static std::mutex mutex;
  static std::map<std::string, DllGetClassObjectFn> loaded;
  std::lock_guard lock(mutex);
  DllGetClassObjectFn& entry = loaded[library.string()];
  if (!entry) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) entry = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    if (!entry && why) {
      const char* error = ::dlerror();
      *why = error ? error : "it has no DllGetClassObject";
    }
  }
  return entry;
}

std::mutex platform_mutex;
// Upper-cased Windows path -> this build's library.
std::map<std::string, std::filesystem::path>& PlatformLibraries() {
  static std::map<std::string, std::filesystem::path> libraries;
  return libraries;
}

std::optional<std::filesystem::path> PlatformLibrary(const std::string& windows_path) {
  std::lock_guard lock(platform_mutex);
  auto it = PlatformLibraries().find(UpperCase(windows_path));
  if (it == PlatformLibraries().end()) return std::nullopt;
  return it->second;
}

struct Resolved {
  Guid clsid;
  DllGetClassObjectFn get_class = nullptr;
};

Resolved Resolve(const std::string& prog_id, const ComHost& host, const RegistryStore::Snapshot& registry) {
  auto clsid_value = registry.GetValue("HKEY_CLASSES_ROOT\\" + prog_id + "\\CLSID", "");
  if (prog_id.empty() || !clsid_value) CannotCreate(prog_id + " is not registered");
  auto clsid = Guid::Parse(clsid_value->AsText());
  if (!clsid) CannotCreate(prog_id + " has a malformed CLSID");
  auto library = registry.GetValue("HKEY_CLASSES_ROOT\\CLSID\\" + clsid->ToString() + "\\InprocServer32", "");
  if (!library) CannotCreate(clsid->ToString() + " has no InprocServer32");
  std::filesystem::path file =
      host.resolve_path ? host.resolve_path(library->AsText()) : std::filesystem::path(library->AsText());
  if (auto platform = PlatformLibrary(library->AsText())) file = *platform;
  DllGetClassObjectFn get_class = LoadServer(file);
  if (!get_class) CannotCreate("cannot load " + library->AsText());
  return {*clsid, get_class};
}

// The last resolution of each ProgID, good while nothing was written to the
// registry it was read from: a call then costs no lookup and no system call.
// A process creates a few dozen ProgIDs at most, each mostly spelt one way:
// a short list, compared by length first, then as written, then without case.
Resolved ResolveCached(const std::string& prog_id, const ComHost& host) {
  struct Entry {
    const RegistryStore* registry;
    std::string prog_id;
    RegistryStore::Stand stand;
    Resolved resolved;
  };
  static std::mutex mutex;
  static std::vector<Entry> cache;
  const auto find = [&]() -> Entry* {
    for (Entry& e : cache)
      if (e.registry == host.registry && e.prog_id.size() == prog_id.size() &&
          (e.prog_id == prog_id || SameText(e.prog_id, prog_id)))
        return &e;
    return nullptr;
  };
  const auto stand = host.registry->CurrentStand();
  {
    std::lock_guard lock(mutex);
    if (const Entry* e = find(); e && e->stand == stand) return e->resolved;
  }
  Resolved resolved = Resolve(prog_id, host, host.registry->Take());
  std::lock_guard lock(mutex);
  if (Entry* e = find()) {
    e->stand = stand;
    e->resolved = resolved;
  } else {
    cache.push_back({host.registry, prog_id, stand, resolved});
  }
  return resolved;
}

}  // namespace

void MapPlatformLibrary(const std::string& windows_path, const std::filesystem::path& library) {
  std::string why;
  if (!LoadServer(library, &why))
    throw std::runtime_error("the platform library " + library.string() + " cannot be loaded: " + why);
  std::lock_guard lock(platform_mutex);
  PlatformLibraries()[UpperCase(windows_path)] = library;
}

void SetDefaultComHost(ComHost host) {
  std::lock_guard lock(host_mutex);
  DefaultHostSlot() = std::move(host);
}
const ComHost& DefaultComHost() {
  std::lock_guard lock(host_mutex);
  return DefaultHostSlot().registry ? DefaultHostSlot() : MachineHost();
}

ComPtr<IClassFactory> FactoryOf(const std::string& prog_id, const ComHost& host) {
  if (!host.registry) CannotCreate("no registry");
  Resolved r;
  try {
    r = ResolveCached(prog_id, host);
  } catch (const MachineStateError& e) {
    throw RaisedError(ErrorNumber(Error::kSystemFileCorrupt), e.what());
  }
  ComPtr<IClassFactory> factory;
  if (r.get_class(r.clsid, IID_IClassFactory, factory.out()) != S_OK || !factory)
    CannotCreate("no class factory for " + r.clsid.ToString());
  return factory;
}

ComPtr<IDispatch> CreateObject(const std::string& prog_id, const ComHost& host) {
  auto factory = FactoryOf(prog_id, host);
  ComPtr<IDispatch> object;
  if (factory->CreateInstance(nullptr, IID_IDispatch, object.out()) != S_OK || !object)
    CannotCreate("the factory of " + prog_id + " failed");
  return object;
}

ComPtr<IDispatch> GetObject(const std::string& display_name, const ComHost& host) {
  const auto colon = display_name.find(':');
  if (colon == std::string::npos || colon == 0) Raise(Error::kInvalidSyntax, display_name);
  const std::string prog_id = display_name.substr(0, colon);
  auto factory = FactoryOf(prog_id, host);
  ComPtr<IParseDisplayName> parser;
  if (factory->CreateInstance(nullptr, IID_IParseDisplayName, parser.out()) != S_OK || !parser)
    CannotCreate(prog_id + " does not bind names");
  ComPtr<IDispatch> object;
  ExcepInfo excep;
  HRESULT hr = parser->ParseDisplayName(display_name, reinterpret_cast<IDispatch**>(object.out()), &excep);
  if (hr != S_OK || !object) {
    if (hr == S_OK) hr = E_FAIL;
    throw RaisedError(hr, excep.description.empty() ? "Automation error" : excep.description);
  }
  return object;
}

IDispatch* DispatchOf(const Variant& v) {
  auto d = std::dynamic_pointer_cast<DispatchObject>(v.AsObject());
  if (!d || !d->get()) Raise(Error::kObjectRequired);
  return d->get();
}

std::vector<Variant> ForEachItem(IDispatch* collection) {
  if (!collection) Raise(Error::kObjectRequired);
  Variant items;
  ExcepInfo excep;
  HRESULT hr = collection->Invoke(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &items, &excep);
  if (hr == DISP_E_EXCEPTION)
    throw RaisedError(excep.code ? excep.code : ErrorNumber(Error::kInternal), excep.description);
  const Variant::Array* array = items.AsArray();
  if (hr != S_OK || !array) Raise(Error::kNoSuchMember);
  return *array;
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
  if (!target) Raise(Error::kObjectRequired);
  // One name list per thread, kept between calls, so that looking a member
  // up allocates nothing; the lists are done with before Invoke runs.
  thread_local struct {
    std::vector<std::string> names = std::vector<std::string>(1);
    std::vector<DISPID> ids;
  } lookup;
  lookup.names[0] = member;
  if (target->GetIDsOfNames(lookup.names, &lookup.ids) != S_OK || lookup.ids.empty())
    Raise(Error::kNoSuchMember, member);
  Variant result;
  ExcepInfo excep;
  HRESULT hr = target->Invoke(lookup.ids[0], flags, args, &result, &excep);
  if (hr == DISP_E_EXCEPTION)
    throw RaisedError(excep.code ? excep.code : ErrorNumber(Error::kInternal), excep.description);
  if (hr != S_OK) Raise(Error::kNoSuchMember, member);
  return result;
}

}  // namespace quorvale
