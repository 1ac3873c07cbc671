#include "quorvale/component/method_table.h"

namespace quorvale::component {

const char* SelectorName(Selector selector) {
  switch (selector) {
    case Selector::kMailType: return "MailType";
    case Selector::kSQLType: return "SQLType";
    case Selector::kNone: break;
  }
  return nullptr;
}

std::vector<std::string> DeclaredParams(const ClassTable& cls, const MethodEntry& method) {
  std::vector<std::string> all = {"ServerIP", "ServerPort", "ServerPassWord"};
  if (cls.selector != Selector::kNone) all.push_back(SelectorName(cls.selector));
  all.insert(all.end(), method.params.begin(), method.params.end());
  return all;
}

std::optional<std::string> QueryText(const std::vector<std::string>& keys,
                                     const std::vector<const Variant*>& values) {
  std::string query;
  for (std::size_t i = 0; i < keys.size() && i < values.size(); ++i) {
    auto text = values[i]->TextForm();
    if (!text) return std::nullopt;
    if (i) query += '&';
    query += keys[i];
    query += '=';
    query += *text;
  }
  return query;
}

}  // namespace quorvale::component
