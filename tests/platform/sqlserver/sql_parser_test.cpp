#include "quorvale/sqlserver/sql_parser.h"

#include <gtest/gtest.h>

#include "quorvale/sqlserver/sql_error.h"

namespace quorvale::sqlserver {
namespace {

TEST(SqlParser, AttachBatchIsUseThenExecWithNamedNationalStrings) {
  auto b = ParseBatch(
      "USE master EXEC sp_attach_db @dbname = N'Pa''nel', @filename1= N'C:\\Q\\Data\\Panel.mdf', "
      "@filename2= N'C:\\Q\\Data\\Panel.ldf'");
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(std::get<UseStatement>(b[0]).database, "master");
  const auto& e = std::get<ExecStatement>(b[1]);
  EXPECT_EQ(e.procedure, "sp_attach_db");
  ASSERT_EQ(e.arguments.size(), 3u);
  EXPECT_EQ(e.arguments[0].name, "@dbname");
  EXPECT_EQ(e.arguments[0].value.text, "Pa'nel");
  EXPECT_EQ(e.arguments[2].value.text, "C:\\Q\\Data\\Panel.ldf");
}

TEST(SqlParser, ProcedureWithoutExecOnlyFirst) {
  auto b = ParseBatch("sp_addrolemember 'db_owner','Panel'");
  const auto& e = std::get<ExecStatement>(b.at(0));
  EXPECT_EQ(e.arguments.size(), 2u);
  EXPECT_THROW(ParseBatch("USE master sp_addlogin 'a'"), SqlError);
  // Procedures also take bare words, NULL and numbers.
  auto w = std::get<ExecStatement>(ParseBatch("exec master..sp_addlogin Quorvale, NULL, 5").at(0));
  EXPECT_EQ(w.procedure, "sp_addlogin");
  EXPECT_EQ(w.arguments[0].value.text, "Quorvale");
  EXPECT_EQ(w.arguments[1].value.kind, Value::Kind::kNull);
  EXPECT_EQ(w.arguments[2].value.kind, Value::Kind::kNumber);
}

TEST(SqlParser, SelectWithTableForms) {
  auto s =
      std::get<SelectStatement>(ParseBatch("select * from sysprocesses where dbid=db_id('Panel')").at(0));
  EXPECT_TRUE(s.columns.empty());
  EXPECT_EQ(s.table, "sysprocesses");
  ASSERT_EQ(s.where.size(), 1u);
  EXPECT_EQ(s.where[0].value.kind, Value::Kind::kDbId);
  EXPECT_EQ(s.where[0].value.text, "Panel");
  auto m = std::get<SelectStatement>(
      ParseBatch("SELECT name, dbid FROM master.dbo.sysdatabases WHERE name = N'x' AND dbid = 5").at(0));
  EXPECT_EQ(m.database, "master");
  EXPECT_EQ(m.columns, (std::vector<std::string>{"name", "dbid"}));
  EXPECT_EQ(m.where.size(), 2u);
  EXPECT_EQ(std::get<SelectStatement>(ParseBatch("select * from master..sysxlogins").at(0)).database,
            "master");
}

TEST(SqlParser, KillDropAndSeparators) {
  auto b = ParseBatch("kill 53; Drop Database [My Db], Other -- the rest\n/* c */");
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(std::get<KillStatement>(b[0]).spid, 53);
  EXPECT_EQ(std::get<DropDatabaseStatement>(b[1]).databases, (std::vector<std::string>{"My Db", "Other"}));
}

// A string or a quoted name that holds a symbol's character is a value:
// it neither ends the statement nor names an argument.
TEST(SqlParser, SymbolsInsideValuesAreValues) {
  struct Case {
    const char* batch;
    std::vector<std::string> values;
  } cases[] = {
      {"sp_addlogin ';','pw','db'", {";", "pw", "db"}},
      {"exec sp_addlogin N';'", {";"}},
      {"EXEC sp_addlogin [;], \";\"", {";", ";"}},
      {"sp_addlogin '=', '.', ','", {"=", ".", ","}},
      {"exec sp_grantdbaccess 'a'; exec sp_droplogin ';'", {"a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.batch);
    std::vector<Statement> b;
    try {
      b = ParseBatch(c.batch);
    } catch (const SqlError& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    const auto& e = std::get<ExecStatement>(b.at(0));
    std::vector<std::string> values;
    for (const auto& a : e.arguments) values.push_back(a.value.text);
    EXPECT_EQ(values, c.values);
  }
  auto two = ParseBatch("exec sp_grantdbaccess 'a'; exec sp_droplogin ';'");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(std::get<ExecStatement>(two[1]).arguments.at(0).value.text, ";");
  // A variable followed by a string '=' is no named argument.
  try {
    ParseBatch("exec sp_addlogin @x '='");
    ADD_FAILURE();
  } catch (const SqlError& e) {
    EXPECT_EQ(e.Native(), 137);
  }
}

TEST(SqlParser, RefusedBatches) {
  struct Case {
    const char* batch;
    int number;
    const char* message;
  } cases[] = {
      {"sp_addlogin 'O'Brien','pw','db'", 105, "Unclosed quotation mark before the character string ''."},
      {"select * from sysdatabases Where name = 'a", 105,
       "Unclosed quotation mark before the character string 'a'."},
      {"Drop Database [x", 105, "Unclosed quotation mark before the character string 'x'."},
      {"kill abc", 170, "Line 1: Incorrect syntax near 'abc'."},
      {"kill 99999999999999999999", 170, "Line 1: Incorrect syntax near '99999999999999999999'."},
      {"kill", 170, "Line 1: Incorrect syntax near ''."},
      {"select * sysdatabases", 170, "Line 1: Incorrect syntax near 'sysdatabases'."},
      {"select * from sysdatabases where name > 'a'", 170, "Line 1: Incorrect syntax near '>'."},
      {"select * from sysdatabases where name = 'a' or name = 'b'", 170,
       "Line 1: Incorrect syntax near 'or'."},
      {"Drop Table x", 170, "Line 1: Incorrect syntax near 'Table'."},
      {"UPDATE sysxlogins", 170, "Line 1: Incorrect syntax near 'UPDATE'."},
      {"exec sp_addlogin @loginame", 137, "Must declare the variable '@loginame'."},
      {"exec sp_addlogin @x, 'a'", 137, "Must declare the variable '@x'."},
      {"USE", 170, "Line 1: Incorrect syntax near ''."},
  };
  for (const auto& c : cases) {
    try {
      ParseBatch(c.batch);
      ADD_FAILURE() << c.batch;
    } catch (const SqlError& e) {
      EXPECT_EQ(e.Native(), c.number) << c.batch;
      EXPECT_STREQ(e.what(), c.message) << c.batch;
    }
  }
}

}  // namespace
}  // namespace quorvale::sqlserver
