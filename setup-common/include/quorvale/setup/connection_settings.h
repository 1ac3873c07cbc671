// The panel's connection settings, Web\Inc\Conn.asp in the install folder:
// five VBScript lines such as  ServerName = "(local)"  among the page's
// other lines. The file is code page 936 with CR LF line ends; each write
// adds one CR LF at its end. A value goes into its VBScript string with each
// double quote doubled, and is read back with a doubled quote as one.
#pragma once

#include <string>

namespace quorvale::setup {

// folder\Web\Inc\Conn.asp
std::string ConnectionSettingsFile(const std::string& folder);

// The file's text. Raises (error 53 for a missing file, 75 for one that
// cannot be read or holds bytes code page 936 does not) and gives nothing.
std::string ReadSettingsFile(const std::string& folder);
// Writes the text and one CR LF in its place. Raises, writing nothing, when
// the text has a character code page 936 lacks or the file cannot be made.
void WriteSettingsFile(const std::string& folder, const std::string& text);

struct ConnectionSettings {
  std::string type, server, login, pw, db;
};

// The five values, taken from the lines in order by their first six letters
// (any letter case) up to the first "databa" line; a line of six characters
// or fewer, or one without a double quote, leaves them as they are.
ConnectionSettings ReadConnectionSettings(const std::string& text);

// The setup's edit of the shipped settings: "Access", "(local)" and the three
// empty values become "SQL" and the given ones; a file changed before keeps
// its values.
std::string EditedSettings(const std::string& text, const std::string& server, const std::string& login,
                           const std::string& pw, const std::string& db);
// The repair's: every settings line (its name, blanks, "=", blanks and a
// quoted value) up to the DataBase line becomes a new line with the given
// value and its comment; identical lines all change. Other lines stay,
// also those that begin with the same letters (Server.ScriptTimeout = 90).
std::string RewrittenSettings(const std::string& text, const std::string& server, const std::string& login,
                              const std::string& pw, const std::string& db);

// Read, change and write the file; a file that cannot be read is left as it is.
void EditConnectionSettings(const std::string& folder, const std::string& server, const std::string& login,
                            const std::string& pw, const std::string& db);
void RewriteConnectionSettings(const std::string& folder, const std::string& server, const std::string& login,
                               const std::string& pw, const std::string& db);

}  // namespace quorvale::setup
