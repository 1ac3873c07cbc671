// Every statement the programs send to SQL Server, each a function of its
// values. A value goes between single quotes with each single quote
// doubled, a database name to drop as a bracketed name with each "]"
// doubled, so no name, login or password can end its statement early.
#pragma once

#include <string>

namespace quorvale::setup {

// 'text' with each ' doubled.
std::string SqlText(const std::string& value);
// [name] with each ] doubled.
std::string SqlName(const std::string& name);

// Attaches folder\Data\<db>.mdf and .ldf under the name db.
std::string AttachStatement(const std::string& db, const std::string& folder);
std::string CreateLoginStatement(const std::string& login, const std::string& password,
                                 const std::string& db);
std::string GrantAccessStatement(const std::string& login);
// Binds the database's user of that name to the login of that name.
std::string FixOrphanedUserStatement(const std::string& login);
std::string MakeOwnerStatement(const std::string& login);
// A row when the server has a database of that name.
std::string DatabasePresentQuery(const std::string& db);
// A row when the server has a login of that name.
std::string LoginPresentQuery(const std::string& login);
// The processes using the database, each with its spid.
std::string DatabaseProcessesQuery(const std::string& db);
std::string KillStatement(long spid);
std::string DropDatabaseStatement(const std::string& db);
std::string DropLoginStatement(const std::string& login);

}  // namespace quorvale::setup
