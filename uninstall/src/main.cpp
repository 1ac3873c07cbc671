// Uninstall.exe: the control end's repair and uninstall program in real
// windows, on the machine named by --machine DIR or QUORVALE_MACHINE (the
// default machine otherwise); "-modify" or "-delete" chooses the mode.
#include "quorvale/setup/run_wizard.h"
#include "quorvale/uninstall/repair_program.h"

int main(int argc, char** argv) {
  return quorvale::setup::RunWizard<quorvale::uninstall::RepairProgram>(argc, argv);
}
