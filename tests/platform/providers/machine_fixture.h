// A fresh machine whose registry names the providers library, so GetObject
// and CreateObject find the providers as the system's programs find them.
#pragma once

#include <gtest/gtest.h>

#include "quorvale/com/create_object.h"
#include "quorvale/core/err.h"
#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"

namespace quorvale {

class OnMachine : public ::testing::Test {
 protected:
  explicit OnMachine(const MachineShape& shape = {}) : temp_(shape) {
    RegisterProviders(temp_.machine().Registry(), "C:\\WINDOWS\\system32\\QuorvaleProviders.dll");
    host_ = {&temp_.machine().Registry(),
             [](const std::string&) { return std::filesystem::path(PROVIDERS_PATH); }};
  }

  ComPtr<IDispatch> Bind(const std::string& name) { return GetObject(name, host_); }
  // The error number a bind raises, 0 when it binds.
  std::int32_t BindError(const std::string& name) {
    Err err;
    err.Resume([&] { Bind(name); });
    return err.Number();
  }
  static Variant Get(const ComPtr<IDispatch>& o, const std::string& name) {
    return GetProperty(o.get(), name);
  }
  static void Put(const ComPtr<IDispatch>& o, const std::string& name, Variant v) {
    PutProperty(o.get(), name, std::move(v));
  }
  // The object v holds; a v without one fails the test and gives a null
  // object, on which every call raises.
  static ComPtr<IDispatch> Obj(const Variant& v) {
    IDispatch* d = DispatchOf(v);
    if (!d) {
      ADD_FAILURE() << "not an object";
      return {};
    }
    d->AddRef();
    return ComPtr<IDispatch>::Attach(d);
  }
  static std::int32_t ErrorOf(const std::function<void()>& statement) {
    Err err;
    err.Resume(statement);
    return err.Number();
  }

  testing::TempMachine temp_;
  ComHost host_;
};

inline constexpr std::int32_t kPathNotFound = static_cast<std::int32_t>(0x80070003);

}  // namespace quorvale
