// The server end's own Uninstall.exe, as the server-end payload carries it
// here: a stand-in. The real one comes with the server end from outside
// Quorvale; this one says so in a box, removes nothing, and tells how to
// get back to a machine where the setup runs. Started on a machine (the
// setup hands an earlier installation over to it, or Windows' list of
// installed programs starts it), it finds the machine in QUORVALE_MACHINE.
#include "quorvale/machine/machine_folder.h"
#include "quorvale/ui/application.h"
#include "quorvale/ui/fltk_backend.h"

int main() {
  using namespace quorvale;
  if (!ui::DisplayAvailable()) return 2;
  const std::string message =
      "这个Uninstall.exe代替被控端自己的卸载程序。被控端的卸载程序随被控端而来，不属于Quorvale；"
      "这个替代程序不卸载任何东西，机器保持原样。\r\n\r\n"
      "要回到可以运行安装程序的机器，请运行：\r\n" +
      ResetCommandOf(MachineFolder());
  ui::FltkBackend backend;
  ui::Application app(backend);
  app.RunEvent([&] { app.MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Information, "卸载"); });
  return 0;
}
