#include "quorvale/com/dispatch_base.h"

#include "quorvale/core/err.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

std::atomic<int> live_objects{0};
std::atomic<int> server_locks{0};

}  // namespace

DispatchBase::DispatchBase() { ++live_objects; }
DispatchBase::~DispatchBase() { --live_objects; }
int DispatchBase::Live() { return live_objects; }
void DispatchBase::LockServer(bool lock) {
  if (lock) {
    ++server_locks;
    return;
  }
  // An unlock without a lock must not drive the count below zero.
  for (int n = server_locks; n > 0 && !server_locks.compare_exchange_weak(n, n - 1);) {
  }
}
int DispatchBase::Locks() { return server_locks; }

HRESULT DispatchBase::QueryInterface(const Guid& iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || Implements(iid)) {
    AddRef();
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

std::uint32_t DispatchBase::Release() {
  auto n = --refs_;
  if (n == 0) delete this;
  return n;
}

HRESULT DispatchBase::GetIDsOfNames(const std::vector<std::string>& names, std::vector<DISPID>* ids) {
  if (!ids || names.empty()) return E_POINTER;
  ids->assign(names.size(), -1);
  const Member* found = nullptr;
  for (const auto& m : Members())
    if (SameText(m.name, names[0])) {
      found = &m;
      break;
    }
  if (!found) return DISP_E_UNKNOWNNAME;
  (*ids)[0] = found->id;
  HRESULT hr = S_OK;
  for (std::size_t n = 1; n < names.size(); ++n) {
    for (std::size_t p = 0; p < found->params.size(); ++p)
      if (SameText(found->params[p], names[n])) (*ids)[n] = static_cast<DISPID>(p);
    if ((*ids)[n] < 0) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchBase::Invoke(DISPID member, std::uint16_t flags, const std::vector<Variant*>& args,
                             Variant* result, ExcepInfo* excep) {
  for (const auto& m : Members()) {
    if (m.id != member) continue;
    try {
      Variant r = m.call(args, flags);
      if (result) *result = std::move(r);
      return S_OK;
    } catch (const RaisedError& e) {
      if (excep) *excep = {e.Number(), e.what()};
      return DISP_E_EXCEPTION;
    } catch (const MachineStateError& e) {
      if (excep) *excep = {ErrorNumber(Error::kSystemFileCorrupt), e.what()};
      return DISP_E_EXCEPTION;
    } catch (const std::exception& e) {
      if (excep) *excep = {ErrorNumber(Error::kInternal), e.what()};
      return DISP_E_EXCEPTION;
    }
  }
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace quorvale
