// UnpackPayload of the control end, with the control end's own resources.
#include "quorvale/setup/payload_recipe.h"
#include "quorvale/win32/kernel.h"
#include "recipe_fixture.h"

namespace quorvale::setup {
namespace {

using testing::RecipeMachine;
using testing::RecordedSteps;

TEST(UnpackPayload, ControlEndProgressPointsAndFiles) {
  RecipeMachine m;
  win32::CreateDirectoryA("C:\\Program Files\\Quorvale", nullptr);
  RecordedSteps r;
  UnpackPayload(r, kControlEndPayload, "C:\\Program Files\\Quorvale");
  EXPECT_EQ(r.ListLines(), (std::vector<std::string>{"正在释放安装程序包...", "正在解压缩安装文件..."}));
  EXPECT_EQ(r.Widths(),
            (std::vector<int>{300,  400,  500,  600,  700,  800,  900,  1000, 1100, 1200, 1300, 1400, 1500,
                              1600, 1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800}));
  EXPECT_EQ(r.turns, 4051116LL + 314368 + 3);
  EXPECT_FALSE(r.err) << r.err.Description();
  EXPECT_TRUE(m.temp.Read("C:\\Program Files\\Quorvale\\Quorvale.rar") == testing::HostFile(CONTROL_PAYLOAD));
  EXPECT_EQ(m.Started(),
            std::vector<std::string>{"C:\\Program Files\\Quorvale\\Rar.exe x -r -y -o+ "
                                     "C:\\PROGRA~1\\Quorvale\\Quorvale.rar C:\\PROGRA~1\\Quorvale"});
  WaitForPrograms();
  EXPECT_TRUE(m.temp.Exists("C:\\Program Files\\Quorvale\\Web\\Inc\\Conn.asp"));
  EXPECT_TRUE(m.temp.Exists("C:\\Program Files\\Quorvale\\Jmail.dll"));
}

}  // namespace
}  // namespace quorvale::setup
