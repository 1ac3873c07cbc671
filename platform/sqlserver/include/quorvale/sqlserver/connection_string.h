// ODBC connection strings as the driver reads them: "key=value;...".
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quorvale::sqlserver {

// Keys come upper-cased without their surrounding blanks. A value in braces
// is taken as it stands, with "}}" inside for one "}", so it may hold ";",
// "{", "}" and blanks at its ends; any other value runs to the next ";" and
// loses its surrounding blanks. Empty attributes (";;") are passed over.
// Raises std::invalid_argument for a brace left open, text between a closing
// brace and the next ";", or an attribute without "=".
std::vector<std::pair<std::string, std::string>> ParseConnectionString(const std::string& text);

}  // namespace quorvale::sqlserver
