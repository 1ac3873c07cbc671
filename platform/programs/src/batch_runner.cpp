// quorvale-cmd: the batch interpreter as a process of its own, as cmd.exe
// runs a batch file that a program starts, so that the batch outlives the
// program that started it. It runs the batch file its one argument names
// (a Windows path) on the machine QUORVALE_MACHINE names.
#include <exception>
#include <iostream>

#include "programs.h"
#include "quorvale/programs/machine_program_host.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: quorvale-cmd BATCH-FILE (a Windows path on the machine QUORVALE_MACHINE names)\n";
    return 2;
  }
  try {
    quorvale::programs::RunBatch({quorvale::CurrentProgramHost(), argv[1], "", 0});
  } catch (const std::exception& e) {
    std::cerr << "quorvale-cmd: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
