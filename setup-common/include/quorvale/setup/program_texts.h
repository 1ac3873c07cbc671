// What differs between the two setup programs in the shared pages: texts,
// default folder words, the free-space threshold, the uninstall key.
#pragma once

#include <string>

#include "quorvale/ui/types.h"

namespace quorvale::setup {

struct ProgramTexts {
  std::string caption;    // every page window
  ui::Picture icon;       // Welcome's icon, taken by the other pages
  std::string end_words;  // "被控端" or "主控端": the last folder of the default path
  std::string welcome_label2;
  std::string welcome_label5;  // empty: the page has no such label
  std::string uninstall_key;   // under HKEY_LOCAL_MACHINE
  std::string next_caption;    // NextButton of the pages after Welcome
  std::string space_needed;    // Directory's USpace
  double min_free_gb = 0.01;
  bool directory_refuses_empty = true;
  std::string complete_label2;
  bool complete_has_run = true;  // the Run box that starts the console program
};

// The server-end setup (Server) and the control-end setup (Client).
ProgramTexts ServerEndTexts();
ProgramTexts ControlEndTexts();

}  // namespace quorvale::setup
