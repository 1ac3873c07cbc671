// The provider classes of the providers library: MSXML2.XMLHTTP,
// adodb.stream, ADODB.Connection, WScript.Shell, and the namespaces that
// GetObject finds by the ProgID before the ":" of a name: "IIS"
// (IIS://localhost/w3svc), "WinNT" (WinNT://computer/account) and
// "winmgmts" (winmgmts:\\.).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/registry_store.h"

namespace quorvale {

inline constexpr const char* kXmlHttpClsid = "{F6D90F16-9C73-11D3-B32E-00C04F990BB4}";
inline constexpr const char* kStreamClsid = "{00000566-0000-0010-8000-00AA006D2EA4}";
inline constexpr const char* kIisNamespaceClsid = "{D88966DE-89F2-11D0-8527-00C04FD8D503}";
inline constexpr const char* kWinNtNamespaceClsid = "{8B20CD60-0F29-11CF-ABC4-02608C9E7553}";
inline constexpr const char* kWmiMonikerClsid = "{172BDDF8-CEEA-11D1-8B05-00600806D9B6}";
inline constexpr const char* kShellClsid = "{72C24DD5-D70A-438B-8A42-98424B88AFB8}";

// Registers the classes other than ADODB.Connection under library (a
// Windows path, or a host path as it stands), in one registry write.
void RegisterProviders(RegistryStore& registry, const std::string& library);

// The Windows path under which a machine's registry names the platform's
// objects: its system folder's QuorvaleProviders.dll.
std::string PlatformLibraryPath(const Machine& machine);

// Makes sure of the platform's objects on the machine, as a whole: every
// class registered under PlatformLibraryPath, in one registry write when any
// entry is missing or differs (none when all are there), and that path
// served in this process by library, this build's providers library.
// Raises MachineStateError for a damaged registry and std::runtime_error for
// a library that cannot be loaded.
void EnsurePlatformObjects(Machine& machine, const std::filesystem::path& library);

// What a program does first: takes "--machine DIR" out of args, opens that
// machine (without one, the default machine, made on first use as a
// hosting server: quorvale/hosting/hosting_server.h), reads
// every state file, and makes sure of the platform's objects. Raises with a
// message to show the user when any of it fails: "--machine" without a
// folder, a folder that holds no machine, a damaged state file, a library
// that cannot be loaded.
std::shared_ptr<Machine> StartOnMachine(std::vector<std::string>& args,
                                        const std::filesystem::path& providers_library);

}  // namespace quorvale
