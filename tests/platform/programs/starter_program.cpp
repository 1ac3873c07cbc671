// A program of ours for the tests that starts its command line on its
// machine as WinExec does (hidden) and ends at once, without waiting for
// what it started, as a program that hands over and quits.
#include <cstdlib>

#include "quorvale/programs/launch.h"
#include "quorvale/win32/kernel.h"

int main() {
  quorvale::InstallLauncher();
  const char* line = std::getenv("QUORVALE_COMMAND_LINE");
  if (!line) return 2;
  return quorvale::win32::WinExec(line, quorvale::win32::SW_HIDE) > 31 ? 0 : 1;
}
