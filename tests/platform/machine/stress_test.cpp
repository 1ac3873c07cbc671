// Processes that share a machine: killed at any moment while writing, or
// writing all at once. Nothing is lost or mixed, and no temporary file
// outlives the next lock. QUORVALE_STRESS_ROUNDS sets how long they run
// (the "stress" label runs them longer).
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <iostream>
#include <random>
#include <set>

#include "quorvale/machine/accounts.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/testing/temp_folder.h"

namespace quorvale {
namespace {

namespace fs = std::filesystem;

int Rounds(int normal) {
  const char* rounds = std::getenv("QUORVALE_STRESS_ROUNDS");
  return rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : normal;
}

class SharedMachine : public ::testing::Test {
 protected:
  // Starts body in n processes at once; each gets its number and must end
  // with 0. Returns when all have ended.
  static void InProcesses(int n, const std::function<void(int)>& body) {
    std::vector<pid_t> pids;
    for (int i = 0; i < n; ++i) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        int code = 0;
        try {
          body(i);
        } catch (const std::exception& e) {
          std::cerr << "process " << i << ": " << e.what() << "\n";
          code = 1;
        }
        ::_exit(code);
      }
      pids.push_back(pid);
    }
    for (pid_t pid : pids) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
  }

  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder_))
      if (e.path().extension() == ".tmp") found.push_back(e.path().filename());
    return found;
  }

  quorvale::testing::TempFolder temp_{"quorvale-stress"};
  const fs::path dir_ = temp_.Path(), folder_ = dir_ / "m";
};

const char* const kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Stress";

// One step of the writer that is killed: every kind of state file.
void WriteStep(Machine& m, int i) {
  const std::string n = std::to_string(i);
  m.Registry().SetValue(kKey, "n", RegValue::Text(n));
  m.SetFreeSpace('C', static_cast<std::uint64_t>(i));
  m.RecordStart({"step " + n, 0, true});
  Metabase(m).Update([&](std::vector<MetabaseKey>& keys) {
    keys[0].Set("MaxConnections", n);
    return true;
  });
  LocalAccounts(m).CreateUser({"u" + n, "", "", 0x201, ""});
  m.SetService({"Stress", "Stress", "C:\\s.exe", "auto", i % 2 ? "running" : "stopped"});
}

TEST_F(SharedMachine, KilledWritersLeaveTheOldOrTheNewState) {
  Machine::Create(folder_, {});
  Machine(folder_).Registry().CreateKey(kKey);
  std::mt19937 random(11);
  int last_seen = -1, changed = 0;
  const int rounds = Rounds(15);
  for (int round = 0; round < rounds; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      Machine m(folder_);
      for (int i = round * 100'000;; ++i) WriteStep(m, i);
    }
    ::usleep(1000 + random() % 15000);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    Machine m(folder_);
    ASSERT_NO_THROW(m.Check()) << "round " << round;
    const auto n = m.Registry().GetValue(kKey, "n");
    const int value = n ? std::stoi(n->AsText()) : -1;
    EXPECT_TRUE(value == -1 || value / 100'000 <= round) << value;
    changed += value != last_seen;
    last_seen = value;
    m.Registry().CreateKey(kKey);  // the next write takes each lock it needs
    m.SetFreeSpace('C', std::nullopt);
    m.RecordStart({"after", 0, true});
    Metabase(m).Update([](std::vector<MetabaseKey>&) { return true; });
    LocalAccounts(m).UpdateUser({"Guest", "", "", 66083, ""});
    m.SetService({"Stress", "Stress", "C:\\s.exe", "auto", "stopped"});
    EXPECT_EQ(Temporaries(), std::vector<std::string>{}) << "round " << round;
  }
  std::cout << rounds << " writers killed, " << changed << " of them after changing the registry\n";
}

TEST_F(SharedMachine, KilledMakersLeaveNoMachineOrAWholeOne) {
  std::mt19937 random(5);
  int whole = 0;
  const int rounds = Rounds(10);
  for (int round = 0; round < rounds; ++round) {
    fs::remove_all(folder_);
    const pid_t pid = ::fork();
    if (pid == 0) {
      Machine::Create(folder_, {});
      ::_exit(0);
    }
    ::usleep(random() % 30'000);  // making one takes some milliseconds
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    if (Machine::Exists(folder_)) {
      ++whole;
      EXPECT_NO_THROW(Machine(folder_).Check());
    } else {
      EXPECT_NO_THROW(Machine::Create(folder_, {}));  // what the maker left goes
      EXPECT_NO_THROW(Machine(folder_).Check());
    }
  }
  std::cout << rounds << " makers killed, " << whole << " had finished\n";
}

// 2 to 8 processes write the same machine at once: every write is there.
TEST_F(SharedMachine, ConcurrentWritersLoseNothing) {
  Machine::Create(folder_, {});
  Machine(folder_).Registry().CreateKey(kKey);
  const int each = Rounds(12);
  for (int processes : {2, 8}) {
    SCOPED_TRACE(std::to_string(processes) + " processes");
    const int base = processes * 1000;
    InProcesses(processes, [&](int p) {
      Machine m(folder_);
      for (int i = 0; i < each; ++i) {
        const std::string id = std::to_string(base + p * each + i);
        m.Registry().SetValue(kKey, "v" + id, RegValue::Text(id));
        m.SetFreeSpace(static_cast<char>('D' + p), static_cast<std::uint64_t>(i + 1));
        Metabase(m).Update([&](std::vector<MetabaseKey>& keys) {
          keys.push_back({"/LM/W3SVC/" + id, "IIsWebServer", {{"ServerComment", id}}});
          return true;
        });
        if (LocalAccounts(m).CreateUser({"u" + id, "", "", 0x201, ""}) != 0)
          throw std::runtime_error("account u" + id + " refused");
      }
    });
    Machine m(folder_);
    ASSERT_NO_THROW(m.Check());
    const auto loaded = Metabase(m).Load();
    ASSERT_TRUE(loaded);
    const auto& keys = *loaded;
    const auto users = LocalAccounts(m).Users();
    std::set<std::string> names;
    for (const auto& u : users) names.insert(u.name);
    for (int p = 0; p < processes; ++p)
      for (int i = 0; i < each; ++i) {
        const std::string id = std::to_string(base + p * each + i);
        EXPECT_EQ(m.Registry().GetValue(kKey, "v" + id), RegValue::Text(id)) << id;
        EXPECT_TRUE(names.count("u" + id)) << id;
        EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [&](auto& k) {
          return k.location == "/LM/W3SVC/" + id;
        })) << id;
      }
    for (int p = 0; p < processes; ++p)
      EXPECT_EQ(m.FreeSpace(static_cast<char>('D' + p)),
                std::nullopt);  // no such drive: the key is kept apart
    const auto info = ReadStateFile(m.InfoFile());
    ASSERT_TRUE(info);
    const auto ini = ParseMachineIni(*info, m.InfoFile());
    for (int p = 0; p < processes; ++p)
      EXPECT_EQ(ini.free_space.at(static_cast<char>('D' + p)), std::uint64_t(each));
    std::cout << processes << " processes: " << processes * each << " registry values, sites, accounts and "
              << processes << " machine.ini keys each written, none lost\n";
  }
}

// Several makers and resetters of one folder at once: one machine of one
// shape at a time, never a mix of two.
TEST_F(SharedMachine, ConcurrentMakersAndResettersNeverMix) {
  const WindowsEdition editions[] = {WindowsEdition::kWindows2000, WindowsEdition::kWindowsServer2003};
  InProcesses(8, [&](int p) {
    MachineShape shape;
    shape.edition = editions[p % 2];
    try {
      Machine::Create(folder_, shape);
    } catch (const MachineStateError&) {
      // another one is making it, or has made it
    }
  });
  ASSERT_TRUE(Machine::Exists(folder_));
  const int rounds = Rounds(3);
  InProcesses(6, [&](int p) {
    MachineShape shape;
    shape.edition = editions[p % 2];
    for (int i = 0; i < rounds; ++i) {
      if (p < 3) {
        Machine::Reset(folder_, shape);
      } else {
        try {
          Machine(folder_).Check();  // a reader may meet a machine being remade
        } catch (const MachineStateError&) {
        }
      }
    }
  });
  Machine m(folder_);
  ASSERT_NO_THROW(m.Check());
  const std::string windows = m.Info().windows_directory;
  EXPECT_EQ(m.Registry()
                .GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot")
                ->AsText(),
            windows);
  EXPECT_NE(fs::exists(folder_ / "drives" / "C" / "WINNT"), fs::exists(folder_ / "drives" / "C" / "WINDOWS"));
  std::cout << "8 makers and 3 resetters with 3 readers: one " << windows << " machine\n";
}

}  // namespace
}  // namespace quorvale
