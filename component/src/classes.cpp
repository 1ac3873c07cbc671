#include "quorvale/component/classes.h"

#include <algorithm>

#include "quorvale/component/code.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"

namespace quorvale::component {

namespace {

// The command word and the query's leading text chosen by the type
// selector; nothing when the selector is refused.
struct Route {
  std::string command;
  std::string lead;  // "Action=<method>" on the WinWebMail route
};

std::optional<Route> ChooseRoute(const ClassTable& cls, const MethodEntry& method, const Variant& selector) {
  if (cls.selector == Selector::kNone) return Route{method.name, ""};
  auto upper = selector.IsNull() ? std::nullopt : UpperTextForm(selector);
  if (!upper) return std::nullopt;
  if (cls.selector == Selector::kMailType) {
    if (*upper == "IMAIL") return Route{method.name, ""};
    if (*upper == "WINWEBMAIL") return Route{"MailCtrl.asp", "Action=" + method.name};
    return std::nullopt;
  }
  if (!method.fixed_command.empty())
    return *upper == "MSSQL" ? std::optional<Route>(Route{method.fixed_command, ""}) : std::nullopt;
  if (*upper != "MSSQL" && *upper != "MYSQL") return std::nullopt;
  return Route{method.prefix + *selector.TextForm() + method.suffix, ""};
}

const char* RefusedSelectorText(Selector selector) {
  return selector == Selector::kMailType ? "MailType Error!" : "SQLType Error!";
}

std::vector<Member> MembersOf(const ClassTable& table) {
  std::vector<Member> members;
  for (std::size_t i = 0; i < table.methods.size(); ++i) {
    const MethodEntry* method = &table.methods[i];
    auto params = DeclaredParams(table, *method);
    members.push_back(
        {method->name, kFirstDispid + static_cast<DISPID>(i),
         [&table, method, count = params.size()](const std::vector<Variant*>& args, std::uint16_t) {
           if (args.size() != count) Raise(Error::kWrongArguments);
           return RunMethod(table, *method, args);
         },
         std::move(params)});
  }
  return members;
}

std::vector<std::size_t> ByName(const std::vector<Member>& members) {
  std::vector<std::size_t> order(members.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return TextLess(members[a].name, members[b].name); });
  return order;
}

}  // namespace

Variant RunMethod(const ClassTable& cls, const MethodEntry& method, const std::vector<Variant*>& args) {
  Variant result;
  const std::size_t own_start = cls.selector == Selector::kNone ? 3 : 4;
  auto route = ChooseRoute(cls, method, own_start == 4 ? *args[3] : Variant());
  if (!route) return Variant(RefusedSelectorText(cls.selector));
  std::vector<const Variant*> own(args.begin() + static_cast<std::ptrdiff_t>(own_start), args.end());
  auto query = QueryText(method.params, own);
  // A parameter without a text form fails the statement: no request.
  if (!query) return result;
  if (!route->lead.empty()) *query = query->empty() ? route->lead : route->lead + "&" + *query;
  Variant local = SendCommand(*args[0], *args[1], *args[2], Variant(std::move(route->command)),
                              Variant(std::move(*query)));
  result = local;
  return result;
}

ComponentClass::ComponentClass(const ClassTable& t)
    : table(t),
      clsid(*Guid::Parse(t.clsid)),
      iid(*Guid::Parse(t.iid)),
      members(MembersOf(t)),
      factory_([this]() -> IDispatch* { return new ClassObject(*this); }),
      by_name_(ByName(members)) {}

const Member* ComponentClass::Named(const std::string& name) const {
  auto it =
      std::lower_bound(by_name_.begin(), by_name_.end(), name,
                       [&](std::size_t i, const std::string& n) { return TextLess(members[i].name, n); });
  if (it == by_name_.end() || TextLess(name, members[*it].name)) return nullptr;
  return &members[*it];
}

const Member* ComponentClass::WithId(DISPID id) const {
  const auto i = static_cast<std::size_t>(id - kFirstDispid);
  return id >= kFirstDispid && i < members.size() ? &members[i] : nullptr;
}

std::span<const ComponentClass> ComponentClasses() {
  static const ComponentClass classes[] = {ComponentClass(HostTable()),   ComponentClass(FtpTable()),
                                           ComponentClass(SystemTable()), ComponentClass(MailTable()),
                                           ComponentClass(DnsTable()),    ComponentClass(SQLTable())};
  return classes;
}

}  // namespace quorvale::component
