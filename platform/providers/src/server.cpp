// The providers library as an in-process server: MSXML2.XMLHTTP and
// The providers library as an in-process server: MSXML2.XMLHTTP and
// adodb.stream over HttpRequest and Stream, ADODB.Connection over ODBC; the
// namespaces and the shell come from provider_classes.
#include "dispatch_args.h"
#include "provider_classes.h"
#include "quorvale/providers/ado_connection.h"
#include "quorvale/providers/http_request.h"
#include "quorvale/providers/registration.h"
#include "quorvale/providers/stream.h"

namespace quorvale {

namespace {

class XmlHttp final : public DispatchBase {
  const std::vector<Member>& Members() const override { return members_; }
  HttpRequest request_;
  const std::vector<Member> members_ = {
      {"Open", 1,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         bool async = a.size() > 2 ? a[2]->AsBool().value_or(true) : true;
         r().Open(Text(Arg(a, 0)), Text(Arg(a, 1)), async);
         return Variant();
       }},
      {"Send", 2,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         r().Send();
         return Variant();
       }},
      {"ReadyState", 3,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(std::int32_t{request_.ReadyState()});
       }},
      {"ResponseBody", 4,
       [this](const std::vector<Variant*>&, std::uint16_t) { return request_.ResponseBody(); }},
      {"Status", 5,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         return Variant(static_cast<std::int32_t>(request_.Status()));
       }},
  };
  HttpRequest& r() const { return const_cast<HttpRequest&>(request_); }
};

class AdoStream final : public DispatchBase {
  const std::vector<Member>& Members() const override { return members_; }
  Stream stream_;
  const std::vector<Member> members_ = {
      {"Type", 1,
       [this](const std::vector<Variant*>& a, std::uint16_t f) {
         if (f & DISPATCH_PROPERTYPUT) {
           s().SetType(static_cast<int>(Number(Arg(a, 0))));
           return Variant();
         }
         return Variant(std::int32_t{stream_.Type()});
       }},
      {"Mode", 2,
       [this](const std::vector<Variant*>& a, std::uint16_t f) {
         if (f & DISPATCH_PROPERTYPUT) {
           s().SetMode(static_cast<int>(Number(Arg(a, 0))));
           return Variant();
         }
         return Variant(std::int32_t{stream_.Mode()});
       }},
      {"Open", 3,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         s().Open();
         return Variant();
       }},
      {"Write", 4,
       [this](const std::vector<Variant*>& a, std::uint16_t) {
         s().Write(*Arg(a, 0));
         return Variant();
       }},
      {"Position", 5,
       [this](const std::vector<Variant*>& a, std::uint16_t f) {
         if (f & DISPATCH_PROPERTYPUT) {
           s().SetPosition(Number(Arg(a, 0)));
           return Variant();
         }
         return Variant(static_cast<std::int32_t>(stream_.Position()));
       }},
      {"Charset", 6,
       [this](const std::vector<Variant*>& a, std::uint16_t f) {
         if (f & DISPATCH_PROPERTYPUT) {
           s().SetCharset(Text(Arg(a, 0)));
           return Variant();
         }
         return Variant(stream_.Charset());
       }},
      {"ReadText", 7, [this](const std::vector<Variant*>&, std::uint16_t) { return s().ReadText(); }},
      {"Close", 8,
       [this](const std::vector<Variant*>&, std::uint16_t) {
         s().Close();
         return Variant();
       }},
  };
  Stream& s() const { return const_cast<Stream&>(stream_); }
};

}  // namespace

}  // namespace quorvale

using namespace quorvale;

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const Guid& clsid,
                                                                            const Guid& iid, void** out) {
  static Factory<XmlHttp> xmlhttp;
  static Factory<AdoStream> stream;
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid == *Guid::Parse(kXmlHttpClsid)) return xmlhttp.QueryInterface(iid, out);
  if (clsid == *Guid::Parse(kStreamClsid)) return stream.QueryInterface(iid, out);
  if (clsid == *Guid::Parse(kAdoConnectionClsid)) return AdoConnectionClassObject(iid, out);
  return GetProviderClassObject(clsid, iid, out);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
  return DispatchBase::CanUnloadNow();
}
