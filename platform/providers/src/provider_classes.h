// The namespace and shell classes of the providers library: ADSI "IIS" and
// "WinNT", WMI "winmgmts", and WScript.Shell.
#pragma once

#include "dispatch_args.h"

namespace quorvale {

IDispatch* NewIisNamespace();
IDispatch* NewWinNtNamespace();
IDispatch* NewWmiNamespace();
IDispatch* NewShell();

// The class object of one of those classes, by CLSID;
// CLASS_E_CLASSNOTAVAILABLE for any other.
HRESULT GetProviderClassObject(const Guid& clsid, const Guid& iid, void** out);

}  // namespace quorvale
