// The statements' work on a copy of the catalogue (private to the server).
#pragma once

#include <string>
#include <vector>

#include "quorvale/sqlserver/catalogue.h"
#include "quorvale/sqlserver/session.h"
#include "quorvale/sqlserver/sql_parser.h"

namespace quorvale::sqlserver {

struct StatementContext {
  const Machine& machine;
  Catalogue& catalogue;
  Caller& caller;
  std::vector<std::string> files_to_delete;  // after the catalogue is written
};

void RunProcedure(StatementContext& x, const ExecStatement& e);
ResultSet RunSelect(StatementContext& x, const SelectStatement& s);
void RunUse(StatementContext& x, const std::string& database);
void RunKill(StatementContext& x, long spid);
void RunDropDatabase(StatementContext& x, const std::string& database);

}  // namespace quorvale::sqlserver
