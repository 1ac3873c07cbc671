// What a backend does for the form model: show forms, ask the user in
// message boxes and dialogs, deliver input and tell the time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quorvale/ui/types.h"

namespace quorvale::ui {

class Application;
class Control;
class Form;

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void FormShown(Form& form) = 0;
  virtual void FormHidden(Form& form) = 0;
  // A property of the form or of one of its controls changed.
  virtual void FormChanged(Form&) {}
  virtual void FocusChanged(Form&, Control*) {}

  // Modal: returns the button the user chose. While a box or dialog is
  // open the application's timers go on firing, as Windows' modal loops
  // dispatch timer messages.
  virtual MsgResult ShowMessage(Application& app, const MessageRequest& request) = 0;
  virtual std::optional<std::string> BrowseForFolder(Application& app, const FolderRequest& request) = 0;
  virtual std::optional<std::string> OpenFile(Application& app, const FileRequest& request) = 0;

  // Hands the input waiting for the program (clicks, keys, close requests)
  // to the application's event handlers. Called by every DoEvents, so the
  // case with nothing waiting must cost next to nothing.
  virtual void PumpInput(Application& app) = 0;
  // Milliseconds on the clock that timers run on.
  virtual std::int64_t NowMs() = 0;

  virtual void ProgramEnded() {}
};

}  // namespace quorvale::ui
