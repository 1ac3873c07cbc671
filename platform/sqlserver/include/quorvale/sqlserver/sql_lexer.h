// Tokens of a Transact-SQL batch: words (also [bracketed] and "quoted"
// identifiers), @variables, '..' and N'..' strings with '' for a quote,
// numbers and single-character symbols. Comments are skipped.
#pragma once

#include <string>
#include <vector>

namespace quorvale::sqlserver {

enum class TokenKind { kWord, kQuotedWord, kVariable, kString, kNumber, kSymbol, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;  // strings and quoted words without their quotes, '' undone
  bool national = false;
};

// Raises SqlError 105 for a string left open, as the server does before it
// runs anything of the batch.
std::vector<Token> Tokenize(const std::string& batch);

}  // namespace quorvale::sqlserver
