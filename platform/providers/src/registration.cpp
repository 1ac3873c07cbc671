#include "quorvale/providers/registration.h"

namespace quorvale {

void RegisterClass(RegistryStore& registry, const std::string& prog_id, const std::string& clsid,
                   const std::string& library) {
  const std::string prog = "HKEY_CLASSES_ROOT\\" + prog_id;
  registry.CreateKey(prog + "\\CLSID");
  registry.SetValue(prog + "\\CLSID", "", RegValue::Text(clsid));
  const std::string server = "HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\InprocServer32";
  registry.CreateKey(server);
  registry.SetValue(server, "", RegValue::Text(library));
  registry.SetValue(server, "ThreadingModel", RegValue::Text("Apartment"));
  registry.CreateKey("HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\ProgID");
  registry.SetValue("HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\ProgID", "", RegValue::Text(prog_id));
}

void RegisterProviders(RegistryStore& registry, const std::string& library) {
  RegisterClass(registry, "MSXML2.XMLHTTP", kXmlHttpClsid, library);
  RegisterClass(registry, "ADODB.Stream", kStreamClsid, library);
}

}  // namespace quorvale
