// What differs between the setup programs in the shared pages: the end
// they install (its words, name and uninstall key come with it), texts, and
// the few rules that set one program's copy of a page apart.
#pragma once

#include <string>

#include "quorvale/setup/install_end.h"
#include "quorvale/ui/types.h"

namespace quorvale::setup {

struct ProgramTexts {
  // The end installed: its words end the default folder, its name is in
  // the texts, its uninstall entry is looked for at the start.
  InstallEnd end = InstallEnd::kServer;
  std::string caption;  // every page window
  ui::Picture icon;     // Welcome's icon, taken by the other pages
  std::string welcome_label2;
  std::string welcome_label5;  // empty: the page has no such label
  std::string next_caption;    // NextButton of the pages after Welcome
  std::string space_needed;    // Directory's USpace
  std::string complete_label2;
};

struct ProgramRules {
  double min_free_gb = 0.01;            // Directory refuses less free space
  bool directory_refuses_empty = true;  // Directory refuses an empty folder first
  bool complete_has_run = true;         // Complete's Run box starts the console program
};

// The server end's (Server) and the control end's (Client).
ProgramTexts ServerEndTexts();
ProgramTexts ControlEndTexts();
ProgramRules ServerEndRules();
ProgramRules ControlEndRules();

}  // namespace quorvale::setup
