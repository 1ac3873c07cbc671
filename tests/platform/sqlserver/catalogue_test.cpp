#include "quorvale/sqlserver/catalogue.h"

#include <gtest/gtest.h>

#include "quorvale/machine/testing/temp_machine.h"

namespace quorvale::sqlserver {
namespace {

TEST(Catalogue, KeepsWhatItHoldsAcrossWriteAndRead) {
  Catalogue c;
  c.logins.push_back({"Pa\tnel", "p%w\n", "Panel", 7, false});
  c.databases.push_back(
      {5, "Panel", "C:\\D\\Panel.mdf", "C:\\D\\Panel.ldf", {{"dbo", 1, {"db_owner"}}, {"u", 0, {}}}});
  c.processes.push_back({52, 1234, 5, "sa"});
  c.next_spid = 53;
  Catalogue back = ParseCatalogue(FormatCatalogue(c), "catalogue.txt");
  EXPECT_EQ(FormatCatalogue(back), FormatCatalogue(c));
  EXPECT_EQ(back.logins[0].password, "p%w\n");
  EXPECT_EQ(back.databases[0].users[0].roles.count("db_owner"), 1u);
  EXPECT_EQ(back.next_spid, 53);
}

TEST(Catalogue, DamagedLinesNameTheFile) {
  Catalogue c;
  c.databases.push_back({5, "Panel", "C:\\D\\Panel.mdf", "C:\\D\\Panel.ldf", {{"dbo", 1, {"db_owner"}}}});
  const std::string whole = FormatCatalogue(c);
  ASSERT_TRUE(whole.ends_with("\n# end\n"));
  struct Case {
    std::string text;
    const char* why;  // in the message
  } cases[] = {
      {"login\tsa\n# end\n", "line 1 is damaged"},
      {"process\tx\t1\t1\tsa\n# end\n", "line 1 is damaged"},
      {"user\tdbo\t1\t\n# end\n", "line 1 is damaged"},  // no database above it
      {"nonsense\n# end\n", "line 1 is damaged"},
      // Cut at the line end before its end line: its users would be lost.
      {whole.substr(0, whole.size() - 6), ""},
      {"", ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.text);
    try {
      ParseCatalogue(k.text, "catalogue.txt");
      ADD_FAILURE() << "read as whole";
    } catch (const MachineStateError& e) {
      EXPECT_EQ(std::string(e.what()).find("machine file catalogue.txt: "), 0u) << e.what();
      EXPECT_NE(std::string(e.what()).find(k.why), std::string::npos) << e.what();
    }
  }
}

TEST(Catalogue, InstallOnceAndProcessesOfEndedProgramsGo) {
  testing::TempMachine temp;
  EXPECT_FALSE(LoadCatalogue(temp.machine()));
  EXPECT_FALSE(UpdateCatalogue(temp.machine(), [](Catalogue&) { return true; }));
  InstallSqlServer(temp.machine());
  EXPECT_THROW(InstallSqlServer(temp.machine()), MachineStateError);
  const auto service = temp.machine().FindService("MSSQLSERVER");
  ASSERT_TRUE(service);
  EXPECT_EQ(service->state, "running");
  auto loaded = LoadCatalogue(temp.machine());
  ASSERT_TRUE(loaded);
  const Login* sa = loaded->FindLogin("SA");
  ASSERT_TRUE(sa);
  EXPECT_EQ(sa->password, kInitialSaPassword);
  EXPECT_EQ(loaded->databases.size(), 4u);
  UpdateCatalogue(temp.machine(), [](Catalogue& k) {
    k.processes.push_back({60, 999999999, 1, "sa"});  // no such program
    k.processes.push_back({61, static_cast<long>(::getpid()), 1, "sa"});
    return true;
  });
  UpdateCatalogue(temp.machine(), [](Catalogue&) { return false; });
  loaded = LoadCatalogue(temp.machine());
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->processes.size(), 1u);
  EXPECT_EQ(loaded->processes[0].spid, 61);
}

// The service stays recorded: a catalogue gone or cut is damage, never a
// machine without SQL Server, and nothing is written in its place.
TEST(Catalogue, AGoneOrCutCatalogueIsDamage) {
  for (const char* damage : {"removed", "cut"}) {
    SCOPED_TRACE(damage);
    testing::TempMachine temp;
    InstallSqlServer(temp.machine());
    const auto file = temp.Folder() / "sqlserver" / "catalogue.txt";
    if (std::string(damage) == "removed") {
      std::filesystem::remove(file);
    } else {
      std::filesystem::resize_file(file, std::filesystem::file_size(file) - 6);  // "# end\n"
    }
    EXPECT_THROW(LoadCatalogue(temp.machine()), MachineStateError);
    try {
      UpdateCatalogue(temp.machine(), [](Catalogue&) { return true; });
      ADD_FAILURE() << "updated";
    } catch (const MachineStateError& e) {
      EXPECT_EQ(std::string(e.what()).find("machine file " + file.string() + ": "), 0u) << e.what();
    }
    EXPECT_EQ(std::filesystem::exists(file), std::string(damage) == "cut");
  }
}

}  // namespace
}  // namespace quorvale::sqlserver
