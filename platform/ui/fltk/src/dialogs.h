// The modal windows of the backend: message boxes, the folder-browse dialog
// and the open-file dialog. Each runs its own loop until answered.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "quorvale/ui/types.h"

class Fl_Window;

namespace quorvale::ui::fltk {

// Box texts as Chinese Windows shows them.
std::string ButtonText(MsgResult button);

// The button the close box and Esc stand for: Cancel when the box has it,
// OK for a box with OK alone; nothing when the box must be answered.
std::optional<MsgResult> EscapeAnswer(MsgButtons buttons);

MsgResult RunMessageBox(const MessageRequest& request, const std::string& title, Fl_Window* owner);
std::optional<std::string> RunFolderDialog(const FolderRequest& request, const std::filesystem::path& machine,
                                           Fl_Window* owner);
std::optional<std::string> RunFileDialog(const FileRequest& request, const std::filesystem::path& machine,
                                         Fl_Window* owner);

// Centres a dialog on its owner window, or on the screen without one.
void CentreOn(Fl_Window& dialog, Fl_Window* owner);

}  // namespace quorvale::ui::fltk
