// Client.exe: the control-end setup in real windows, on the machine named by
// --machine DIR or QUORVALE_MACHINE (the default machine otherwise).
#include "quorvale/client/client_end.h"
#include "quorvale/setup/run_wizard.h"

int main(int argc, char** argv) {
  return quorvale::setup::RunWizard<quorvale::client::ClientEnd>(argc, argv);
}
