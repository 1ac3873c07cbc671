#include "quorvale/component/classes.h"

#include <map>
#include <mutex>

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
  if (cls.selector.empty()) return Route{method.name, ""};
  auto upper = selector.IsNull() ? std::nullopt : UpperTextForm(selector);
  if (!upper) return std::nullopt;
  if (cls.selector == "MailType") {
    if (*upper == "IMAIL") return Route{method.name, ""};
    if (*upper == "WINWEBMAIL") return Route{"MailCtrl.asp", "Action=" + method.name};
    return std::nullopt;
  }
  if (!method.fixed_command.empty())
    return *upper == "MSSQL" ? std::optional<Route>(Route{method.fixed_command, ""}) : std::nullopt;
  if (*upper != "MSSQL" && *upper != "MYSQL") return std::nullopt;
  return Route{method.prefix + *selector.TextForm() + method.suffix, ""};
}

}  // namespace

Variant RunMethod(const ClassTable& cls, const MethodEntry& method, const std::vector<Variant*>& args) {
  Variant result;
  const std::size_t own_start = cls.selector.empty() ? 3 : 4;
  auto route = ChooseRoute(cls, method, own_start == 4 ? *args[3] : Variant());
  if (!route) return Variant(cls.selector == "MailType" ? "MailType Error!" : "SQLType Error!");
  std::vector<const Variant*> own;
  for (std::size_t i = own_start; i < args.size(); ++i) own.push_back(args[i]);
  auto query = QueryText(method.params, own);
  // A parameter without a text form fails the statement: no request.
  if (!query) return result;
  if (!route->lead.empty()) *query = query->empty() ? route->lead : route->lead + "&" + *query;
  Variant local = SendCommand(*args[0], *args[1], *args[2], Variant(route->command), Variant(*query));
  result = local;
  return result;
}

namespace {

// The member table of a class, built once from its table.
const std::vector<Member>* MembersOf(const ClassTable& table) {
  static std::mutex mutex;
  static std::map<const ClassTable*, std::vector<Member>> tables;
  std::lock_guard lock(mutex);
  auto [it, fresh] = tables.try_emplace(&table);
  if (fresh) {
    for (std::size_t i = 0; i < table.methods.size(); ++i) {
      const MethodEntry* method = &table.methods[i];
      const std::size_t count = DeclaredParams(table, *method).size();
      it->second.push_back({method->name, kFirstDispid + static_cast<DISPID>(i),
                            [&table, method, count](const std::vector<Variant*>& args, std::uint16_t) {
                              if (args.size() != count) Raise(Error::kWrongArguments);
                              return RunMethod(table, *method, args);
                            },
                            DeclaredParams(table, *method)});
    }
  }
  return &it->second;
}

}  // namespace

ClassObject::ClassObject(const ClassTable& table) : table_(table), members_(MembersOf(table)) {}

bool ClassObject::Implements(const Guid& iid) const { return iid == *Guid::Parse(table_.iid); }

}  // namespace quorvale::component
