#include "quorvale/com/class_registration.h"
#include "quorvale/providers/ado_connection.h"

namespace quorvale {

void RegisterDatabaseProviders(RegistryStore& registry, const std::string& library) {
  RegisterInprocClass(registry, {"ADODB.Connection", kAdoConnectionClsid, library, "", ""});
}

}  // namespace quorvale
