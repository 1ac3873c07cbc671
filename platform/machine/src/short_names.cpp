#include "quorvale/machine/short_names.h"

#include <cstring>
#include <vector>

namespace quorvale {

namespace {

// One character of a UTF-8 name with its width in code page 936.
struct Char {
  std::string text;
  int width;
};

std::vector<Char> Chars(const std::string& s) {
  std::vector<Char> out;
  for (std::size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (i + n > s.size()) n = s.size() - i;
    out.push_back({s.substr(i, n), n == 1 ? 1 : 2});
    i += n;
  }
  return out;
}

bool Forbidden(const Char& c) {
  return c.width == 1 && (std::strchr(" +,;=[]\"*<>?|:/\\", c.text[0]) || c.text[0] < 0x21);
}

int Width(const std::vector<Char>& cs) {
  int w = 0;
  for (const auto& c : cs) w += c.width;
  return w;
}

// Upper-cases ASCII and drops or replaces what an 8.3 name cannot hold.
std::vector<Char> Clean(const std::vector<Char>& cs) {
  std::vector<Char> out;
  for (auto c : cs) {
    if (c.width == 1 && (c.text[0] == ' ' || c.text[0] == '.')) continue;
    if (Forbidden(c)) c.text = "_";
    if (c.width == 1 && c.text[0] >= 'a' && c.text[0] <= 'z') c.text[0] = static_cast<char>(c.text[0] - 32);
    out.push_back(c);
  }
  return out;
}

std::string Prefix(const std::vector<Char>& cs, int max_width) {
  std::string out;
  int w = 0;
  for (const auto& c : cs) {
    if (w + c.width > max_width) break;
    out += c.text;
    w += c.width;
  }
  return out;
}

}  // namespace

bool FitsShortName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return !name.empty();
  auto cs = Chars(name);
  std::size_t dots = 0, dot = 0;
  for (std::size_t i = 0; i < cs.size(); ++i) {
    if (Forbidden(cs[i])) return false;
    if (cs[i].text == ".") ++dots, dot = i;
  }
  if (dots > 1) return false;
  if (dots == 0) return Width(cs) <= 8;
  std::vector<Char> base(cs.begin(), cs.begin() + static_cast<long>(dot));
  std::vector<Char> ext(cs.begin() + static_cast<long>(dot) + 1, cs.end());
  return !base.empty() && Width(base) <= 8 && !ext.empty() && Width(ext) <= 3;
}

std::string MakeShortName(const std::string& long_name,
                          const std::function<bool(const std::string&)>& taken) {
  auto cs = Chars(long_name);
  std::size_t dot = cs.size();
  for (std::size_t i = cs.size(); i-- > 1;)
    if (cs[i].text == ".") {
      dot = i;
      break;
    }
  std::vector<Char> base = Clean({cs.begin(), cs.begin() + static_cast<long>(dot)});
  std::vector<Char> ext;
  if (dot < cs.size()) ext = Clean({cs.begin() + static_cast<long>(dot) + 1, cs.end()});
  if (base.empty()) base.push_back({"_", 1});
  std::string tail = ext.empty() ? "" : "." + Prefix(ext, 3);
  for (int n = 1;; ++n) {
    std::string tilde = "~" + std::to_string(n);
    std::string candidate = Prefix(base, 8 - static_cast<int>(tilde.size())) + tilde + tail;
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace quorvale
