// The programs Launch can start, each run on its own thread with the
// resolved command.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "quorvale/programs/program_host.h"

namespace quorvale::programs {

struct ProgramRun {
  ProgramHost& host;
  std::string program;    // long Windows path of the program file
  std::string arguments;  // the command line after the program's name
  int show = 0;
};

void RunRegsvr32(const ProgramRun& run);
void RunRegAsm(const ProgramRun& run);
void RunCacls(const ProgramRun& run);
void RunUnpacker(const ProgramRun& run);
void RunServiceProgram(const ProgramRun& run);
void RunNotepad(const ProgramRun& run);
void RunBatch(const ProgramRun& run);

// A program of ours: started as a process; false when it cannot be started.
bool IsNativeProgram(const std::string& host_file);
bool StartNativeProgram(const ProgramRun& run);
// A batch file run by quorvale-cmd, a process of its own in a session of
// its own: it outlives the program that started it.
bool StartBatchProcess(const ProgramRun& run);

// Runs body on a thread of its own, counted until it ends. on_thread: the
// body is the program itself (not a wait for a program's process).
void RunDetached(std::function<void()> body, bool on_thread = true);

// Serialises changes of the process environment (QUORVALE_MACHINE for a
// loaded server) against reading it for a new process.
std::mutex& EnvironmentMutex();

}  // namespace quorvale::programs
