// Arguments of late-bound calls as the provider objects read them, and the
// building block of objects whose members are known only when they are made
// (a metabase key's properties depend on its class).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "quorvale/com/create_object.h"
#include "quorvale/com/dispatch_base.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"

namespace quorvale {

using Args = std::vector<Variant*>;

inline const Variant* Arg(const Args& args, std::size_t i) {
  if (i >= args.size()) Raise(Error::kWrongArguments);
  return args[i];
}

inline std::string Text(const Variant* v) {
  auto t = v->TextForm();
  if (!t) Raise(Error::kTypeMismatch);
  return *t;
}

inline long Number(const Variant* v) {
  auto n = v->AsNumber();
  if (!n) Raise(Error::kTypeMismatch);
  return static_cast<long>(*n);
}

inline bool Boolean(const Variant* v) {
  auto b = v->AsBool();
  if (!b) Raise(Error::kTypeMismatch);
  return *b;
}

// Takes over the one reference a new object starts with.
template <class T>
Variant NewObject(T* object) {
  return ToVariant(ComPtr<IDispatch>::Attach(object));
}

class DynamicDispatch : public DispatchBase {
 protected:
  using Call = std::function<Variant(const Args&, std::uint16_t)>;

  void Add(std::string name, Call call) {
    members_.push_back({std::move(name), static_cast<DISPID>(members_.size() + 1), std::move(call)});
  }
  void Method(std::string name, std::function<Variant(const Args&)> f) {
    Add(std::move(name), [f = std::move(f)](const Args& a, std::uint16_t) { return f(a); });
  }
  // A property; without put it is read-only and assigning it raises 438.
  void Property(std::string name, std::function<Variant()> get,
                std::function<void(const Variant&)> put = {}) {
    Add(name, [name, get = std::move(get), put = std::move(put)](const Args& a, std::uint16_t flags) {
      if (flags & DISPATCH_PROPERTYPUT) {
        if (!put) Raise(Error::kNoSuchMember, name);
        put(*Arg(a, 0));
        return Variant();
      }
      return get();
    });
  }
  // What For Each walks.
  void Items(std::function<Variant::Array()> items) {
    members_.push_back({"_NewEnum", DISPID_NEWENUM,
                        [items = std::move(items)](const Args&, std::uint16_t) { return Variant(items()); }});
  }
  const std::vector<Member>& Members() const override { return members_; }

 private:
  std::vector<Member> members_;
};

// A namespace object: GetObject creates it by the ProgID before the ":" and
// asks it to bind the whole name.
class NamespaceObject : public DynamicDispatch, public IParseDisplayName {
 public:
  HRESULT QueryInterface(const Guid& iid, void** out) override {
    if (out && iid == IID_IParseDisplayName) {
      AddRef();
      *out = static_cast<IParseDisplayName*>(this);
      return S_OK;
    }
    return DispatchBase::QueryInterface(iid, out);
  }
  std::uint32_t AddRef() override { return DispatchBase::AddRef(); }
  std::uint32_t Release() override { return DispatchBase::Release(); }

  HRESULT ParseDisplayName(const std::string& name, IDispatch** out, ExcepInfo* excep) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
      Variant bound = Bind(name);
      IDispatch* d = DispatchOf(bound);
      d->AddRef();
      *out = d;
      return S_OK;
    } catch (const RaisedError& e) {
      if (excep) *excep = {e.Number(), e.what()};
      return e.Number() ? e.Number() : E_FAIL;
    } catch (const std::exception& e) {
      if (excep) *excep = {static_cast<std::int32_t>(E_FAIL), e.what()};
      return E_FAIL;
    }
  }

 protected:
  // The object the name stands for; raises the failure of the bind.
  virtual Variant Bind(const std::string& name) = 0;
};

}  // namespace quorvale
