// A tiny in-process server used by the tests: class "Test.Echo".
#include <atomic>

#include "quorvale/com/unknown.h"

using namespace quorvale;

namespace {

std::atomic<int> live{0};

constexpr Guid kClsid{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

class Echo final : public IDispatch {
 public:
  Echo() { ++live; }
  ~Echo() { --live; }
  HRESULT QueryInterface(const Guid& iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      AddRef();
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  std::uint32_t AddRef() override { return ++refs_; }
  std::uint32_t Release() override {
    auto n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT GetIDsOfNames(const std::vector<std::string>& names, std::vector<DISPID>* ids) override {
    ids->clear();
    for (const auto& n : names) {
      if (n == "Value")
        ids->push_back(0);
      else if (n == "Echo")
        ids->push_back(1);
      else if (n == "Bump")
        ids->push_back(2);
      else
        return DISP_E_UNKNOWNNAME;
    }
    return S_OK;
  }
  HRESULT Invoke(DISPID member, std::uint16_t, const std::vector<Variant*>& args, Variant* result,
                 ExcepInfo* excep) override {
    switch (member) {
      case 0: *result = Variant("default"); return S_OK;
      case 1:
        if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
        *result = *args[0];
        return S_OK;
      case 2:
        if (args.size() != 1 || !args[0]->AsNumber()) {
          excep->code = 13;
          excep->description = "Type mismatch";
          return DISP_E_EXCEPTION;
        }
        *args[0] = Variant(*args[0]->AsNumber() + 1);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::atomic<std::uint32_t> refs_{1};
};

class Factory final : public IClassFactory {
 public:
  HRESULT QueryInterface(const Guid& iid, void** out) override {
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
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* e = new Echo;
    HRESULT hr = e->QueryInterface(iid, out);
    e->Release();
    return hr;
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

Factory factory;

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const Guid& clsid,
                                                                            const Guid& iid, void** out) {
  if (!(clsid == kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
  return live == 0 ? S_OK : S_FALSE;
}
