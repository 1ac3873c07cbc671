#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"
#include "src/odbc_handles.h"

namespace quorvale::sqlserver::odbc {

std::vector<std::pair<std::string, std::string>> ParseConnectionString(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> out;
  std::size_t i = 0;
  while (i < text.size()) {
    auto eq = text.find('=', i);
    if (eq == std::string::npos) break;
    std::string key = text.substr(i, eq - i);
    while (!key.empty() && key.front() == ' ') key.erase(key.begin());
    while (!key.empty() && key.back() == ' ') key.pop_back();
    std::string value;
    i = eq + 1;
    if (i < text.size() && text[i] == '{') {
      auto close = text.find('}', i);
      value = text.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
      i = close == std::string::npos ? text.size() : close + 1;
      auto semi = text.find(';', i);
      i = semi == std::string::npos ? text.size() : semi + 1;
    } else {
      auto semi = text.find(';', i);
      value = text.substr(i, semi == std::string::npos ? std::string::npos : semi - i);
      i = semi == std::string::npos ? text.size() : semi + 1;
    }
    out.emplace_back(UpperCase(key), value);
  }
  return out;
}

}  // namespace quorvale::sqlserver::odbc
