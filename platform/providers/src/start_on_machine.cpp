// A program's start on its machine; apart from the registration so that the
// providers library, which registers, carries none of the hosting server.
#include "quorvale/hosting/hosting_server.h"
#include "quorvale/machine/machine_folder.h"
#include "quorvale/providers/registration.h"

namespace quorvale {

std::shared_ptr<Machine> StartOnMachine(std::vector<std::string>& args,
                                        const std::filesystem::path& providers_library) {
  TakeMachineArgument(args);
  // The default machine is made on first use as a hosting server, ready for
  // the server end's setup; a machine named by the user must be there.
  if (!MachineFolderNamed()) hosting::MakeDefaultMachineUnlessPresent(MachineFolder());
  auto machine = CurrentMachine();
  machine->Check();
  EnsurePlatformObjects(*machine, providers_library);
  return machine;
}

}  // namespace quorvale
