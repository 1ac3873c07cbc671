// Starting a program on the machine, as WinExec and the shell do: the first
// word of the command line names the program, the rest is its arguments.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "quorvale/programs/program_host.h"

namespace quorvale {

// The programs the machine can run, found by the name of the program file:
// regsvr32.exe, RegAsm.exe, cacls.exe, notepad.exe, Rar.exe (the unpacker),
// Service.exe (the agent's service program), batch files (.bat, .cmd), and
// any program of ours (an ELF executable) copied onto the machine, which
// runs as a process of its own on the same machine.
//
// The program runs in parallel with the caller; Launch returns at once:
// true when it started, false when the command names no file or nothing
// the machine can run. The host must outlive the program (WaitForPrograms).
// Programs of ours and batch files (except on the test clock) run as
// processes of their own and outlive the caller's process.
bool Launch(ProgramHost& host, const std::string& command_line, int show);

// Makes WinExec run the programs of the process's current machine (the one
// QUORVALE_MACHINE names at the time of each call, so a program started
// on another machine works on that one). Programs call it once at start.
void InstallLauncher();

// Waits until every program started by Launch in this process has ended.
void WaitForPrograms();
// The same with a bound; false when some program still runs after it.
bool WaitForPrograms(std::chrono::milliseconds timeout);
// Waits, with a bound, for the programs that run on threads of this
// process (regsvr32, Cacls, the unpacker ...), which stand in for processes
// of their own and would end with this one; not for the programs that run
// as processes. A program calls it before it ends. False after the bound.
bool WaitForProgramsOnThreads(std::chrono::milliseconds timeout);

// For tests: the unpacker pauses this long on the machine's clock before
// each member, as a slow disk or a large archive makes it (0, the start:
// no pause).
void SetUnpackerPause(std::chrono::milliseconds pause);

// How the command line's first word resolved.
struct ResolvedCommand {
  std::string program;    // long Windows path of the program file
  std::string arguments;  // the rest of the command line, as written
};

// The first word, quoted or not. Unquoted, each longer run of words up to a
// blank is tried in turn ("C:\Program Files\x\Rar.exe x ..." finds the
// file). A name without an extension gets ".exe". A name without a folder is
// looked up in the system folder, then the Windows folder; Windows' own
// tools (regsvr32, cacls, notepad) are found there even when the machine
// folder holds no file for them. Nothing when no file matches.
std::optional<ResolvedCommand> ResolveCommand(const ProgramHost& host, const std::string& command_line);

// Splits arguments as Windows programs do: blanks separate, double quotes
// group, a backslash before a quote escapes it.
std::vector<std::string> SplitArguments(const std::string& arguments);

}  // namespace quorvale
