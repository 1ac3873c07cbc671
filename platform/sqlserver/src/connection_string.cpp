#include "quorvale/sqlserver/connection_string.h"

#include <algorithm>
#include <stdexcept>

#include "quorvale/core/text.h"

namespace quorvale::sqlserver {

namespace {

[[noreturn]] void Invalid() { throw std::invalid_argument("Invalid connection string attribute"); }

// The braced value that starts at text[i] == '{'; i ends after the "}".
std::string Braced(const std::string& text, std::size_t& i) {
  std::string value;
  for (++i; i < text.size(); ++i) {
    if (text[i] != '}') {
      value += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '}') {
      value += '}';
      ++i;
    } else {
      ++i;
      return value;
    }
  }
  Invalid();
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseConnectionString(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto eq = text.find('=', i);
    const auto end = std::min(text.find(';', i), text.size());
    if (eq == std::string::npos || eq > end) {
      // An attribute without "=": empty ones (";;") are passed over.
      if (!Trim(text.substr(i, end - i)).empty()) Invalid();
      i = end + 1;
      continue;
    }
    std::string key = UpperCase(Trim(text.substr(i, eq - i)));
    i = eq + 1;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string value;
    if (i < text.size() && text[i] == '{') {
      value = Braced(text, i);
      const auto semi = text.find(';', i);
      if (!Trim(text.substr(i, semi == std::string::npos ? std::string::npos : semi - i)).empty()) Invalid();
      i = semi == std::string::npos ? text.size() : semi + 1;
    } else {
      const auto semi = text.find(';', i);
      value = Trim(text.substr(i, semi == std::string::npos ? std::string::npos : semi - i));
      i = semi == std::string::npos ? text.size() : semi + 1;
    }
    out.emplace_back(std::move(key), std::move(value));
  }
  return out;
}

}  // namespace quorvale::sqlserver
