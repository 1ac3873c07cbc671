// Server on a machine whose state files are damaged: the start-up shows the
// damaged file's message, never "IIS is not installed".
#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"
#include "quorvale/providers/registration.h"
#include "quorvale/server/server_program.h"
#include "quorvale/setup/welcome.h"
#include "quorvale/setup/win32_hooks.h"
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
    ServerProgram program(driver.App(), setup::Win32Hooks());
    driver.Run([&] { program.Start(); });
    EXPECT_TRUE(driver.Ended());
    ASSERT_FALSE(driver.Messages().empty());
    const auto& box = driver.Messages().back().request;
    EXPECT_EQ(box.prompt.find("machine file " + (temp.Folder() / c.file).string() + ": "), 0u) << box.prompt;
    EXPECT_NE(box.prompt, setup::kNoIIS);
    EXPECT_EQ(box.title, "安装");
  }
}

}  // namespace
}  // namespace quorvale::server
