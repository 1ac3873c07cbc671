#include <algorithm>

#include "machine_fixture.h"
#include "quorvale/core/crc32.h"
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
  ASSERT_FALSE(Records().empty());
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

// Every name it will not write is refused and recorded, and the others are
// extracted all the same.
TEST_F(UnpackerTest, NamesThatLeaveTheDestinationAreRefused) {
  const std::vector<std::string> refused = {
      "..\\..\\evil.txt",  // up and out
      "C:\\evil2.txt",     // a drive
      "Xevil3.txt",        // made absolute below: the writer writes no such name
      ".. \\.. \\x.txt",   // Windows reads ".. " as ".."
      "...\\...\\x.txt",   // and "..." too
      "a\\. .\\x.txt",     // a name of blanks and dots is none
      "a\\b?.txt",         // no Windows name holds "?"
      "a\\b<c.txt",
  };
  std::vector<RarMember> members;
  for (const auto& name : refused) members.push_back({name, false, "x"});
  members.push_back({"ok.txt", false, "fine"});
  std::string archive = MakeRarArchive(members);
  // The third name made absolute, its header checksum made right again.
  const std::size_t name = archive.find("Xevil3.txt"), head = name - 32;
  ASSERT_NE(name, std::string::npos);
  archive[name] = '\\';
  const auto size = static_cast<std::size_t>(static_cast<unsigned char>(archive[head + 5]) |
                                             static_cast<unsigned char>(archive[head + 6]) << 8);
  const std::uint32_t crc = Crc32(std::string_view(archive).substr(head + 2, size - 2));
  archive[head] = static_cast<char>(crc & 0xFF);
  archive[head + 1] = static_cast<char>((crc >> 8) & 0xFF);
  Write(std::string(kFolder) + "\\Quorvale.rar", archive);
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  EXPECT_FALSE(Exists("C:\\evil.txt"));
  EXPECT_FALSE(Exists("C:\\evil2.txt"));
  EXPECT_FALSE(Exists("C:\\evil3.txt"));
  EXPECT_FALSE(Exists(In("evil3.txt")));
  EXPECT_FALSE(Exists("C:\\x.txt"));
  EXPECT_FALSE(Exists("C:\\Program Files\\x.txt"));
  EXPECT_EQ(Read(In("ok.txt")), "fine");
  auto records = Records();
  ASSERT_EQ(records.size(), refused.size() + 1);
  for (std::size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(records[i].what, "refused") << refused[i];
    EXPECT_EQ(records[i].path, In("Quorvale.rar"));
  }
  EXPECT_EQ(records.back().what, "extracted");
}

// A link on the host inside the destination is never written through.
TEST_F(UnpackerTest, NothingIsWrittenThroughALink) {
  const std::filesystem::path outside = Folder().parent_path() / (Folder().filename().string() + "-outside");
  std::filesystem::create_directories(outside);
  std::filesystem::create_directory_symlink(outside, File(In("Linked")));
  std::filesystem::create_symlink(outside / "target.txt", File(In("file.txt")));
  WriteArchive({{"Linked\\x.txt", false, "through a folder link"},
                {"file.txt", false, "through a file link"},
                {"Linked", true, ""},
                {"ok.txt", false, "fine"}});
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  EXPECT_TRUE(std::filesystem::is_empty(outside));
  EXPECT_EQ(Read(In("ok.txt")), "fine");
  auto records = Records();
  ASSERT_EQ(records.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(records[static_cast<std::size_t>(i)].what, "refused") << i;
  // A destination that is itself a link: the whole run is refused.
  Run("C:\\PROGRA~1\\Quorvale\\Rar.exe x -y C:\\PROGRA~1\\Quorvale\\Quorvale.rar "
      "C:\\PROGRA~1\\Quorvale\\Linked\\");
  EXPECT_TRUE(std::filesystem::is_empty(outside));
  ASSERT_FALSE(Records().empty());
  EXPECT_EQ(Records().back(), (ProgramEvent{"Rar.exe", "refused", In("Linked"), "a link"}));
  std::filesystem::remove_all(outside);
}

TEST_F(UnpackerTest, DamagedOrMissingArchivesAreReportedAndLeaveNoHalfFiles) {
  std::string archive = MakeRarArchive({{"a.txt", false, "intact"}, {"b.txt", false, "damaged!"}});
  const std::size_t content = archive.find("damaged!");
  ASSERT_NE(content, std::string::npos);
  archive[content] = 'D';
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

// A member header whose sizes add up past 2^64 (data 0xFFFFFFFFFFFFFFF9
// after a header of 7 bytes) would bring the reading back to itself.
TEST_F(UnpackerTest, AHeaderThatClaimsMoreThanAnyFileEndsTheRun) {
  std::string archive("Rar!\x1A\x07\x00", 7);
  archive += std::string("\x00\x00\x74\x00\x81\x07\x00\xF9\xFF\xFF\xFF", 11);
  archive += std::string(21, '\0');               // the rest of the fixed fields; a name of no bytes
  archive += std::string("\xFF\xFF\xFF\xFF", 4);  // the high half of the packed size
  Write(In("Quorvale.rar"), archive);
  Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale");
  ASSERT_FALSE(Records().empty());
  EXPECT_EQ(Records().back().what, "failed");
  EXPECT_EQ(Records().back().path, In("Quorvale.rar"));
}

// A folder granted before the unpacker writes into it: what it makes there,
// folders and files, takes the folder's grants, as new files on Windows
// inherit them; a file that was there keeps its own list, and what is made
// outside the folder gets nothing.
TEST_F(UnpackerTest, WhatItMakesInAGrantedFolderInheritsTheGrant) {
  WriteArchive({{"Web\\Index.asp", false, "<% %>"},
                {"Web\\Inc\\Conn.asp", false, "<% %>"},
                {"Web\\Old.asp", false, "new"},
                {"Other\\a.txt", false, "a"},
                {"Web\\Data", true, ""}});
  Write(In("Web\\Old.asp"), "old");
  machine().Grant(In("Web"), "IUSR_7", "F");
  machine().Grant(In("Web"), "Everyone", "R");
  ASSERT_TRUE(Run(std::string(kUnpack) + "C:\\PROGRA~1\\Quorvale"));
  std::vector<std::string> lines;
  for (const auto& e : machine().AccessList())
    lines.push_back(e.path.substr(std::string(kFolder).size() + 1) + " " + e.principal + ":" + e.right);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"Web Everyone:R", "Web IUSR_7:F", "Web\\Data Everyone:R",
                                             "Web\\Data IUSR_7:F", "Web\\Inc Everyone:R", "Web\\Inc IUSR_7:F",
                                             "Web\\Inc\\Conn.asp Everyone:R", "Web\\Inc\\Conn.asp IUSR_7:F",
                                             "Web\\Index.asp Everyone:R", "Web\\Index.asp IUSR_7:F"}));
}

}  // namespace
}  // namespace quorvale::testing
