#include "quorvale/component/method_table.h"

namespace quorvale::component {

std::vector<std::string> DeclaredParams(const ClassTable& cls, const MethodEntry& method) {
  std::vector<std::string> all = {"ServerIP", "ServerPort", "ServerPassWord"};
  if (!cls.selector.empty()) all.push_back(cls.selector);
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
