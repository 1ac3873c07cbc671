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

// The members of both are one numbered table for all objects (the enum
// follows its order), and a call goes to the object by its DISPID: making an
// object costs no table.
class XmlHttp final : public DispatchBase {
  enum : DISPID { kOpen = 1, kSend, kReadyState, kResponseBody, kStatus };

  static const NumberedMembers& Table() {
    static const NumberedMembers members{"Open", "Send", "ReadyState", "ResponseBody", "Status"};
    return members;
  }
  const std::vector<Member>& Members() const override { return Table().All(); }
  const Member* FindMember(const std::string& name) const override { return Table().Named(name); }
  const Member* FindMember(DISPID id) const override { return Table().WithId(id); }

  Variant CallMember(const Member& m, const Args& a, std::uint16_t) override {
    switch (m.id) {
      case kOpen:
        request_.Open(Text(Arg(a, 0)), Text(Arg(a, 1)), a.size() > 2 ? a[2]->AsBool().value_or(true) : true);
        return Variant();
      case kSend: request_.Send(); return Variant();
      case kReadyState: return Variant(std::int32_t{request_.ReadyState()});
      case kResponseBody: return request_.ResponseBody();
      default: return Variant(static_cast<std::int32_t>(request_.Status()));
    }
  }

  HttpRequest request_;
};

class AdoStream final : public DispatchBase {
  enum : DISPID { kType = 1, kMode, kOpen, kWrite, kPosition, kCharset, kReadText, kClose };

  static const NumberedMembers& Table() {
    static const NumberedMembers members{"Type",     "Mode",    "Open",     "Write",
                                         "Position", "Charset", "ReadText", "Close"};
    return members;
  }
  const std::vector<Member>& Members() const override { return Table().All(); }
  const Member* FindMember(const std::string& name) const override { return Table().Named(name); }
  const Member* FindMember(DISPID id) const override { return Table().WithId(id); }

  Variant CallMember(const Member& m, const Args& a, std::uint16_t flags) override {
    const bool put = flags & DISPATCH_PROPERTYPUT;
    switch (m.id) {
      case kType:
        if (!put) return Variant(std::int32_t{stream_.Type()});
        stream_.SetType(static_cast<int>(Number(Arg(a, 0))));
        return Variant();
      case kMode:
        if (!put) return Variant(std::int32_t{stream_.Mode()});
        stream_.SetMode(static_cast<int>(Number(Arg(a, 0))));
        return Variant();
      case kOpen: stream_.Open(); return Variant();
      case kWrite: stream_.Write(*Arg(a, 0)); return Variant();
      case kPosition:
        if (!put) return Variant(static_cast<std::int32_t>(stream_.Position()));
        stream_.SetPosition(Number(Arg(a, 0)));
        return Variant();
      case kCharset:
        if (!put) return Variant(stream_.Charset());
        stream_.SetCharset(Text(Arg(a, 0)));
        return Variant();
      case kReadText: return stream_.ReadText();
      default: stream_.Close(); return Variant();
    }
  }

  Stream stream_;
};

}  // namespace

}  // namespace quorvale

using namespace quorvale;

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const Guid& clsid,
                                                                            const Guid& iid, void** out) {
  static Factory<XmlHttp> xmlhttp;
  static Factory<AdoStream> stream;
  static const Guid xmlhttp_id = *Guid::Parse(kXmlHttpClsid), stream_id = *Guid::Parse(kStreamClsid),
                    connection_id = *Guid::Parse(kAdoConnectionClsid);
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid == xmlhttp_id) return xmlhttp.QueryInterface(iid, out);
  if (clsid == stream_id) return stream.QueryInterface(iid, out);
  if (clsid == connection_id) return AdoConnectionClassObject(iid, out);
  return GetProviderClassObject(clsid, iid, out);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
  return DispatchBase::CanUnloadNow();
}
