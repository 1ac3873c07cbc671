// The modal windows of the backend: message boxes, the folder-browse dialog
// and the open-file dialog. Each runs its own loop until answered.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "quorvale/ui/types.h"

class Fl_Window;

namespace quorvale {
class Machine;
}

namespace quorvale::ui::fltk {

// Runs between the waits of a modal window's loop: the forms behind it are
// repainted and the timers that are due fire, as Windows' modal loops go on
// dispatching timer messages. Returns how long the next wait may last in
// seconds, or nothing once the program has ended (the window then closes).
using ModalIdle = std::function<std::optional<double>()>;

// Waits on the display until answered() holds, the window is closed or the
// program ends.
void RunModal(Fl_Window& window, const std::function<bool()>& answered, const ModalIdle& idle);

// Box texts as Chinese Windows shows them.
std::string ButtonText(MsgResult button);

// The button the close box and Esc stand for: Cancel when the box has it,
// OK for a box with OK alone; nothing when the box must be answered.
std::optional<MsgResult> EscapeAnswer(MsgButtons buttons);

MsgResult RunMessageBox(const MessageRequest& request, const std::string& title, Fl_Window* owner,
                        const ModalIdle& idle);
// The dialogs show the drives of machine (none when it is nullptr).
std::optional<std::string> RunFolderDialog(const FolderRequest& request, const Machine* machine,
                                           Fl_Window* owner, const ModalIdle& idle);
std::optional<std::string> RunFileDialog(const FileRequest& request, const Machine* machine, Fl_Window* owner,
                                         const ModalIdle& idle);

// Centres a dialog on its owner window, or on the screen without one.
void CentreOn(Fl_Window& dialog, Fl_Window* owner);

}  // namespace quorvale::ui::fltk
