// A late-bound object as the recipes hold one: a failed bind or creation
// leaves it empty, so every later statement on it fails with "Object
// required" and is skipped, as on Windows.
#pragma once

#include <string>
#include <vector>

#include "quorvale/com/create_object.h"

namespace quorvale::setup::detail {

class LateBound {
 public:
  LateBound() = default;
  // GetObject(display name).
  static LateBound Bind(const std::string& name) { return LateBound(GetObject(name)); }
  // The object a Variant holds; raises 424 for anything else.
  static LateBound Of(const Variant& v) {
    IDispatch* d = DispatchOf(v);
    d->AddRef();
    return LateBound(ComPtr<IDispatch>::Attach(d));
  }

  Variant Call(const std::string& member, std::vector<Variant> args = {}) const {
    return CallMethod(object_.get(), member, std::move(args));
  }
  Variant Get(const std::string& property) const { return GetProperty(object_.get(), property); }
  void Let(const std::string& property, Variant value) const {
    PutProperty(object_.get(), property, std::move(value));
  }
  void Release() { object_ = ComPtr<IDispatch>(); }

 private:
  explicit LateBound(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  ComPtr<IDispatch> object_;
};

}  // namespace quorvale::setup::detail
