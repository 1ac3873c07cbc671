// Uninstall: the control end's repair and uninstall program. Its profile
// (texts, pages in order, the sequence the mode chooses, its start-up) and
// the helper procedures its progress page Running carries.
#pragma once

#include <string>

#include "quorvale/setup/helper_module.h"
#include "quorvale/setup/profile.h"

namespace quorvale::uninstall {

struct RepairProgram {
  using Helpers = setup::RepairHelpers;
  static setup::ProgramProfile Profile();
};

// What the command line asks for: the whole argument text, lower-cased,
// is "-modify" or "-delete"; anything else (blanks around a switch too)
// asks for nothing and the user chooses on Welcome.
enum class Mode { kChoose, kModify, kDelete };
Mode ModeOfCommandLine(const std::string& command_line);

}  // namespace quorvale::uninstall
