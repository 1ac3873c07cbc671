#include "provider_classes.h"

#include "quorvale/providers/registration.h"

namespace quorvale {

HRESULT GetProviderClassObject(const Guid& clsid, const Guid& iid, void** out) {
  static MakerFactory iis(NewIisNamespace), winnt(NewWinNtNamespace), wmi(NewWmiNamespace), shell(NewShell);
  static const std::pair<Guid, MakerFactory*> classes[] = {
      {*Guid::Parse(kIisNamespaceClsid), &iis},
      {*Guid::Parse(kWinNtNamespaceClsid), &winnt},
      {*Guid::Parse(kWmiMonikerClsid), &wmi},
      {*Guid::Parse(kShellClsid), &shell},
  };
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const auto& [id, factory] : classes)
    if (id == clsid) return factory->QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace quorvale
