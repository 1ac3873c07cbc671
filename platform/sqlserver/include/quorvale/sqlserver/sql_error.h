// An error the server reports for a statement or a login: the SQLSTATE and
// native error number ODBC hands on, and the server's own message text.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvale::sqlserver {

class SqlError : public std::runtime_error {
 public:
  SqlError(std::string sqlstate, int native, const std::string& message)
      : std::runtime_error(message), sqlstate_(std::move(sqlstate)), native_(native) {}
  const std::string& SqlState() const { return sqlstate_; }
  int Native() const { return native_; }

 private:
  std::string sqlstate_;
  int native_;
};

// Msg 102, as the server words a token it did not expect.
[[noreturn]] void IncorrectSyntax(const std::string& near);

}  // namespace quorvale::sqlserver
