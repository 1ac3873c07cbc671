// The shape of a sequence: a class with one method per step and its step
// table, run through the progress page.
#include "quorvale/setup/sequence.h"

#include <gtest/gtest.h>

#include "test_program.h"

namespace quorvale::setup::testing {
namespace {

// Four steps: a plain one, one whose list line is longer than its caption,
// a conditional one, two risky ones that share a check point, and one
// that shows nothing.
class TestSequence : public Sequence<TestSequence> {
 public:
  using Sequence::Sequence;
  static constexpr const char* kFinalText = "安装完毕...";
  static const std::vector<Step>& Steps();

  static inline std::vector<std::string> worked;
  static inline bool mail = false;
  static inline bool fail_account = false, fail_group = false;
  static inline std::vector<int> bars_seen;            // the bar at each note
  static inline std::vector<std::int64_t> times_seen;  // the clock at each note

 private:
  void Prepare() { Note("Prepare"); }
  void MakeFolder() { Note("MakeFolder"); }
  void MailSite() { Note("MailSite"); }
  bool WithMail() const { return mail; }
  void Account() {
    Note("Account");
    Resume([] {
      if (fail_account) Raise(Error::kSystemUserExists, "IUSR_1");
    });
  }
  void Group() {
    Note("Group");
    if (fail_group) Raise(Error::kSystemGroupNotFound, "Administrators");
    Note("Group done");  // skipped when the statement above fails
  }
  void Quiet() { Note("Quiet"); }
  void Note(const std::string& what) {
    worked.push_back(what);
    bars_seen.push_back(Page().Loading.Width());
    times_seen.push_back(Program().App().Now());
  }
};

const std::vector<TestSequence::Step>& TestSequence::Steps() {
  static const std::vector<Step> steps = {
      {.caption = "正在准备安装...", .bar = 50, .work = &TestSequence::Prepare},
      {.caption = "建立安装目录...",
       .line = "正在建立目标安装目录...",
       .bar = 100,
       .work = &TestSequence::MakeFolder},
      {.caption = "正在建立企业邮局站点...",
       .bar = 3300,
       .work = &TestSequence::MailSite,
       .when = &TestSequence::WithMail},
      {.caption = "正在建立网站独立帐户...", .bar = 2900, .work = &TestSequence::Account},
      {.caption = "正在设置网站独立帐户所属组...",
       .bar = 3100,
       .work = &TestSequence::Group,
       .failure = "网站独立访问帐户添加失败..."},
      {.bar = 3900, .work = &TestSequence::Quiet},
  };
  return steps;
}

TEST(SequenceShape, RunsTheTableThroughTheProgressPage) {
  struct Case {
    const char* name;
    bool mail, fail_account, fail_group;
    std::vector<std::string> list;
    std::vector<std::string> worked;
  };
  const std::vector<std::string> head = {"正在准备安装...", "正在建立目标安装目录..."};
  auto list = [&](std::vector<std::string> tail) {
    auto all = head;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const std::vector<Case> cases = {
      {"nothing fails, no mail",
       false,
       false,
       false,
       list({"正在建立网站独立帐户...", "正在设置网站独立帐户所属组..."}),
       {"Prepare", "MakeFolder", "Account", "Group", "Group done", "Quiet"}},
      {"the mail step runs when its condition holds",
       true,
       false,
       false,
       list({"正在建立企业邮局站点...", "正在建立网站独立帐户...", "正在设置网站独立帐户所属组..."}),
       {"Prepare", "MakeFolder", "MailSite", "Account", "Group", "Group done", "Quiet"}},
      // The check point reports any failure since the last check: one line
      // for either failure, and one for both.
      {"the account fails",
       false,
       true,
       false,
       list({"正在建立网站独立帐户...", "正在设置网站独立帐户所属组...", "网站独立访问帐户添加失败..."}),
       {"Prepare", "MakeFolder", "Account", "Group", "Group done", "Quiet"}},
      {"the group fails",
       false,
       false,
       true,
       list({"正在建立网站独立帐户...", "正在设置网站独立帐户所属组...", "网站独立访问帐户添加失败..."}),
       {"Prepare", "MakeFolder", "Account", "Group", "Quiet"}},
      {"both fail",
       false,
       true,
       true,
       list({"正在建立网站独立帐户...", "正在设置网站独立帐户所属组...", "网站独立访问帐户添加失败..."}),
       {"Prepare", "MakeFolder", "Account", "Group", "Quiet"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestSequence::worked.clear();
    TestSequence::bars_seen.clear();
    TestSequence::mail = c.mail;
    TestSequence::fail_account = c.fail_account;
    TestSequence::fail_group = c.fail_group;
    ProgramProfile profile = TestProfile();
    profile.sequence = SequenceOf<TestSequence>();
    Wizard w(std::move(profile));
    w.Start();
    w.driver.Click(w.WalkToDirectory().NextButton);
    w.driver.Advance(100);
    auto& install = w.Page<InstallPage>();
    EXPECT_EQ(install.SetupList.Items(), c.list);
    EXPECT_EQ(TestSequence::worked, c.worked);
    EXPECT_EQ(install.StateCaption.Caption(), "安装完毕...");
    EXPECT_EQ(install.Loading.Width(), 6765);
    EXPECT_FALSE(install.SequenceErr());
    EXPECT_EQ(w.driver.ShownForms(), std::vector<std::string>{"Complete"});
  }
}

TEST(SequenceShape, EachStepSetsItsBarAfterItsWorkAndTurnsTheLoopOnce) {
  TestSequence::worked.clear();
  TestSequence::bars_seen.clear();
  TestSequence::times_seen.clear();
  TestSequence::mail = true;
  TestSequence::fail_account = TestSequence::fail_group = false;
  ProgramProfile profile = TestProfile();
  profile.sequence = SequenceOf<TestSequence>();
  Wizard w(std::move(profile));
  w.Start();
  w.driver.Click(w.WalkToDirectory().NextButton);
  w.driver.Backend().SetPumpStep(10);  // every loop turn lets 10 ms pass
  w.driver.Advance(100);
  // Notes: Prepare, MakeFolder, MailSite, Account, Group, Group done, Quiet.
  // The bar each step finds is the one the step before set after its work.
  EXPECT_EQ(TestSequence::bars_seen, (std::vector<int>{15, 50, 100, 3300, 2900, 2900, 3100}));
  // One loop turn between steps, none inside a step.
  std::vector<std::int64_t> turns;
  for (std::size_t i = 1; i < TestSequence::times_seen.size(); ++i) {
    turns.push_back((TestSequence::times_seen[i] - TestSequence::times_seen[i - 1]) / 10);
  }
  EXPECT_EQ(turns, (std::vector<std::int64_t>{1, 1, 1, 1, 0, 1}));
}

}  // namespace
}  // namespace quorvale::setup::testing
