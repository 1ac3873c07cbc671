#include "quorvale/com/class_registration.h"

namespace quorvale {

namespace {

void SetDefault(RegistryEdit& registry, const std::string& key, const std::string& text) {
  registry.CreateKey(key);
  registry.SetValue(key, "", RegValue::Text(text));
}

}  // namespace

void RegisterInprocClass(RegistryEdit& registry, const ClassRegistration& c) {
  const std::string prog = "HKEY_CLASSES_ROOT\\" + c.prog_id;
  SetDefault(registry, prog, c.prog_id);
  SetDefault(registry, prog + "\\CLSID", c.clsid);
  const std::string cls = "HKEY_CLASSES_ROOT\\CLSID\\" + c.clsid;
  SetDefault(registry, cls, c.prog_id);
  SetDefault(registry, cls + "\\InprocServer32", c.library);
  registry.SetValue(cls + "\\InprocServer32", "ThreadingModel", RegValue::Text("Apartment"));
  SetDefault(registry, cls + "\\ProgID", c.prog_id);
  if (!c.typelib.empty()) SetDefault(registry, cls + "\\TypeLib", c.typelib);
  if (!c.version.empty()) SetDefault(registry, cls + "\\VERSION", c.version);
}

void RegisterInprocClass(RegistryStore& registry, const ClassRegistration& c) {
  registry.Edit([&](RegistryEdit& edit) { RegisterInprocClass(edit, c); });
}

void UnregisterInprocClass(RegistryStore& registry, const ClassRegistration& c) {
  registry.Edit([&](RegistryEdit& edit) {
    edit.DeleteTree("HKEY_CLASSES_ROOT\\CLSID\\" + c.clsid);
    edit.DeleteTree("HKEY_CLASSES_ROOT\\" + c.prog_id);
  });
}

}  // namespace quorvale
