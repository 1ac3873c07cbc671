// A program of ours for the tests: writes child.out into its current folder
// with its machine and its arguments. With "-wait-for FILE" first, it then
// runs until FILE appears in its folder (10 s at most).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  {
    std::ofstream out("child.out");
    const char* machine = std::getenv("QUORVALE_MACHINE");
    out << (machine ? machine : "(none)");
    for (int i = 1; i < argc; ++i) out << '|' << argv[i];
  }
  if (argc >= 3 && std::string(argv[1]) == "-wait-for")
    for (int i = 0; i < 1000 && !std::filesystem::exists(argv[2]); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return 0;
}
