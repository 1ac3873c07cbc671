#include "quorvale/client/domain_page.h"

#include <algorithm>

#include "quorvale/com/create_object.h"
#include "quorvale/core/text.h"

namespace quorvale::client {

namespace {

bool Allowed(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

bool EndsOfName(char c) { return c == '-' || c == '.'; }

}  // namespace

DomainPage::DomainPage(setup::SetupProgram& program) : WizardPage(program, "Domain") {
  PlaceFrame(Image1, Frame1);
  PlaceButtons(&StepButton, NextButton, CancelButton);
  NextButton.SetCaption("安装(&S)");
  PlaceHeader(Label2, "请添加绑定域名", Label3, "添加主控端站点绑定的域名");
  Label1.SetCaption("请输入您需要绑定的域名，域名中不包含“http://”字符。如：www.example.com");
  Place(Label1, 510, 1200, 6555, 495);
  Label4.SetCaption("域名：");
  Place(Label4, 600, 1875, 855, 255);
  Place(Domain, 1470, 1830, 5595, 345);
  NextButton.OnClick([this] { NextButtonClick(); });
  StepButton.OnClick([this] { GoBack(); });
  CancelButton.OnClick([this] { Close(ui::UnloadMode::Code); });
}

bool DomainPage::CheckDomain(std::string& domain) {
  domain = LowerCase(domain);
  const std::size_t length = CharCount(domain);
  if (length < 2 || length > 60 || domain.find('.') == std::string::npos || EndsOfName(domain.front()) ||
      EndsOfName(domain.back()))
    return false;
  // Every byte of a character beyond ASCII is outside the allowed set.
  return std::all_of(domain.begin(), domain.end(), Allowed);
}

void DomainPage::NextButtonClick() {
  const std::string text = Domain.Text();
  if (!text.empty()) {
    if (LowerCase(text).find("http://") != std::string::npos)
      return InputError("域名中请勿包含“http://”字符!", &Domain);
    std::string copy = text;
    if (!CheckDomain(copy)) return InputError("您输入的域名格式不正确!", &Domain);
  }
  ComPtr<IDispatch> w3svc;
  if (!Resume([&] { w3svc = GetObject("IIS://localhost/w3svc"); }))
    return InputError("无法打开W3SVC服务!", &Domain);
  if (BindingTaken(w3svc.get(), ":80:" + LowerCase(text))) return InputError("域名已经被绑定!", nullptr);
  w3svc = ComPtr<IDispatch>();
  GoNext();
}

bool DomainPage::BindingTaken(IDispatch* w3svc, const std::string& binding) {
  std::vector<Variant> sites;
  Resume([&] { sites = ForEachItem(w3svc); });
  for (const Variant& site : sites) {
    Variant bindings;
    // Only web sites count; a site whose list cannot be read is passed over.
    Resume([&] {
      if (GetProperty(DispatchOf(site), "Class") == Variant("IIsWebServer"))
        bindings = GetProperty(DispatchOf(site), "ServerBindings");
    });
    const Variant::Array* list = bindings.AsArray();
    if (!list) continue;
    for (const Variant& entry : *list) {
      const auto text = entry.TextForm();
      if (text && LowerCase(*text) == binding) return true;
    }
  }
  return false;
}

}  // namespace quorvale::client
