#include "quorvale/sqlserver/sql_lexer.h"

#include <cctype>

#include "quorvale/sqlserver/sql_error.h"

namespace quorvale::sqlserver {

namespace {

bool WordChar(char c) {
  auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || c == '#' || c == '$' || c == '@' || u >= 0x80;
}

[[noreturn]] void Unclosed(const std::string& rest) {
  throw SqlError("42000", 105, "Unclosed quotation mark before the character string '" + rest + "'.");
}

// Reads a run closed by `close`, where a doubled close stands for one.
std::string Quoted(const std::string& s, std::size_t& i, char close) {
  std::string out;
  const std::size_t start = i;
  for (; i < s.size(); ++i) {
    if (s[i] != close) {
      out += s[i];
      continue;
    }
    if (i + 1 < s.size() && s[i + 1] == close) {
      out += close;
      ++i;
      continue;
    }
    ++i;
    return out;
  }
  Unclosed(s.substr(start));
}

}  // namespace

void IncorrectSyntax(const std::string& near) {
  throw SqlError("42000", 170, "Line 1: Incorrect syntax near '" + near + "'.");
}

std::vector<Token> Tokenize(const std::string& s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      auto end = s.find("*/", i + 2);
      i = end == std::string::npos ? s.size() : end + 2;
    } else if (c == '\'') {
      ++i;
      out.push_back({TokenKind::kString, Quoted(s, i, '\''), false});
    } else if ((c == 'N' || c == 'n') && i + 1 < s.size() && s[i + 1] == '\'') {
      i += 2;
      out.push_back({TokenKind::kString, Quoted(s, i, '\''), true});
    } else if (c == '[') {
      ++i;
      out.push_back({TokenKind::kQuotedWord, Quoted(s, i, ']'), false});
    } else if (c == '"') {
      ++i;
      out.push_back({TokenKind::kQuotedWord, Quoted(s, i, '"'), false});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      std::size_t start = i;
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
      out.push_back({TokenKind::kNumber, s.substr(start, i - start), false});
    } else if (WordChar(c)) {
      std::size_t start = i;
      while (i < s.size() && WordChar(s[i])) ++i;
      std::string word = s.substr(start, i - start);
      out.push_back({c == '@' ? TokenKind::kVariable : TokenKind::kWord, word, false});
    } else {
      out.push_back({TokenKind::kSymbol, std::string(1, c), false});
      ++i;
    }
  }
  out.push_back({TokenKind::kEnd, "", false});
  return out;
}

}  // namespace quorvale::sqlserver
