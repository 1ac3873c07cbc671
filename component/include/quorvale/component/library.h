// The component library as a whole: its type library, and what registering
// it writes into the registry.
#pragma once

#include <string>
#include <vector>

#include "quorvale/com/typelib.h"
#include "quorvale/component/classes.h"

namespace quorvale::component {

inline constexpr const char* kLibid = "{BC34AEFD-0C8D-478D-83D6-44936BC9D116}";

// _Host, Host, _Ftp, Ftp, ... built from the method tables.
const TypeLib& ComponentTypeLib();

// For each class: CLSID with the library as in-process server, ProgID
// Quorvale.<class>; then the type library and the six interfaces.
void RegisterComponent(RegistryStore& registry, const std::string& windows_path);
void UnregisterComponent(RegistryStore& registry);

}  // namespace quorvale::component
