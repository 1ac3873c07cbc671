#include "quorvale/providers/registration.h"

#include "quorvale/com/class_registration.h"

namespace quorvale {

void RegisterProviders(RegistryStore& registry, const std::string& library) {
  RegisterInprocClass(registry, {"MSXML2.XMLHTTP", kXmlHttpClsid, library, "", ""});
  RegisterInprocClass(registry, {"ADODB.Stream", kStreamClsid, library, "", ""});
  RegisterInprocClass(registry, {"IIS", kIisNamespaceClsid, library, "", ""});
  RegisterInprocClass(registry, {"WinNT", kWinNtNamespaceClsid, library, "", ""});
  RegisterInprocClass(registry, {"winmgmts", kWmiMonikerClsid, library, "", ""});
  RegisterInprocClass(registry, {"WScript.Shell", kShellClsid, library, "", ""});
}

}  // namespace quorvale
