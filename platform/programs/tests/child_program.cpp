// A program of ours for the tests: writes child.out into its current folder
// with its machine and its arguments.
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
  std::ofstream out("child.out");
  const char* machine = std::getenv("QUORVALE_MACHINE");
  out << (machine ? machine : "(none)");
  for (int i = 1; i < argc; ++i) out << '|' << argv[i];
  return 0;
}
