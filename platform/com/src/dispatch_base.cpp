#include "quorvale/com/dispatch_base.h"

#include "quorvale/core/err.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

std::atomic<int> live_objects{0};
std::atomic<int> server_locks{0};

}  // namespace

NumberedMembers::NumberedMembers(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    names_.emplace_back(name);
    members_.push_back({name, static_cast<DISPID>(members_.size() + 1), {}});
  }
}

const Member* NumberedMembers::Named(const std::string& name) const {
  // Most names differ in length or first letter: those are passed over
  // without a comparison.
  if (name.empty()) return nullptr;
  const char first = LowerChar(name[0]);
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (names_[i].size() == name.size() && LowerChar(names_[i][0]) == first &&
        (names_[i] == name || SameText(names_[i], name)))
      return &members_[i];
  return nullptr;
}

const Member* NumberedMembers::WithId(DISPID id) const {
  return id >= 1 && static_cast<std::size_t>(id) <= members_.size()
             ? &members_[static_cast<std::size_t>(id) - 1]
             : nullptr;
}

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
  const Member* found = FindMember(names[0]);
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
  const Member* m = FindMember(member);
  if (!m) return DISP_E_MEMBERNOTFOUND;
  try {
    Variant r = CallMember(*m, args, flags);
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

const Member* DispatchBase::FindMember(const std::string& name) const {
  for (const auto& m : Members())
    if (SameText(m.name, name)) return &m;
  return nullptr;
}

const Member* DispatchBase::FindMember(DISPID id) const {
  for (const auto& m : Members())
    if (m.id == id) return &m;
  return nullptr;
}

}  // namespace quorvale
