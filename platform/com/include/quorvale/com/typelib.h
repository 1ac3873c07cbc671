// Type libraries: the description of a server's interfaces and classes,
// carried inside the server library as resource TYPELIB 1 and read back by
// callers that want DISPIDs and parameter names without an object.
//
// The resource is a text, one item per line, so a person can read it too:
//   library Quorvale {LIBID} 98.0 lcid 0 win32
//   importlib stdole2.tlb {GUID} 2.0
//   interface _Host {IID} 1.0 hidden dual nonextensible oleautomation : IDispatch
//     method 0x60030000 CreateHost ServerIP ServerPort ...
//   coclass Host {CLSID} 1.0 default _Host
// Every method parameter is a VARIANT* [in, out]; its result a VARIANT*
// [out, retval]; every method returns an HRESULT.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/com/create_object.h"
#include "quorvale/com/unknown.h"
#include "quorvale/machine/registry_store.h"

namespace quorvale {

struct FuncDesc {
  std::string name;
  DISPID id = 0;
  std::vector<std::string> params;
  bool operator==(const FuncDesc&) const = default;
};

struct TypeDesc {
  enum Kind { kInterface, kCoClass } kind = kInterface;
  std::string name;
  Guid guid;
  int major = 1, minor = 0;
  std::vector<std::string> flags;  // interface: hidden dual ...; coclass: none
  std::string base;                // interface: "IDispatch"; coclass: its default interface
  std::vector<FuncDesc> funcs;
  bool operator==(const TypeDesc&) const = default;
};

struct ImportedLib {
  std::string file;
  Guid libid;
  int major = 0, minor = 0;
  bool operator==(const ImportedLib&) const = default;
};

struct TypeLib {
  std::string name;
  Guid libid;
  int major = 0, minor = 0;
  std::uint32_t lcid = 0;
  std::string syskind = "win32";
  std::vector<ImportedLib> imports;
  std::vector<TypeDesc> types;
  bool operator==(const TypeLib&) const = default;

  const TypeDesc* Find(const std::string& name) const;
};

std::string WriteTypeLib(const TypeLib& lib);
// Nothing for a text that is no type library.
std::optional<TypeLib> ParseTypeLib(const std::string& text);

// Reads resource TYPELIB 1 of a library file.
std::optional<TypeLib> LoadTypeLib(const std::filesystem::path& library);
// Finds a registered type library by LIBID and version through the registry.
std::optional<TypeLib> LoadRegTypeLib(const Guid& libid, int major, int minor,
                                      const ComHost& host = DefaultComHost());

// Writes TypeLib\{LIBID}\<version> and Interface\{IID} for each interface,
// served by the automation marshaller; the inverse removes exactly that.
void RegisterTypeLib(RegistryStore& registry, const TypeLib& lib, const std::string& windows_path);
void UnRegisterTypeLib(RegistryStore& registry, const TypeLib& lib);

}  // namespace quorvale
