// The machine's state files as text: line-file records of any bytes read
// back as written, and the messages about damaged files one line each.
#include <gtest/gtest.h>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale {
namespace {

TEST(LineFiles, RecordsOfAnyBytesReadBackAsWritten) {
  struct Case {
    Record record;
    const char* line;  // as written
  } cases[] = {
      {{"#1", "x"}, "%231\tx"},
      {{"##", "#"}, "%23#\t#"},
      {{"a#", "#b"}, "a#\t#b"},
      {{"", "#"}, "\t#"},
      {{"tab\there", "cr\rlf\n"}, "tab%09here\tcr%0Dlf%0A"},
      {{"100%", "%41"}, "100%25\t%2541"},
      {{std::string("nul\0", 4), "\x7f"}, "nul%00\t%7F"},
      {{"; end", "# end"}, "; end\t# end"},
  };
  for (const auto& c : cases) {
    const std::string text = FormatRecordText("first\tsecond", {c.record});
    EXPECT_EQ(text, "# first\tsecond\n" + std::string(c.line) + "\n# end\n");
    EXPECT_EQ(ParseRecordText(text, "x.txt", 2), std::vector<Record>{c.record}) << c.line;
  }
}

TEST(LineFiles, AnAccountNamedWithAHashStays) {
  testing::TempMachine temp;
  LocalAccounts accounts(temp.machine());
  ASSERT_EQ(accounts.CreateUser({"#1", "", "", 0x201, "pw"}), 0u);
  ASSERT_EQ(accounts.AddMember("Users", "#1"), 0u);
  ASSERT_EQ(accounts.CreateUser({"u2", "", "", 0x201, ""}), 0u);
  EXPECT_TRUE(LocalAccounts(temp.Folder()).FindUser("#1"));
  const auto users = LocalAccounts(temp.Folder()).FindGroup("Users");
  ASSERT_TRUE(users);
  EXPECT_EQ(users->members, (std::vector<std::string>{"#1"}));
}

// What a damaged file holds is quoted with its control characters as %XX.
TEST(StateFileMessages, AreOneLine) {
  struct Case {
    std::string text;
    std::function<void(const std::string&)> read;
    const char* message;
  } cases[] = {
      {std::string("# h\nW3SVC\tstop\rped\tauto\tW\tC:\\w.exe\n# end\n"),
       [](const std::string& t) { ParseServices(t, "/m/services.txt"); },
       "machine file /m/services.txt: line 2 has a service state other than running or stopped: stop%0Dped"},
      {std::string("# h\nGu") + '\0' + "est\t\t\tx\t\n# end\n",
       [](const std::string& t) { ParseAccounts(t, "/m/accounts.txt"); },
       "machine file /m/accounts.txt: line 2 has flags of Gu%00est that are no number"},
      {std::string("# h\nGuest\x1b\t\t\tx\t\n# end\n"),
       [](const std::string& t) { ParseAccounts(t, "/m/accounts.txt"); },
       "machine file /m/accounts.txt: line 2 has flags of Guest%1B that are no number"},
      {"[Machine]\r\nFormat=2\r`[Version]\r\n; end\r\n",
       [](const std::string& t) { ParseMachineIni(t, "/m/machine.ini"); },
       "machine file /m/machine.ini: format 2%0D`[Version] is not this build's (2)"},
  };
  for (const auto& c : cases) {
    try {
      c.read(c.text);
      ADD_FAILURE() << c.message << ": no error";
    } catch (const MachineStateError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace quorvale
