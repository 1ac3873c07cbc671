// The files a database is attached from. A data file begins with the line
// kDataFileHeader, then the database's users, one user line each (as
// FormatUserLine writes them), up to the first NUL byte or the end of the
// file; a log file begins with kLogFileHeader. The rest of either file is the
// database's pages, which the server keeps as they are.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quorvale/sqlserver/catalogue.h"

namespace quorvale::sqlserver {

inline constexpr std::string_view kDataFileHeader = "SQL Server 2000 data file\n";
inline constexpr std::string_view kLogFileHeader = "SQL Server 2000 log file\n";

// A data file of size bytes (more when its header needs more) holding only
// the header: a database without users of its own; NUL bytes after it.
std::string NewDataFile(std::size_t size);
// A log file of size bytes (more when its header needs more).
std::string NewLogFile(std::size_t size);

// The users a data file holds; nothing when the file cannot be read or is
// no data file.
std::optional<std::vector<DatabaseUser>> ReadDataFileUsers(const std::filesystem::path& file);
bool IsLogFile(const std::filesystem::path& file);
// Writes the users into the data file's header in place; the pages after
// it stay. False, writing nothing, when the file cannot be written, is no
// data file, or the users need more room than its header and the NUL bytes
// after it.
bool WriteDataFileUsers(const std::filesystem::path& file, const std::vector<DatabaseUser>& users);

}  // namespace quorvale::sqlserver
