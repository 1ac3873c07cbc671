// Building blocks for in-process servers: a reference-counted IDispatch
// whose members come from a table, and a class factory for it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quorvale/com/unknown.h"

namespace quorvale {

struct Member {
  std::string name;
  DISPID id;
  // Called with the arguments by reference and the dispatch flags; raises
  // RaisedError to report a failure to the caller.
  std::function<Variant(const std::vector<Variant*>& args, std::uint16_t flags)> call;
  // Parameter names in order; GetIDsOfNames maps each to its position.
  std::vector<std::string> params = {};
};

class DispatchBase : public IDispatch {
 public:
  HRESULT QueryInterface(const Guid& iid, void** out) override;
  std::uint32_t AddRef() override { return ++refs_; }
  std::uint32_t Release() override;
  HRESULT GetIDsOfNames(const std::vector<std::string>& names, std::vector<DISPID>* ids) override;
  HRESULT Invoke(DISPID member, std::uint16_t flags, const std::vector<Variant*>& args, Variant* result,
                 ExcepInfo* excep) override;

  // Objects alive in this library, and server locks its callers hold.
  static int Live();
  static void LockServer(bool lock);
  static int Locks();
  // DllCanUnloadNow's answer: S_OK when neither objects nor locks remain.
  static HRESULT CanUnloadNow() { return Live() == 0 && Locks() == 0 ? S_OK : S_FALSE; }

 protected:
  DispatchBase();
  virtual ~DispatchBase();
  // The members of the object; looked up by name without regard to case.
  virtual const std::vector<Member>& Members() const = 0;
  // An interface of its own (a dual interface) the object also answers to.
  virtual bool Implements(const Guid&) const { return false; }
  // The member of that name (without regard to case) or DISPID; nothing when
  // there is none. A search through Members() unless the object knows a
  // quicker way.
  virtual const Member* FindMember(const std::string& name) const;
  virtual const Member* FindMember(DISPID id) const;
  // Runs the member Invoke found: its own call. An object whose member table
  // is one static table for all its instances runs its members here.
  virtual Variant CallMember(const Member& member, const std::vector<Variant*>& args, std::uint16_t flags) {
    return member.call(args, flags);
  }

 private:
  std::atomic<std::uint32_t> refs_{1};
};

// Members numbered 1, 2, ... in the order of their names, one table for all
// objects of a class: a name is looked up in a compact list of the names and
// a DISPID by its position, so a call touches little memory.
class NumberedMembers {
 public:
  explicit NumberedMembers(std::initializer_list<const char*> names);
  const std::vector<Member>& All() const { return members_; }
  const Member* Named(const std::string& name) const;
  const Member* WithId(DISPID id) const;

 private:
  std::vector<std::string_view> names_;
  std::vector<Member> members_;
};

// A class object that makes each object with a function; a static object
// of its library.
class MakerFactory : public IClassFactory {
 public:
  explicit MakerFactory(std::function<IDispatch*()> make) : make_(std::move(make)) {}
  HRESULT QueryInterface(const Guid& iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  std::uint32_t AddRef() override { return 2; }
  std::uint32_t Release() override { return 1; }
  HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IDispatch* object = make_();
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT LockServer(bool lock) override {
    DispatchBase::LockServer(lock);
    return S_OK;
  }

 private:
  std::function<IDispatch*()> make_;
};

// A factory that makes a fresh T for each CreateInstance.
template <class T>
class Factory final : public MakerFactory {
 public:
  Factory() : MakerFactory([]() -> IDispatch* { return new T; }) {}
};

}  // namespace quorvale
