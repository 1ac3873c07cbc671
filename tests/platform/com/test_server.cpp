// A tiny in-process server used by the tests: class "Test.Echo".
#include "quorvale/com/dispatch_base.h"
#include "quorvale/core/err.h"

using namespace quorvale;

namespace {

constexpr Guid kClsid{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

class Echo final : public DispatchBase {
  const std::vector<Member>& Members() const override { return members_; }
  const std::vector<Member> members_ = {
      {"Value", 0, [](const std::vector<Variant*>&, std::uint16_t) { return Variant("default"); }},
      {"Echo", 1,
       [](const std::vector<Variant*>& a, std::uint16_t) {
         if (a.size() != 1) Raise(Error::kWrongArguments);
         return *a[0];
       }},
      {"Bump", 2,
       [](const std::vector<Variant*>& a, std::uint16_t) {
         if (a.size() != 1 || !a[0]->AsNumber()) Raise(Error::kTypeMismatch);
         *a[0] = Variant(*a[0]->AsNumber() + 1);
         return Variant();
       }},
  };
};

}  // namespace

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** out) {
  static Factory<Echo> factory;
  if (!(clsid == kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

extern "C" HRESULT DllCanUnloadNow() { return DispatchBase::CanUnloadNow(); }
