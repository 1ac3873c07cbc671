#include <iostream>

#include "machine_tool.h"

int main(int argc, char** argv) {
  return quorvale::tool::RunMachineTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                        std::cerr);
}
