#include "machine_fixture.h"
#include "quorvale/payload/rar_writer.h"

namespace quorvale::testing {
namespace {

constexpr const char* kFolder = "C:\\Program Files\\Quorvale";
constexpr const char* kUnpack =
    "C:\\Program Files\\Quorvale\\Rar.exe x -r -y -o+ C:\\PROGRA~1\\Quorvale\\Quorvale.rar ";

class UnpackerTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    Write(std::string(kFolder) + "\\Rar.exe", "stand-in unpacker");
  }
  void WriteArchive(const std::vector<RarMember>& members) {
    Write(std::string(kFolder) + "\\Quorvale.rar", MakeRarArchive(members));
  }
  std::string In(const std::string& relative) { return std::string(kFolder) + "\\" + relative; }
};

TEST_F(UnpackerTest, ExtractsChineseNamesAndFoldersInArchiveOrder) {
  WriteArchive({
      {"System.ini", false, "first"},
      {"说明.txt", false, "读我"},
      {"Bin\\誠\\Ad.htm", false, "<html>"},  // second byte of 誠 in code page 936 is "\"
      {"Template\\Images\\logo.gif", false, std::string("GIF\0\xFF", 5)},
      {"System.ini", false, "second"},
      {"MailCtrl.asp", false, "<% %>"},
      {"Template\\Images", true, ""},
      {"Log", true, ""},
  });
  Write(In("mailctrl.asp"), "an older, longer copy of the page");
  ASSERT_TRUE(Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale"));
  EXPECT_EQ(Read(In("System.ini")), "second");
  EXPECT_EQ(Read(In("说明.txt")), "读我");
  EXPECT_EQ(Read(In("Bin\\誠\\Ad.htm")), "<html>");
  EXPECT_EQ(Read(In("Template\\Images\\logo.gif")), std::string("GIF\0\xFF", 5));
  EXPECT_EQ(Read(In("MailCtrl.asp")), "<% %>");
  EXPECT_TRUE(std::filesystem::is_directory(File(In("Log"))));
  EXPECT_FALSE(Exists(In("MailCtrl.asp.rar-part")));
  EXPECT_EQ(Records().back(), (ProgramEvent{"Rar.exe", "extracted", In("Quorvale.rar"), kFolder}));
}

TEST_F(UnpackerTest, DestinationWithBackslashNewFolderAndKeepOption) {
  WriteArchive({{"a.txt", false, "new"}});
  Write("C:\\Out\\a.txt", "old");
  Run("C:\\PROGRA~1\\Quorvale\\Rar.exe x -o- C:\\PROGRA~1\\Quorvale\\Quorvale.rar C:\\Out\\");
  EXPECT_EQ(Read("C:\\Out\\a.txt"), "old");
  Run("C:\\PROGRA~1\\Quorvale\\Rar.exe x -y C:\\PROGRA~1\\Quorvale\\Quorvale.rar C:\\New\\Deep\\");
  EXPECT_EQ(Read("C:\\New\\Deep\\a.txt"), "new");
}

TEST_F(UnpackerTest, NamesThatLeaveTheDestinationAreRefused) {
  WriteArchive({{"..\\..\\evil.txt", false, "x"}, {"C:\\evil2.txt", false, "x"}, {"ok.txt", false, "fine"}});
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  EXPECT_FALSE(Exists("C:\\evil.txt"));
  EXPECT_FALSE(Exists("C:\\evil2.txt"));
  EXPECT_FALSE(Exists(In("evil2.txt")));
  EXPECT_EQ(Read(In("ok.txt")), "fine");
  auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].what, "refused");
  EXPECT_EQ(records[1].what, "refused");
}

TEST_F(UnpackerTest, DamagedOrMissingArchivesAreReportedAndLeaveNoHalfFiles) {
  std::string archive = MakeRarArchive({{"a.txt", false, "intact"}, {"b.txt", false, "damaged!"}});
  archive[archive.find("damaged!")] = 'D';
  Write(In("Quorvale.rar"), archive);
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  EXPECT_EQ(Read(In("a.txt")), "intact");
  EXPECT_FALSE(Exists(In("b.txt")));
  EXPECT_FALSE(Exists(In("b.txt.rar-part")));
  std::filesystem::remove(File(In("Quorvale.rar")));
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  auto records = Records();
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records[0], (ProgramEvent{"Rar.exe", "failed", In("b.txt"), "checksum error"}));
  EXPECT_EQ(records.back(),
            (ProgramEvent{"Rar.exe", "failed", In("Quorvale.rar"), "cannot open the archive"}));
}

}  // namespace
}  // namespace quorvale::testing
