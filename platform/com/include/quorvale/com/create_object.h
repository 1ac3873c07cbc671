// Late binding: objects created by ProgID through the machine's registry,
// and calls on them by member name.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "quorvale/com/unknown.h"
#include "quorvale/machine/registry_store.h"

namespace quorvale {

// Where objects come from: the registry that names their libraries, and how
// a library's Windows path maps onto this machine's files.
struct ComHost {
  RegistryStore* registry = nullptr;
  std::function<std::filesystem::path(const std::string& windows_path)> resolve_path;
};

// The host that CreateObject uses when none is given; set once at start-up.
// Unset, it is the registry and drives of MachineFolder().
void SetDefaultComHost(ComHost host);
const ComHost& DefaultComHost();

// A platform library of this build, named on the machine by a Windows path
// (its system folder's QuorvaleProviders.dll): a class registered under
// that path is served by the library, wherever this build keeps it, so a
// machine works with any build. Raises std::runtime_error when the library
// cannot be loaded.
void MapPlatformLibrary(const std::string& windows_path, const std::filesystem::path& library);

// ProgID -> CLSID -> InprocServer32 library -> DllGetClassObject ->
// IDispatch. Raises error 429 when any link of that chain is missing, and
// Error::kSystemFileCorrupt, described by the file's own message, when the
// registry cannot be read.
ComPtr<IDispatch> CreateObject(const std::string& prog_id, const ComHost& host = DefaultComHost());

// GetObject with a display name: the text before the first ":" is the
// ProgID of a namespace ("IIS" for "IIS://localhost/w3svc", "WinNT",
// "winmgmts"), found as CreateObject finds its class; its object
// (IParseDisplayName) binds the whole name. Raises 429 when the namespace is
// not registered or cannot parse names, 0x800401E4 (invalid syntax) for a
// name without a ProgID, and the namespace's own error when the bind fails,
// numbered by its HRESULT as Err shows it (0x80070003 is -2147024893).
ComPtr<IDispatch> GetObject(const std::string& display_name, const ComHost& host = DefaultComHost());
inline constexpr HRESULT MK_E_SYNTAX = static_cast<HRESULT>(0x800401E4);

// For Each over a collection: its _NewEnum (DISPID -4) gives the items as
// an array. Raises 438 for an object that is no collection.
std::vector<Variant> ForEachItem(IDispatch* collection);
// The IDispatch inside a Variant that holds an object; raises 424 otherwise.
IDispatch* DispatchOf(const Variant& v);

// Holds an IDispatch inside a Variant; its default value is member 0.
class DispatchObject : public Object {
 public:
  explicit DispatchObject(ComPtr<IDispatch> d) : dispatch_(std::move(d)) {}
  IDispatch* get() const { return dispatch_.get(); }
  std::optional<Variant> DefaultValue() const override;

 private:
  ComPtr<IDispatch> dispatch_;
};

Variant ToVariant(ComPtr<IDispatch> d);

// Calls a member by name; raises 438 for an unknown name and the member's
// own error when it fails. Arguments are passed by reference.
Variant Call(IDispatch* target, const std::string& member, std::uint16_t flags,
             const std::vector<Variant*>& args = {});

inline Variant CallMethod(IDispatch* target, const std::string& member, std::vector<Variant> args = {}) {
  std::vector<Variant*> refs;
  for (auto& a : args) refs.push_back(&a);
  return Call(target, member, DISPATCH_METHOD, refs);
}
inline Variant GetProperty(IDispatch* target, const std::string& member) {
  return Call(target, member, DISPATCH_PROPERTYGET);
}
inline void PutProperty(IDispatch* target, const std::string& member, Variant value) {
  Call(target, member, DISPATCH_PROPERTYPUT, {&value});
}

}  // namespace quorvale
