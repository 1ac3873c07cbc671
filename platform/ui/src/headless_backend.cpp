#include <algorithm>

#include "quorvale/ui/headless.h"

namespace quorvale::ui {

void HeadlessBackend::FormShown(Form& form) { log_.push_back("show " + form.Name()); }

void HeadlessBackend::FormHidden(Form& form) { log_.push_back("hide " + form.Name()); }

MsgResult HeadlessBackend::ShowMessage(Application&, const MessageRequest& request) {
  const auto buttons = ButtonsOf(request.buttons);
  MessageRecord record{request, buttons.front(), false};
  if (!answers_.empty()) {
    MsgResult a = answers_.front();
    answers_.pop_front();
    // An answer the box has no button for is not taken: the record shows it.
    if (std::find(buttons.begin(), buttons.end(), a) != buttons.end()) {
      record.answer = a;
      record.answered = true;
    }
  }
  messages_.push_back(record);
  return record.answer;
}

std::optional<std::string> HeadlessBackend::BrowseForFolder(Application&, const FolderRequest& request) {
  folder_requests_.push_back(request);
  if (folders_.empty()) return std::nullopt;
  auto a = std::move(folders_.front());
  folders_.pop_front();
  return a;
}

std::optional<std::string> HeadlessBackend::OpenFile(Application&, const FileRequest& request) {
  file_requests_.push_back(request);
  if (files_.empty()) return std::nullopt;
  auto a = std::move(files_.front());
  files_.pop_front();
  return a;
}

void HeadlessBackend::DeliverInput(Application& app) {
  // Only what was waiting when the loop came round; input posted by these
  // handlers waits for the next round.
  for (std::size_t n = input_.size(); n > 0 && !input_.empty(); --n) {
    auto input = std::move(input_.front());
    input_.pop_front();
    app.RunEvent(input);
  }
}

}  // namespace quorvale::ui
