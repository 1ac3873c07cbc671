#include "quorvale/payload/rar_writer.h"

#include <gtest/gtest.h>

#include "read_back.h"

namespace quorvale {
namespace {

TEST(Crc32, KnownValuesAndContinuation) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("6789", Crc32("12345")), 0xCBF43926u);
}

std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

TEST(RarWriter, LibarchiveReadsEveryMemberBackInOrder) {
  const std::vector<RarMember> members = {
      {"MailCtrl.asp", false, "<% %>"},
      {"说明.txt", false, "读我"},
      {"Bin\\誠/Ad.htm", false, "page"},  // 誠 ends in the byte 0x5C in code page 936
      {"Template\\Images\\all.bin", false, AllBytes()},
      {"empty.txt", false, ""},
      {"Template\\Images", true, ""},
      {"日志", true, ""},
  };
  const std::vector<ReadMember> expected = {
      {"MailCtrl.asp", false, "<% %>"},
      {"说明.txt", false, "读我"},
      {"Bin/誠/Ad.htm", false, "page"},
      {"Template/Images/all.bin", false, AllBytes()},
      {"empty.txt", false, ""},
      {"Template/Images", true, ""},
      {"日志", true, ""},
  };
  EXPECT_EQ(ReadBack(MakeRarArchive(members)), expected);
}

TEST(RarWriter, NamesAreStoredInCodePage936) {
  const std::string archive = MakeRarArchive({{"说明.txt", false, "x"}, {"Bin\\a.txt", false, "y"}});
  EXPECT_EQ(archive.substr(0, 7), std::string("Rar!\x1A\x07\x00", 7));
  EXPECT_NE(archive.find("\xCB\xB5\xC3\xF7.txt"), std::string::npos);
  ASSERT_NE(archive.find("Bin\\a.txt"), std::string::npos);
  // The ASCII name has no Unicode form: flags are those of a plain file.
  const auto at = archive.find("Bin\\a.txt") - 32;
  EXPECT_EQ(static_cast<unsigned char>(archive[at + 3]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(archive[at + 4]), 0x80);
}

TEST(RarWriter, PadsToAnExactSize) {
  RarWriter writer;
  writer.AddFile("a.txt", "abc");
  const std::string plain = writer.Finish();
  const std::string padded = writer.Finish(plain.size() + 1000);
  EXPECT_EQ(padded.size(), plain.size() + 1000);
  EXPECT_EQ(padded.substr(0, plain.size()), plain);
  EXPECT_EQ(ReadBack(padded), (std::vector<ReadMember>{{"a.txt", false, "abc"}}));
  EXPECT_EQ(writer.Finish(plain.size()), plain);
  EXPECT_THROW(writer.Finish(plain.size() - 1), RarError);
}

TEST(RarWriter, RefusesNamesItCannotWrite) {
  RarWriter writer;
  for (const char* name : {"smile\xF0\x9F\x98\x80.txt", "", "\\\\", "bad\xFF"})
    EXPECT_THROW(writer.AddFile(name, "x"), RarError) << name;
}

}  // namespace
}  // namespace quorvale
