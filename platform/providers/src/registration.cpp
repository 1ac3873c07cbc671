#include "quorvale/providers/registration.h"

#include "quorvale/com/class_registration.h"
#include "quorvale/com/create_object.h"
#include "quorvale/providers/ado_connection.h"

namespace quorvale {

namespace {

struct PlatformClass {
  const char* prog_id;
  const char* clsid;
  bool database;
};

// Every class the providers library serves.
const PlatformClass kPlatformClasses[] = {
    {"MSXML2.XMLHTTP", kXmlHttpClsid, false},
    {"ADODB.Stream", kStreamClsid, false},
    {"IIS", kIisNamespaceClsid, false},
    {"WinNT", kWinNtNamespaceClsid, false},
    {"winmgmts", kWmiMonikerClsid, false},
    {"WScript.Shell", kShellClsid, false},
    {"ADODB.Connection", kAdoConnectionClsid, true},
};

void Register(RegistryEdit& registry, const std::string& library, bool database, bool others) {
  for (const auto& c : kPlatformClasses)
    if (c.database ? database : others) RegisterInprocClass(registry, {c.prog_id, c.clsid, library, "", ""});
}

}  // namespace

void RegisterProviders(RegistryStore& registry, const std::string& library) {
  registry.Edit([&](RegistryEdit& edit) { Register(edit, library, false, true); });
}

void RegisterDatabaseProviders(RegistryStore& registry, const std::string& library) {
  registry.Edit([&](RegistryEdit& edit) { Register(edit, library, true, false); });
}

std::string PlatformLibraryPath(const Machine& machine) {
  return machine.Info().system_directory + "\\QuorvaleProviders.dll";
}

void EnsurePlatformObjects(Machine& machine, const std::filesystem::path& library) {
  const std::string windows_path = PlatformLibraryPath(machine);
  MapPlatformLibrary(windows_path, library);
  machine.Registry().Edit([&](RegistryEdit& edit) { Register(edit, windows_path, true, true); });
}

}  // namespace quorvale
