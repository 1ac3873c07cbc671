// The shape of a sequence (install, repair, uninstall): a class of its own
// with one method per step, and its steps as one table beside it, in the
// order they run. Each row is what the progress page's ReportStep shows for
// the step: the caption, the list line, the bar width after the work, and
// for a check point the line listed when anything failed since the last
// check. The whole sequence runs with resume-on-error: a step method wraps
// each statement that may fail in Resume, and a failure the method lets
// through skips the rest of that step only.
//
//   class ServerInstall : public Sequence<ServerInstall> {
//    public:
//     using Sequence::Sequence;
//     static constexpr const char* kFinalText = "安装完毕...";
//     static const std::vector<Step>& Steps();
//    private:
//     void MakeFolder();
//   };
//   const std::vector<ServerInstall::Step>& ServerInstall::Steps() {
//     static const std::vector<Step> steps = {
//         {.caption = "建立安装目录...", .line = "正在建立目标安装目录...", .bar = 100,
//          .work = &ServerInstall::MakeFolder},
//     };
//     return steps;
//   }
#pragma once

#include <functional>
#include <stdexcept>
#include <vector>

#include "quorvale/setup/progress_page.h"

namespace quorvale::setup {

// One row of a sequence's table, its columns named where it is written:
//   {.caption = "正在注册系统服务...", .bar = 6000, .work = &ServerInstall::InstallService}
// A row without a caption shows nothing itself: its work is a shared recipe
// that reports its own steps, or a check.
template <class S>
struct SequenceStep {
  const char* caption = "";    // StateCaption's text and, as a rule, the list line
  const char* line = nullptr;  // the list line when it differs from the caption
  int bar = 0;                 // Loading's width after the work; 0: the work moves the bar itself
  void (S::*work)() = nullptr;
  // A check point: the line listed after the work when anything failed
  // since the last check (nullptr: no check).
  const char* failure = nullptr;
  // A step that runs only when this holds (nullptr: always); a step that
  // does not run shows nothing and leaves the bar where it is.
  bool (S::*when)() const = nullptr;

  StepRow Row() const { return {caption, line, bar, failure}; }
};

template <class S>
class Sequence {
 public:
  using Step = SequenceStep<S>;

  Sequence(SetupProgram& program, ProgressPage& page) : program_(program), page_(page) {}

  // Every step whose condition holds, in the order of the table, each
  // through ReportStep; then the end of the sequence with S::kFinalText.
  void Run() {
    auto& self = static_cast<S&>(*this);
    for (const Step& step : S::Steps()) {
      if (step.when && !(self.*step.when)()) continue;
      page_.ReportStep(step.Row(), [&] { (self.*step.work)(); });
    }
    page_.EndSequence(S::kFinalText);
  }

 protected:
  SetupProgram& Program() const { return program_; }
  ProgressPage& Page() const { return page_; }
  Err& SequenceErr() const { return page_.SequenceErr(); }
  // One statement with resume-on-error; true when it completed.
  template <class F>
  bool Resume(F&& statement) {
    return page_.SequenceErr().Resume(std::forward<F>(statement));
  }

 private:
  SetupProgram& program_;
  ProgressPage& page_;
};

// The profile's sequence entry for a sequence class.
template <class S>
std::function<void(SetupProgram&, ProgressPage&)> SequenceOf() {
  return [](SetupProgram& program, ProgressPage& page) { S(program, page).Run(); };
}

}  // namespace quorvale::setup
