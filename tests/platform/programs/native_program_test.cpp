#include "machine_fixture.h"

namespace quorvale::testing {
namespace {

class NativeProgramTest : public MachineTest {};

TEST_F(NativeProgramTest, ProgramsOfOursRunAsProcessesOnTheSameMachine) {
  std::ifstream in(CHILD_PROGRAM_PATH, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  // Written as a setup writes it: bytes only, no execute bits.
  Write("C:\\Program Files\\Quorvale\\Uninstall.exe", bytes.str());
  ASSERT_TRUE(Run("C:\\Program Files\\Quorvale\\Uninstall.exe -delete \"a b\""));
  EXPECT_EQ(Read("C:\\Program Files\\Quorvale\\child.out"), Folder().string() + "|-delete|a b");
  EXPECT_EQ(Records().at(0), (ProgramEvent{"Uninstall.exe", "started",
                                           "C:\\Program Files\\Quorvale\\Uninstall.exe", "-delete \"a b\""}));
}

TEST_F(NativeProgramTest, LibrariesAndForeignFilesAreNoPrograms) {
  std::filesystem::copy_file(REGISTERING_SERVER_PATH, File("C:\\WINDOWS\\system32\\Server.exe"));
  Write("C:\\WINDOWS\\system32\\Foreign.exe", "MZ\x90");
  EXPECT_FALSE(Run("Server.exe"));
  EXPECT_FALSE(Run("Foreign"));
}

}  // namespace
}  // namespace quorvale::testing
