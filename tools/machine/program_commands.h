// The commands that change a machine's hosting programs by hand (add,
// remove), start the control end's installed uninstaller (uninstall), the
// create options that choose the programs, and the part of "show" that
// lists them.
#pragma once

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvale/hosting/hosting_server.h"
#include "quorvale/machine/machine.h"

namespace quorvale::tool {

// A wrong command line: the tool says so with where the usage is (code 2).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The hosting programs of create and reset: all of them unless --bare or a
// --no-PROGRAM leaves some out; --sa-password PW for sa.
struct ProgramChoice {
  hosting::HostingSet set;
  bool sa_password_given = false;
  // Takes the option at args[i] (and its value, moving i) when it is one of
  // these; false for another option.
  bool Take(const std::vector<std::string>& args, std::size_t& i);
  // Raises UsageError for a choice that makes no sense (a password for no SQL Server).
  void Check() const;
};

// "SQL Server 2000 (sa password Sa2000), Serv-U, ...", or "none".
std::string ProgramList(const hosting::HostingSet& set);

int Add(const std::vector<std::string>& args, std::ostream& out);
int Remove(const std::vector<std::string>& args, std::ostream& out);
int Uninstall(const std::vector<std::string>& args, std::ostream& out);

void ShowHosting(Machine& m, std::ostream& out);

}  // namespace quorvale::tool
