// Registers the provider classes of the providers library under the given
// Windows path of that library: MSXML2.XMLHTTP, adodb.stream, WScript.Shell,
// and the namespaces that GetObject finds by the ProgID before the ":" of a
// name: "IIS" (IIS://localhost/w3svc), "WinNT" (WinNT://computer/account)
// and "winmgmts" (winmgmts:\\.).
#pragma once

#include <string>

#include "quorvale/machine/registry_store.h"

namespace quorvale {

inline constexpr const char* kXmlHttpClsid = "{F6D90F16-9C73-11D3-B32E-00C04F990BB4}";
inline constexpr const char* kStreamClsid = "{00000566-0000-0010-8000-00AA006D2EA4}";
inline constexpr const char* kIisNamespaceClsid = "{D88966DE-89F2-11D0-8527-00C04FD8D503}";
inline constexpr const char* kWinNtNamespaceClsid = "{8B20CD60-0F29-11CF-ABC4-02608C9E7553}";
inline constexpr const char* kWmiMonikerClsid = "{172BDDF8-CEEA-11D1-8B05-00600806D9B6}";
inline constexpr const char* kShellClsid = "{72C24DD5-D70A-438B-8A42-98424B88AFB8}";

void RegisterProviders(RegistryStore& registry, const std::string& library);

}  // namespace quorvale
