#include "quorvale/component/library.h"

#include "quorvale/com/class_registration.h"
#include "quorvale/component/classes.h"

namespace quorvale::component {

namespace {

TypeLib BuildTypeLib() {
  TypeLib lib;
  lib.name = "Quorvale";
  lib.libid = *Guid::Parse(kLibid);
  lib.major = 98;
  lib.minor = 0;
  lib.lcid = 0;
  lib.imports.push_back({"stdole2.tlb", *Guid::Parse("{00020430-0000-0000-C000-000000000046}"), 2, 0});
  for (const ComponentClass& c : ComponentClasses()) {
    const ClassTable* cls = &c.table;
    TypeDesc iface;
    iface.kind = TypeDesc::kInterface;
    iface.name = "_" + cls->name;
    iface.guid = *Guid::Parse(cls->iid);
    iface.flags = {"hidden", "dual", "nonextensible", "oleautomation"};
    iface.base = "IDispatch";
    for (std::size_t i = 0; i < cls->methods.size(); ++i)
      iface.funcs.push_back({cls->methods[i].name, kFirstDispid + static_cast<DISPID>(i),
                             DeclaredParams(*cls, cls->methods[i])});
    TypeDesc coclass;
    coclass.kind = TypeDesc::kCoClass;
    coclass.name = cls->name;
    coclass.guid = *Guid::Parse(cls->clsid);
    coclass.base = iface.name;
    lib.types.push_back(std::move(iface));
    lib.types.push_back(std::move(coclass));
  }
  return lib;
}

ClassRegistration RegistrationOf(const ClassTable& cls, const std::string& path) {
  return {"Quorvale." + cls.name, cls.clsid, path, kLibid, "1.0"};
}

}  // namespace

const TypeLib& ComponentTypeLib() {
  static const TypeLib lib = BuildTypeLib();
  return lib;
}

void RegisterComponent(RegistryStore& registry, const std::string& windows_path) {
  for (const ComponentClass& cls : ComponentClasses())
    RegisterInprocClass(registry, RegistrationOf(cls.table, windows_path));
  RegisterTypeLib(registry, ComponentTypeLib(), windows_path);
}

void UnregisterComponent(RegistryStore& registry) {
  for (const ComponentClass& cls : ComponentClasses())
    UnregisterInprocClass(registry, RegistrationOf(cls.table, ""));
  UnRegisterTypeLib(registry, ComponentTypeLib());
}

}  // namespace quorvale::component
