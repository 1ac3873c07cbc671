#include "quorvale/sqlserver/sql_parser.h"

#include <charconv>
#include <system_error>

#include "quorvale/core/text.h"
#include "quorvale/core/variant.h"
#include "quorvale/sqlserver/sql_error.h"
#include "quorvale/sqlserver/sql_lexer.h"

namespace quorvale::sqlserver {

namespace {

bool IsKeyword(const Token& t, const char* word) {
  return t.kind == TokenKind::kWord && UpperCase(t.text) == word;
}

// A symbol of the statement itself: a string or a quoted name that holds the
// same character is a value, never punctuation.
bool IsSymbol(const Token& t, const char* symbol) { return t.kind == TokenKind::kSymbol && t.text == symbol; }

bool StartsStatement(const Token& t) {
  for (const char* k : {"USE", "EXEC", "EXECUTE", "SELECT", "DROP", "KILL"})
    if (IsKeyword(t, k)) return true;
  return false;
}

// Statements of Transact-SQL this server does not run; a batch that starts
// with one is not taken for a procedure call.
bool Reserved(const Token& t) {
  for (const char* k :
       {"CREATE", "ALTER",  "INSERT",   "UPDATE", "DELETE", "GRANT", "REVOKE",   "DENY",   "DECLARE", "SET",
        "BEGIN",  "COMMIT", "ROLLBACK", "IF",     "WHILE",  "PRINT", "TRUNCATE", "BACKUP", "RESTORE", "DBCC"})
    if (IsKeyword(t, k)) return true;
  return false;
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

  std::vector<Statement> Batch() {
    std::vector<Statement> out;
    while (Peek().kind != TokenKind::kEnd) {
      if (Symbol(";")) continue;
      out.push_back(One(out.empty()));
      const Token& next = Peek();
      if (next.kind != TokenKind::kEnd && !StartsStatement(next) && !IsSymbol(next, ";"))
        IncorrectSyntax(next.text);
    }
    return out;
  }

 private:
  const Token& Peek() const { return t_[i_]; }
  const Token& Next() {
    const Token& t = t_[i_];
    if (t.kind != TokenKind::kEnd) ++i_;
    return t;
  }
  bool Symbol(const char* s) {
    if (IsSymbol(Peek(), s)) {
      ++i_;
      return true;
    }
    return false;
  }
  void Expect(const char* s) {
    if (!Symbol(s)) IncorrectSyntax(Peek().text);
  }
  bool Keyword(const char* k) {
    if (IsKeyword(Peek(), k)) {
      ++i_;
      return true;
    }
    return false;
  }
  std::string Name() {
    const Token& t = Peek();
    if ((t.kind != TokenKind::kWord && t.kind != TokenKind::kQuotedWord) || StartsStatement(t))
      IncorrectSyntax(t.text);
    return Next().text;
  }

  Statement One(bool first) {
    if (Keyword("USE")) return UseStatement{Name()};
    if (Keyword("EXEC") || Keyword("EXECUTE")) return Exec();
    if (Keyword("SELECT")) return Select();
    if (Keyword("DROP")) {
      if (!Keyword("DATABASE")) IncorrectSyntax(Peek().text);
      DropDatabaseStatement d;
      do d.databases.push_back(Name());
      while (Symbol(","));
      return d;
    }
    if (Keyword("KILL")) {
      // Digits past what a number holds are no process ID either.
      const Token& id = Peek();
      long spid = 0;
      const char* digits = id.text.data();
      if (id.kind != TokenKind::kNumber ||
          std::from_chars(digits, digits + id.text.size(), spid).ec != std::errc())
        IncorrectSyntax(id.text);
      Next();
      return KillStatement{spid};
    }
    // A procedure may be called without EXEC as the first statement of a batch.
    if (first && Peek().kind == TokenKind::kWord && !Reserved(Peek())) return Exec();
    IncorrectSyntax(Peek().text);
  }

  ExecStatement Exec() {
    ExecStatement e;
    e.procedure = Name();
    // master..sp_x and dbo.sp_x name the procedure by their last part.
    while (Symbol("."))
      if (Peek().kind != TokenKind::kSymbol) e.procedure = Name();
    if (Peek().kind == TokenKind::kEnd || StartsStatement(Peek()) || IsSymbol(Peek(), ";")) return e;
    do {
      ProcedureArgument a;
      if (Peek().kind == TokenKind::kVariable && IsSymbol(t_[i_ + 1], "=")) {
        a.name = Next().text;
        Next();
      }
      a.value = Literal(true);
      e.arguments.push_back(std::move(a));
    } while (Symbol(","));
    return e;
  }

  // A literal; a bare word passes as text where a procedure takes it.
  Value Literal(bool bare_words) {
    const Token& t = Peek();
    if (t.kind == TokenKind::kString) return {Value::Kind::kText, Next().text, false};
    if (t.kind == TokenKind::kNumber) return {Value::Kind::kNumber, Next().text, false};
    if (Symbol("-") && Peek().kind == TokenKind::kNumber)
      return {Value::Kind::kNumber, "-" + Next().text, false};
    if (t.kind == TokenKind::kVariable)
      throw SqlError("42000", 137, "Must declare the variable '" + t.text + "'.");
    if (IsKeyword(t, "NULL")) {
      Next();
      return {};
    }
    if (IsKeyword(t, "DB_ID")) {
      Next();
      Expect("(");
      Value v{Value::Kind::kDbId, "", true};
      if (!Symbol(")")) {
        Value arg = Literal(false);
        if (arg.kind != Value::Kind::kText) IncorrectSyntax(")");
        v.text = arg.text;
        v.db_id_of_current = false;
        Expect(")");
      }
      return v;
    }
    if (bare_words && (t.kind == TokenKind::kWord || t.kind == TokenKind::kQuotedWord) && !StartsStatement(t))
      return {Value::Kind::kText, Next().text, false};
    IncorrectSyntax(t.text);
  }

  SelectStatement Select() {
    SelectStatement s;
    if (!Symbol("*")) {
      do s.columns.push_back(Name());
      while (Symbol(","));
    }
    if (!Keyword("FROM")) IncorrectSyntax(Peek().text);
    // db.owner.table, db..table, owner.table or table
    std::vector<std::string> parts{Name()};
    while (Symbol(".")) parts.push_back(Peek().kind == TokenKind::kSymbol ? "" : Name());
    if (parts.size() > 3 || parts.back().empty()) IncorrectSyntax(".");
    s.table = parts.back();
    if (parts.size() == 3) s.database = parts[0];
    if (Keyword("WHERE")) {
      do {
        Condition c;
        c.column = Name();
        Expect("=");
        c.value = Literal(false);
        s.where.push_back(std::move(c));
      } while (Keyword("AND"));
    }
    return s;
  }

  std::vector<Token> t_;
  std::size_t i_ = 0;
};

}  // namespace

std::vector<Statement> ParseBatch(const std::string& batch) { return Parser(Tokenize(batch)).Batch(); }

}  // namespace quorvale::sqlserver
