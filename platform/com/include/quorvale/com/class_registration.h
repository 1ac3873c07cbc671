// Registry entries of an in-process class: ProgID -> CLSID ->
// InprocServer32 (the library, threading model Apartment).
#pragma once

#include <string>

#include "quorvale/machine/registry_store.h"

namespace quorvale {

struct ClassRegistration {
  std::string prog_id;
  std::string clsid;    // "{...}"
  std::string library;  // the library's full Windows path
  std::string typelib;  // the LIBID of the class's type library, or empty
  std::string version;  // the class's version, or empty
};

// Each in one write of the registry.
void RegisterInprocClass(RegistryStore& registry, const ClassRegistration& c);
// As one change among others of an edit.
void RegisterInprocClass(RegistryEdit& registry, const ClassRegistration& c);
// Removes the CLSID and ProgID keys of the class with everything under them.
void UnregisterInprocClass(RegistryStore& registry, const ClassRegistration& c);

}  // namespace quorvale
