// Server on a machine whose state files are damaged: the start-up shows the
// damaged file's message, never "IIS is not installed".
#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"
#include "quorvale/server/server_end.h"
#include "quorvale/setup/program.h"
#include "quorvale/ui/headless.h"

namespace quorvale::server {
namespace {

TEST(DamagedMachine, TheStartShowsTheFilesProblemInsteadOfTheIisBox) {
  struct Case {
    const char* file;
    std::uintmax_t cut_to;  // bytes kept
  } cases[] = {
      {"metabase.xml", 0},
      {"metabase.xml", 60},
      {"registry.reg", 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " cut to " + std::to_string(c.cut_to));
    testing::TempMachine temp;
    EnsurePlatformObjects(temp.machine(), PROVIDERS_PATH);
    std::filesystem::resize_file(temp.Folder() / c.file, c.cut_to);
    ui::HeadlessDriver driver;
    setup::SetupProgram program(driver.App(), ServerEnd::Profile());
    driver.Run([&] { program.Start(); });
    EXPECT_TRUE(driver.Ended());
    ASSERT_EQ(driver.Messages().size(), 1u);
    const auto& box = driver.Messages()[0].request;
    EXPECT_EQ(box.prompt.find("machine file " + (temp.Folder() / c.file).string() + ": "), 0u) << box.prompt;
    EXPECT_EQ(box.prompt.find("请您先安装IIS"), std::string::npos) << box.prompt;
    EXPECT_EQ(box.title, "安装");
    // No refusal: the program could not look, and ends failed.
    EXPECT_EQ(program.EndedWith().outcome, setup::Outcome::kFailed);
    EXPECT_EQ(program.EndedWith().detail, box.prompt);
  }
}

}  // namespace
}  // namespace quorvale::server
