#include "quorvale/setup/connection_settings.h"

#include <vector>

#include "quorvale/core/text.h"

namespace quorvale::setup {

namespace {

constexpr char kQuote = '"';

struct Setting {
  const char* key;   // the first six letters, lower-cased
  const char* name;  // as the line spells it
  std::size_t blanks;
  const char* comment;
};

// The repair's new lines: name = "value", the blanks, the comment.
constexpr Setting kSettings[] = {
    {"dbtype", "DBType", 15, "'数据库类型,如果数据库为SQL数据库,则此值为SQL"},
    {"server", "ServerName", 14, "'SQLServer数据库服务器"},
    {"userna", "UserName", 19, "'用户名"},
    {"passwo", "PassWord", 23, "'密码"},
    {"databa", "DataBase", 23, "'数据库名"},
};

// A value as a VBScript string literal: in quotes, each quote doubled.
std::string Literal(const std::string& value) {
  std::string out(1, kQuote);
  for (char c : value) {
    out += c;
    if (c == kQuote) out += kQuote;
  }
  return out + kQuote;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const auto end = text.find("\r\n", start);
    out.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return out;
    start = end + 2;
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
  return out;
}

std::string ReplaceAll(const std::string& text, const std::string& what, const std::string& with) {
  std::string out;
  std::size_t start = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, start)) {
    out.append(text, start, at - start).append(with);
    start = at + what.size();
  }
  return out.append(text, start);
}

// The setting a line is taken for, by its first six letters; nothing for a
// line of six characters or fewer (the keys are six ASCII letters, so bytes
// count as characters here).
const Setting* KeyOf(const std::string& line) {
  if (line.size() <= 6) return nullptr;
  const std::string key = LowerCase(line.substr(0, 6));
  for (const auto& s : kSettings)
    if (key == s.key) return &s;
  return nullptr;
}

// The string literal that starts at text[at] == '"', with "" as one quote:
// up to its closing quote, or to the end when it has none (closed false).
std::string ReadLiteral(const std::string& text, std::size_t at, bool* closed = nullptr) {
  std::string value;
  for (++at; at < text.size(); ++at) {
    if (text[at] != kQuote) {
      value += text[at];
    } else if (at + 1 < text.size() && text[at + 1] == kQuote) {
      value += kQuote;
      ++at;
    } else {
      if (closed) *closed = true;
      return value;
    }
  }
  if (closed) *closed = false;
  return value;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Whether the line sets the setting: its name, blanks, "=", blanks and a
// closed string literal; whatever follows (a comment) does not matter.
bool SetsIt(const std::string& line, const Setting& s) {
  const std::string name = s.name;
  if (!SameText(std::string_view(line).substr(0, name.size()), name)) return false;
  std::size_t at = name.size();
  while (at < line.size() && Blank(line[at])) ++at;
  if (at == line.size() || line[at] != '=') return false;
  for (++at; at < line.size() && Blank(line[at]);) ++at;
  if (at == line.size() || line[at] != kQuote) return false;
  bool closed = false;
  ReadLiteral(line, at, &closed);
  return closed;
}

}  // namespace

std::string ConnectionSettingsFile(const std::string& folder) { return folder + "\\Web\\Inc\\Conn.asp"; }

ConnectionSettings ReadConnectionSettings(const std::string& text) {
  ConnectionSettings out;
  std::string* fields[] = {&out.type, &out.server, &out.login, &out.pw, &out.db};
  for (const auto& line : Lines(text)) {
    const Setting* s = KeyOf(line);
    if (!s) continue;
    const bool last = s == &kSettings[4];
    if (auto quote = line.find(kQuote); quote != std::string::npos)
      *fields[s - kSettings] = ReadLiteral(line, quote);
    if (last) break;
  }
  return out;
}

std::string EditedSettings(const std::string& text, const std::string& server, const std::string& login,
                           const std::string& pw, const std::string& db) {
  const std::pair<std::string, std::string> rows[] = {
      {"DBType = " + Literal("Access"), "DBType = " + Literal("SQL")},
      {"ServerName = " + Literal("(local)"), "ServerName = " + Literal(server)},
      {"UserName = " + Literal(""), "UserName = " + Literal(login)},
      {"PassWord = " + Literal(""), "PassWord = " + Literal(pw)},
      {"DataBase = " + Literal(""), "DataBase = " + Literal(db)},
  };
  std::string out = text;
  for (const auto& [searched, replacement] : rows) out = ReplaceAll(out, searched, replacement);
  return out;
}

std::string RewrittenSettings(const std::string& text, const std::string& server, const std::string& login,
                              const std::string& pw, const std::string& db) {
  const std::string values[] = {"SQL", server, login, pw, db};
  const auto lines = Lines(text);
  auto out = lines;
  for (const auto& line : lines) {
    const Setting* s = KeyOf(line);
    if (!s) continue;
    if (SetsIt(line, *s)) {
      const std::string fresh =
          s->name + (" = " + Literal(values[s - kSettings])) + std::string(s->blanks, ' ') + s->comment;
      for (auto& l : out)
        if (l == line) l = fresh;
    }
    if (s == &kSettings[4]) break;
  }
  return Joined(out);
}

}  // namespace quorvale::setup
