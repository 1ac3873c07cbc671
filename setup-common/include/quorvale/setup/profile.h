// A program's profile: everything that sets one wizard program apart, in
// one place. Its texts and rules, its pages in order (a conditional page is
// a condition in that order, read at the moment of the click), and the
// sequence its progress page runs. Next and Back follow the order; each
// page says itself where the focus goes when it is entered.
#pragma once

#include <functional>
#include <string>
#include <typeindex>
#include <vector>

#include "quorvale/setup/program_texts.h"

namespace quorvale::setup {

class SetupProgram;
class WizardPage;
class ProgressPage;

// Whether a page is in the chain right now; read at every Next and Back.
using PageCondition = std::function<bool(SetupProgram&)>;

struct PageEntry {
  std::type_index type;
  WizardPage& (*open)(SetupProgram&);  // the page, created on first use
  PageCondition when;                  // empty: always in the chain
};

// One line of a program's order: OrderLine<Agreement>(), or
// OrderLine<Script>([](SetupProgram& p) { return ...; }).
template <class P>
PageEntry OrderLine(PageCondition when = {});

struct ProgramProfile {
  std::string name;  // the program file's name, for what it says before any window
  ProgramTexts texts;
  ProgramRules rules;
  // From the start page, whose load runs the start-up checks and whose icon
  // every page takes, to the last page.
  std::vector<PageEntry> order;
  // What the progress page runs on its first tick (nothing: no steps).
  std::function<void(SetupProgram&, ProgressPage&)> sequence;
  // The longest path the install puts inside the install folder, in code
  // page 936 bytes with its "\" (nothing: none), read at Directory's Next:
  // the folder and it stay within MAX_PATH together.
  std::function<std::size_t(SetupProgram&)> longest_inside;
  // How the program starts (nothing: the start page is shown, its load
  // running the start-up checks), for a program whose start-up may go
  // straight past its start page.
  std::function<void(SetupProgram&)> start;
};

}  // namespace quorvale::setup
