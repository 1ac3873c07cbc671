// quorvale-machine: creates a machine folder of a chosen shape and prints
// what a machine holds, for people.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvale::tool {

// Runs one command line (without the program name); returns the exit code.
int RunMachineTool(std::vector<std::string> args, std::ostream& out, std::ostream& err);

}  // namespace quorvale::tool
