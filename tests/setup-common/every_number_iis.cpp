// An IIS namespace for the tests that binds every name it is given, as if
// every site number were taken: registered on a machine under the ProgID
// "IIS" in place of the real one.
#include "dispatch_args.h"

using namespace quorvale;

namespace {

constexpr Guid kClsid{0x5EE0A11D, 0x1115, 0x4E55, {0x8A, 0x5E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};

class Taken final : public DynamicDispatch {
 public:
  explicit Taken(std::string name) : name_(std::move(name)) {
    Property("Name", [this] { return Variant(name_); });
  }

 private:
  std::string name_;
};

class EveryNumber final : public NamespaceObject {
  Variant Bind(const std::string& name) override { return NewObject(new Taken(name)); }
};

}  // namespace

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** out) {
  static Factory<EveryNumber> factory;
  if (!(clsid == kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

extern "C" HRESULT DllCanUnloadNow() { return DispatchBase::CanUnloadNow(); }
