// Installs the server end with WinWebMail headless on a fresh machine, on
// the test clock, and copies the machine folder it leaves to the folder
// named by its argument. A program of its own: Server's resources and the
// control end's cannot both be linked into one test program.
#include <filesystem>
#include <iostream>

#include "install_run.h"

int main(int argc, char** argv) {
  using namespace quorvale;
  if (argc != 2) {
    std::cerr << "usage: server_end_installer DESTINATION\n";
    return 2;
  }
  server::testing::InstallRun run;
  run.Install({.mail = server::testing::MailChoice::kWinWebMail, .my_sql = false});
  if (run.driver.ShownForms() != std::vector<std::string>{"Complete"}) {
    std::cerr << "Server did not reach Complete: " << run.Active() << " " << run.LastPrompt() << "\n";
    return 1;
  }
  WaitForPrograms();
  std::filesystem::copy(run.temp.Folder(), argv[1], std::filesystem::copy_options::recursive);
  return 0;
}
