// The headless backend: forms run without a display. A HeadlessDriver acts
// as the user (clicks, types, closes, answers message boxes and dialogs,
// lets time pass) and reads back everything the forms show.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvale/ui/application.h"
#include "quorvale/ui/backend.h"
#include "quorvale/ui/form.h"
#include "quorvale/ui/user_input.h"

namespace quorvale::ui {

struct MessageRecord {
  MessageRequest request;
  MsgResult answer = MsgResult::OK;
  bool answered = false;  // false: no answer was queued, the default button was taken
};

class HeadlessBackend : public Backend {
 public:
  void FormShown(Form& form) override;
  void FormHidden(Form& form) override;
  // Hands every change of a shown form to the watcher, if any.
  void FormChanged(Form& form) override {
    if (watcher_) watcher_(form);
  }
  // Answered at once from the queues: no time passes on the test's clock.
  MsgResult ShowMessage(Application& app, const MessageRequest& request) override;
  std::optional<std::string> BrowseForFolder(Application& app, const FolderRequest& request) override;
  std::optional<std::string> OpenFile(Application& app, const FileRequest& request) override;
  void PumpInput(Application& app) override {
    now_ += pump_step_;
    if (!input_.empty()) DeliverInput(app);
  }
  std::int64_t NowMs() override { return now_; }
  void ProgramEnded() override { log_.push_back("end"); }

  // Answers, used in the order queued.
  void QueueAnswer(MsgResult answer) { answers_.push_back(answer); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void QueueFile(std::optional<std::string> file) { files_.push_back(std::move(file)); }
  std::size_t PendingAnswers() const { return answers_.size(); }

  const std::vector<MessageRecord>& Messages() const { return messages_; }
  const std::vector<FolderRequest>& FolderRequests() const { return folder_requests_; }
  const std::vector<FileRequest>& FileRequests() const { return file_requests_; }
  // "show NAME", "hide NAME" and "end", in order.
  const std::vector<std::string>& Log() const { return log_; }

  // Input handed to the program at the next DoEvents (or idle moment).
  void Post(std::function<void()> input) { input_.push_back(std::move(input)); }
  bool InputPending() const { return !input_.empty(); }
  void DeliverInput(Application& app);

  // A test watching the forms as they change (a progress page's steps, its
  // bar); nullptr: nobody watches.
  void WatchChanges(std::function<void(Form&)> watcher) { watcher_ = std::move(watcher); }

  void SetNow(std::int64_t ms) { now_ = ms; }
  // Time that passes at every DoEvents, as if the work between two of them took it.
  void SetPumpStep(std::int64_t ms) { pump_step_ = ms; }

 private:
  std::int64_t now_ = 0;
  std::int64_t pump_step_ = 0;
  std::deque<std::function<void()>> input_;
  std::deque<MsgResult> answers_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<std::string>> files_;
  std::vector<MessageRecord> messages_;
  std::vector<FolderRequest> folder_requests_;
  std::vector<FileRequest> file_requests_;
  std::vector<std::string> log_;
  std::function<void(Form&)> watcher_;
};

// What a person could not have done (clicking a hidden or disabled control,
// typing into a read-only box, acting on an ended program).
class DriverError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class HeadlessDriver {
 public:
  HeadlessDriver() : app_(backend_) {}
  Application& App() { return app_; }
  HeadlessBackend& Backend() { return backend_; }

  // Runs code as the program's start (or any event): End and unhandled errors
  // end the program instead of escaping.
  void Run(const std::function<void()>& code) { app_.RunEvent(code); }
  void Start(Form& form) {
    Run([&] { form.Show(); });
  }

  // The user's actions; each runs as one event, and throws DriverError when
  // a person could not do it. Clicking a text box or list box only focuses it.
  void Click(Control& control);
  void Type(TextBox& box, std::string text);
  void Select(ListBox& list, int index);
  void Close(Form& form);
  void PressEnter();
  void PressEscape();
  void PressTab(bool backwards = false);
  void PressArrow(input::Arrow key);
  void PressAccessKey(char key);
  // Idle time passes: waiting input is delivered, due timers fire.
  void Advance(std::int64_t ms);

  // The same actions, handed over at the next DoEvents; dropped, as a real
  // window drops them, when they cannot be done by then.
  void PostClick(Control& control);
  void PostClose(Form& form);

  void Answer(MsgResult answer) { backend_.QueueAnswer(answer); }
  void AnswerFolder(std::optional<std::string> folder) { backend_.QueueFolder(std::move(folder)); }
  void AnswerFile(std::optional<std::string> file) { backend_.QueueFile(std::move(file)); }

  const std::vector<MessageRecord>& Messages() const { return backend_.Messages(); }
  const MessageRecord* LastMessage() const {
    return backend_.Messages().empty() ? nullptr : &backend_.Messages().back();
  }
  bool Ended() const { return app_.Ended(); }
  Form* ActiveForm() const { return app_.ActiveForm(); }
  Control* Focus() const { return app_.FocusedControl(); }
  std::string FocusName() const;
  // Names of the shown forms, in the order they were created.
  std::vector<std::string> ShownForms() const;

 private:
  bool TryClick(Control& control);
  bool TryClose(Form& form);
  void Require(bool ok, const std::string& what) const;

  HeadlessBackend backend_;
  Application app_;
};

}  // namespace quorvale::ui
