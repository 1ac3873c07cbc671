#include "quorvale/providers/registration.h"

#include "quorvale/com/class_registration.h"

namespace quorvale {

void RegisterProviders(RegistryStore& registry, const std::string& library) {
  RegisterInprocClass(registry, {"MSXML2.XMLHTTP", kXmlHttpClsid, library, "", ""});
  RegisterInprocClass(registry, {"ADODB.Stream", kStreamClsid, library, "", ""});
}

}  // namespace quorvale
