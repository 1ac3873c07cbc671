// The statements of a batch the server runs: USE, EXEC of a stored
// procedure (EXEC may be left out for the first statement of a batch),
// SELECT from one table with a WHERE of equalities joined by AND, DROP
// DATABASE and KILL. Anything else is refused with the server's syntax error.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quorvale::sqlserver {

// A value in a statement: a string or number literal, NULL, or db_id(...).
struct Value {
  enum class Kind { kText, kNumber, kNull, kDbId } kind = Kind::kNull;
  std::string text;               // the literal, or db_id's argument
  bool db_id_of_current = false;  // db_id() without an argument
};

struct UseStatement {
  std::string database;
};

struct ProcedureArgument {
  std::string name;  // "@dbname" when given by name, else empty
  Value value;
};

struct ExecStatement {
  std::string procedure;
  std::vector<ProcedureArgument> arguments;
};

struct Condition {
  std::string column;
  Value value;
};

struct SelectStatement {
  std::vector<std::string> columns;  // empty for *
  std::string database;              // "master" in master..sysdatabases, else empty
  std::string table;
  std::vector<Condition> where;
};

struct DropDatabaseStatement {
  std::vector<std::string> databases;
};

struct KillStatement {
  long spid = 0;
};

using Statement =
    std::variant<UseStatement, ExecStatement, SelectStatement, DropDatabaseStatement, KillStatement>;

// Raises SqlError (105 for a string left open, 170 for a syntax error);
// nothing of a batch that does not parse is run.
std::vector<Statement> ParseBatch(const std::string& batch);

}  // namespace quorvale::sqlserver
