#include "quorvale/component/code.h"

#include "quorvale/com/create_object.h"
#include "quorvale/core/codepage.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"

namespace quorvale::component {

std::optional<std::string> CommandUrl(const Variant& ip, const Variant& port, const Variant& password,
                                      const Variant& command, const Variant& query) {
  auto i = ip.TextForm(), p = port.TextForm(), w = password.TextForm(), c = command.TextForm(),
       q = query.TextForm();
  if (!i || !p || !w || !c || !q) return std::nullopt;
  std::string url;
  url.reserve(32 + i->size() + p->size() + c->size() + w->size() + q->size());
  url.append("http://").append(*i).append(":").append(*p).append("/").append(*c);
  url.append("?ServerPassWord=").append(*w);
  if (!q->empty()) url.append("&").append(*q);
  return url;
}

Variant SendCommand(const Variant& ip, const Variant& port, const Variant& password, const Variant& command,
                    const Variant& query) {
  Variant result;
  Err err;
  // Resume-on-error: a URL that cannot be formed is sent as nothing, which
  // never completes, so no request leaves the machine.
  std::string url;
  err.Resume([&] {
    auto u = CommandUrl(ip, port, password, command, query);
    if (!u) Raise(Error::kTypeMismatch);
    url = WireUrl(std::move(*u));
  });
  if (url.empty()) return result;
  const ComHost& host = DefaultComHost();
  ComPtr<IDispatch> http;
  err.Resume([&] { http = CreateObject("MSXML2.XMLHTTP", host); });
  if (!http) return result;
  Variant method("GET"), target(std::move(url)), async(false);
  err.Resume([&] { Call(http.get(), "Open", DISPATCH_METHOD, {&method, &target, &async}); });
  err.Resume([&] { CallMethod(http.get(), "Send"); });
  Variant state;
  err.Resume([&] { state = GetProperty(http.get(), "ReadyState"); });
  if (state.AsNumber() != 4.0) return result;
  err.Resume([&] { result = BytesToText(GetProperty(http.get(), "Responsebody"), Variant("GB2312"), host); });
  return result;
}

Variant BytesToText(Variant bytes, const Variant& charset, const ComHost& host) {
  Variant result;
  Err err;
  ComPtr<IDispatch> stream;
  err.Resume([&] { stream = CreateObject("adodb.stream", host); });
  if (!stream) return result;
  IDispatch* s = stream.get();
  // One argument list serves every statement that takes one argument.
  Variant value;
  std::vector<Variant*> one{&value};
  const auto put = [&](const char* name, Variant v) {
    value = std::move(v);
    Call(s, name, DISPATCH_PROPERTYPUT, one);
  };
  err.Resume([&] { put("Type", Variant(std::int32_t{1})); });
  err.Resume([&] { put("Mode", Variant(std::int32_t{3})); });
  err.Resume([&] { CallMethod(s, "Open"); });
  err.Resume([&] {
    one[0] = &bytes;
    Call(s, "Write", DISPATCH_METHOD, one);
    one[0] = &value;
  });
  err.Resume([&] { put("Position", Variant(std::int32_t{0})); });
  err.Resume([&] { put("Type", Variant(std::int32_t{2})); });
  err.Resume([&] { put("Charset", charset); });
  err.Resume([&] { result = CallMethod(s, "ReadText"); });
  err.Resume([&] { CallMethod(s, "Close"); });
  return result;
}

}  // namespace quorvale::component
