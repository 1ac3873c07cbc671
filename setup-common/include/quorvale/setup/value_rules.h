// What the wizard pages refuse in a text box before its value goes into a
// file, a statement, a connection string or a path. One check serves every
// box; the table below says, box by box, what each refuses on top of what
// every box refuses.
//
// Every box refuses, in this order, each with a message naming the box:
//   - control characters (CR, LF, NUL, tab, the rest of C0, and DEL): a
//     profile line, a Conn.asp line or a path cannot hold them;
//   - characters code page 936 lacks: every file and call the value reaches
//     is ANSI, where they would become "?";
//   - the box's own characters (the table);
//   - a blank at either end, and a value in one pair of quotes: every value
//     is kept in System.ini or Uninstall.ini, whose profile read drops both;
//   - more bytes in code page 936 than the box's limit (a Chinese character
//     counts two, as the ANSI calls count): at most 1023, what a profile
//     read with GetIniKey's 1024-byte buffer gives back whole.
// Lengths count code page 936 bytes throughout, so one rule covers a record,
// a path and SQL Server's own limit alike.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "quorvale/win32/types.h"

namespace quorvale::setup {

// MAX_PATH less its NUL: the longest path the ANSI calls take.
inline constexpr std::size_t kLongestPath = win32::MAX_PATH - 1;
// What GetIniKey reads back whole.
inline constexpr std::size_t kLongestIniValue = 1023;
// SQL Server 2000's names and passwords are at most 128 characters; counted
// in bytes, so the data files named after the database leave room for the
// install folder (Data\<name>.mdf stays within 137 bytes).
inline constexpr std::size_t kLongestSqlName = 128;

struct ValueRule {
  const char* name;                        // the box as its messages name it
  const char* refused = "";                // its own refused characters
  std::size_t longest = kLongestIniValue;  // bytes in code page 936
  // A folder the install puts files in: its value and the longest path put
  // inside it ("\" included, in bytes) stay within longest together.
  bool folder = false;
  std::size_t inside = 0;
};

// The message refusing value under rule; nothing when the value is taken.
// An empty value is taken: emptiness is each page's own check.
std::optional<std::string> RefusalOf(std::string_view value, const ValueRule& rule);

// Bytes of the text in code page 936 (a character it lacks counts one).
std::size_t AnsiLength(std::string_view text);

// The table: what each box refuses beyond every box's rules, and its limit.
//
// Server's path boxes: System.ini and the paths themselves. PHP and CGI
// paths stand in the script-map lines of System.ini, whose fields are
// separated by ",". The WinWebMail folder receives Web\MailCtrl.asp.
inline constexpr ValueRule kServUFileRule{"Serv-U帐户配置文件路径", "", kLongestPath};
inline constexpr ValueRule kPHPFileRule{"PHP脚本执行程序路径", ",", kLongestPath};
inline constexpr ValueRule kCGIFileRule{"CGI脚本执行程序路径", ",", kLongestPath};
inline constexpr ValueRule kIMailPathRule{"iMail安装路径", "", kLongestPath};
inline constexpr ValueRule kWinWebMailPathRule{"WinWebMail安装路径", "", kLongestPath, true,
                                               sizeof "\\Web\\MailCtrl.asp" - 1};
// Server's database pages: System.ini. A live connection opens with the
// values before they are used, so nothing more is refused.
inline constexpr ValueRule kSQLServerServerRule{"SQL Server服务器地址"};
inline constexpr ValueRule kSQLServerUserRule{"SQL Server数据库管理员帐号"};
inline constexpr ValueRule kSQLServerPasswordRule{"SQL Server数据库管理密码"};
inline constexpr ValueRule kMySQLServerRule{"MySQL服务器地址"};
inline constexpr ValueRule kMySQLUserRule{"MySQL数据库管理员帐号"};
inline constexpr ValueRule kMySQLPasswordRule{"MySQL数据库管理密码"};
// Client's DataBase page. The administrator's three go into Uninstall.ini
// and are checked by a live connection; the server also stands between
// double quotes in Conn.asp. The panel's own three are used by no
// connection before the install: they go between double quotes into
// Conn.asp, between single quotes into the statements, into the panel's
// "uid=...;pwd=...;database=..." as they are, and the database's name into
// the data files' names.
inline constexpr ValueRule kMSSQLServerRule{"SQL服务器地址", "\""};
inline constexpr ValueRule kMSSQLUserNameRule{"SQL数据库管理员帐号"};
inline constexpr ValueRule kMSSQLPassWordRule{"SQL数据库管理密码"};
inline constexpr ValueRule kDataBaseRule{"新建立数据库的数据库名", "\"';{}\\/:*?<>|", kLongestSqlName};
inline constexpr ValueRule kUserNameRule{"新建立数据库的数据库帐号", "\"';{}", kLongestSqlName};
inline constexpr ValueRule kPassWordRule{"新建立数据库的数据库密码", "\"';{}", kLongestSqlName};
// Directory in both setups: Uninstall.ini, the registry entry and every
// path of the install. The uninstall removes the folder with a batch file,
// whose "rd" line the command interpreter would cut at "&", expand at "%"
// and escape at "^" (the short path keeps all three), removing another
// folder. The longest path inside comes from the program (its archive's
// longest member, and on the control end the data files named after the
// new database).
inline constexpr ValueRule kInstallFolderRule{"安装目标文件夹路径", "&%^", kLongestPath, true};
// Client's Domain page: its own format check (letters, digits, "-" and ".",
// 2 to 60 characters) refuses everything above with its own message.

}  // namespace quorvale::setup
