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
//         {"建立安装目录...", "正在建立目标安装目录...", 100, &ServerInstall::MakeFolder},
//     };
//     return steps;
//   }
#pragma once

#include <functional>
#include <stdexcept>
#include <vector>

#include "quorvale/setup/progress_page.h"

namespace quorvale::setup {

template <class S>
struct SequenceStep : StepRow {
  void (S::*work)() = nullptr;
  // A step that runs only when this holds (nullptr: always); a step that
  // does not run shows nothing and leaves the bar where it is.
  bool (S::*when)() const = nullptr;

  SequenceStep(const char* caption, const char* line, int bar, void (S::*work)(),
               const char* failure = nullptr, bool (S::*when)() const = nullptr)
      : StepRow{caption, line, bar, failure}, work(work), when(when) {}
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
      page_.ReportStep(step, [&] { (self.*step.work)(); });
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
