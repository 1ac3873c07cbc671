// Registers the provider classes (MSXML2.XMLHTTP, adodb.stream) of the
// providers library under the given Windows path of that library.
#pragma once

#include <string>

#include "quorvale/machine/registry_store.h"

namespace quorvale {

inline constexpr const char* kXmlHttpClsid = "{F6D90F16-9C73-11D3-B32E-00C04F990BB4}";
inline constexpr const char* kStreamClsid = "{00000566-0000-0010-8000-00AA006D2EA4}";

void RegisterProviders(RegistryStore& registry, const std::string& library);

}  // namespace quorvale
