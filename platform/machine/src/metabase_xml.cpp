// metabase.xml as text: written element per key under
// <configuration><MBProperty>, read back by a small strict reader that takes
// what a person may add by hand (comments, other elements, any spacing) and
// refuses anything it cannot read.
#include <cctype>
#include <set>

#include "quorvale/core/codepage.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

void Escape(std::string& out, const std::string& text) {
  for (char c : text) switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      case '\t': out += "&#9;"; break;
      default: out += c;
    }
}

bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

class Reader {
 public:
  Reader(const std::string& text, const std::filesystem::path& file) : t_(text), file_(file) {}

  // The keys are the elements with a Location directly inside <MBProperty>,
  // which lies inside the one root element, <configuration>. Open elements
  // are kept on a stack of names: no recursion, at any depth.
  std::vector<MetabaseKey> Read() {
    if (t_.empty()) Fail("it is empty");
    Skip();
    if (Starts("<?xml")) Past("?>");
    std::vector<MetabaseKey> keys;
    std::vector<std::string> open;
    bool root_seen = false, properties_seen = false;
    for (;;) {
      Skip();
      if (p_ >= t_.size()) break;
      if (Starts("<!--")) {
        Past("-->");
      } else if (root_seen && open.empty()) {
        Fail("text after the end of <configuration>");
      } else if (Starts("</")) {
        p_ += 2;
        const std::string name = Name();
        Skip();
        Expect('>');
        if (open.empty() || open.back() != name) Fail("</" + name + "> closes no element of that name");
        open.pop_back();
      } else if (Starts("<")) {
        ++p_;
        MetabaseKey key;
        key.key_type = Name();
        if (open.empty() && key.key_type != "configuration") Fail("the root element is not <configuration>");
        const bool is_properties = open.size() == 1 && key.key_type == "MBProperty";
        if (is_properties && properties_seen) Fail("a second <MBProperty>");
        properties_seen = properties_seen || is_properties;
        root_seen = true;
        bool has_location = false, closed = false;
        for (;;) {
          Skip();
          if (Starts("/>")) {
            p_ += 2;
            closed = true;
            break;
          }
          if (Starts(">")) {
            ++p_;
            break;
          }
          std::string name = Name();
          Skip();
          Expect('=');
          Skip();
          std::string value = Quoted();
          if (name == "Location") {
            key.location = value;
            has_location = true;
          } else {
            key.properties.emplace_back(name, value);
          }
        }
        if (!closed) open.push_back(key.key_type);
        if (has_location && open.size() == 2 + (closed ? 0 : 1) && open[1] == "MBProperty")
          keys.push_back(std::move(key));
      } else {
        Fail("text outside an element");
      }
    }
    if (!open.empty()) Fail("<" + open.back() + "> is not closed (cut short)");
    if (!properties_seen) Fail("no <MBProperty> inside <configuration>");
    return keys;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw MachineStateError(file_, why + " at byte " + std::to_string(p_));
  }
  bool Starts(const char* s) const { return t_.compare(p_, std::char_traits<char>::length(s), s) == 0; }
  void Skip() {
    while (p_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[p_]))) ++p_;
  }
  void Past(const char* end) {
    auto at = t_.find(end, p_);
    if (at == std::string::npos) Fail("cut short");
    p_ = at + std::char_traits<char>::length(end);
  }
  void Expect(char c) {
    if (p_ >= t_.size() || t_[p_] != c) Fail(std::string("'") + c + "' expected");
    ++p_;
  }
  std::string Name() {
    auto start = p_;
    while (p_ < t_.size() && NameChar(t_[p_])) ++p_;
    if (p_ == start) Fail("a name expected");
    return t_.substr(start, p_ - start);
  }
  std::string Quoted() {
    if (p_ >= t_.size() || (t_[p_] != '"' && t_[p_] != '\'')) Fail("a quoted value expected");
    const char q = t_[p_++];
    std::string out;
    for (;;) {
      if (p_ >= t_.size()) Fail("cut short");
      char c = t_[p_++];
      if (c == q) return out;
      if (c == '<') Fail("'<' inside a value");
      if (c != '&') {
        out += c;
        continue;
      }
      auto end = t_.find(';', p_);
      if (end == std::string::npos || end - p_ > 10) Fail("a broken entity");
      std::string e = t_.substr(p_, end - p_);
      p_ = end + 1;
      if (e == "amp")
        out += '&';
      else if (e == "lt")
        out += '<';
      else if (e == "gt")
        out += '>';
      else if (e == "quot")
        out += '"';
      else if (e == "apos")
        out += '\'';
      else if (e.size() > 1 && e[0] == '#') {
        const bool hex = e[1] == 'x' || e[1] == 'X';
        const std::string digits = e.substr(hex ? 2 : 1);
        if (digits.empty() ||
            digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
          Fail("a broken character reference");
        unsigned long cp = std::stoul(digits, nullptr, hex ? 16 : 10);
        if (cp == 0 || cp > 0x10FFFF) Fail("a broken character reference");
        AppendUtf8(out, static_cast<std::uint32_t>(cp));
      } else {
        Fail("an unknown entity &" + e + ";");
      }
    }
  }

  const std::string& t_;
  const std::filesystem::path& file_;
  std::size_t p_ = 0;
};

}  // namespace

std::string WriteMetabaseXml(const std::vector<MetabaseKey>& keys) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>\n<MBProperty>\n";
  for (const auto& k : keys) {
    out += "<" + k.key_type + "\tLocation=\"";
    Escape(out, k.location);
    out += "\"";
    for (const auto& [name, value] : k.properties) {
      out += "\n\t\t" + name + "=\"";
      Escape(out, value);
      out += "\"";
    }
    out += "\n\t>\n</" + k.key_type + ">\n";
  }
  out += "</MBProperty>\n</configuration>\n";
  return out;
}

std::vector<MetabaseKey> ParseMetabaseXml(const std::string& text, const std::filesystem::path& file) {
  auto keys = Reader(text, file).Read();
  std::set<std::string> seen;
  for (const auto& k : keys) {
    std::string upper = k.location;
    while (upper.size() > 1 && upper.back() == '/') upper.pop_back();
    if (!seen.insert(UpperCase(upper)).second)
      throw MachineStateError(file, "the key " + k.location + " is there twice");
  }
  if (!seen.count("/LM/W3SVC")) throw MachineStateError(file, "it holds no /LM/W3SVC key");
  return keys;
}

}  // namespace quorvale
