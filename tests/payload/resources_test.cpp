// The resources a program carries, read back through the resource calls of
// the running program. Built once per program, with that program's
// resources linked in and the files they were made from named by the build.
#include "quorvale/win32/resources.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <link.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "quorvale/core/err.h"
#include "quorvale/win32/kernel.h"
#include "quorvale/win32/vb_resources.h"

namespace quorvale::win32 {
namespace {

struct Carried {
  WORD id;
  const char* file;
  DWORD size;
};

// Program by program: the resources, each with its source file and its size.
const std::vector<Carried> kCarried = {
#if defined(SERVER_RESOURCES)
    {101, SERVER_PAYLOAD, 2861144},
    {102, UNPACKER, 314368},
#elif defined(CLIENT_RESOURCES)
    {101, CONTROL_PAYLOAD, 4051116},
    {102, UNPACKER, 314368},
#elif defined(UNINSTALL_RESOURCES)
    {101, DODIDE, 98304},
    {102, CONTROL_COMPONENT, 397312},
    {103, JMAIL, 361984},
#endif
};

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file mapped at an address ("" for memory of no file).
std::string MappedFile(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream fields(line);
    fields >> std::hex >> from >> dash >> to;
    if (at >= from && at < to) {
      const auto slash = line.find('/');
      return slash == std::string::npos ? "" : line.substr(slash);
    }
  }
  return "";
}

// Whether the address lies in a mapping of the program's own file (the one
// that holds its code, whatever loaded it): the resource is used where the
// loader put it, not in a copy.
bool MappedFromProgram(const void* address) {
  const std::string program = MappedFile(reinterpret_cast<const void*>(&ReadFile));
  return !program.empty() && MappedFile(address) == program;
}

TEST(ProgramResources, EachIsTheFileItWasMadeFromByteForByte) {
  ASSERT_FALSE(kCarried.empty());
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.id);
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(c.id), "CUSTOM");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), c.size);
    const void* bytes = LockResource(LoadResource(nullptr, found));
    ASSERT_NE(bytes, nullptr);
    EXPECT_TRUE(std::string(static_cast<const char*>(bytes), c.size) == ReadFile(c.file));
    EXPECT_TRUE(MappedFromProgram(bytes));
    // The runtime's LoadResData hands out the same bytes, not a copy.
    const std::string_view data = LoadResData(c.id, "CUSTOM");
    EXPECT_EQ(static_cast<const void*>(data.data()), bytes);
    EXPECT_EQ(data.size(), c.size);
  }
}

// The program as its dynamic loader starts it when named as a program
// (ld.so PROGRAM, as other loaders start it too): /proc/self/exe then names
// the loader, and the program lies elsewhere. It finds the same resources.
TEST(ProgramResources, FoundWhateverLoadedTheProgram) {
  std::string loader;
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* out) {
        for (int i = 0; i < info->dlpi_phnum; ++i)
          if (info->dlpi_phdr[i].p_type == PT_INTERP)
            *static_cast<std::string*>(out) =
                reinterpret_cast<const char*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
        return 1;  // the first object is the program
      },
      &loader);
  if (loader.empty()) GTEST_SKIP() << "the program names no dynamic loader";
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string filter =
      "--gtest_filter=ProgramResources.EachIsTheFileItWasMadeFromByteForByte:ProgramResources."
      "LookupsByLanguageNameAndType";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::execl(loader.c_str(), loader.c_str(), program.c_str(), filter.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << loader << " " << program << ": " << status;
}

TEST(ProgramResources, LookupsByLanguageNameAndType) {
  const WORD id = kCarried.front().id;
  const LPCSTR name = MAKEINTRESOURCEA(id);
  const std::string number = "#" + std::to_string(id);
  const HRSRC any = FindResourceA(nullptr, name, "CUSTOM");
  int module = 0;
  struct Case {
    const char* what;
    std::function<HRSRC()> find;
    DWORD error;  // 0: found, the same resource
  } cases[] = {
      {"language 2052", [&] { return FindResourceExA(nullptr, "CUSTOM", name, 2052); }, 0},
      {"any language", [&] { return FindResourceExA(nullptr, "CUSTOM", name, 0); }, 0},
      {"type without case", [&] { return FindResourceA(nullptr, name, "custom"); }, 0},
      {"name as text", [&] { return FindResourceA(nullptr, number.c_str(), "CUSTOM"); }, 0},
      {"language 1033", [&] { return FindResourceExA(nullptr, "CUSTOM", name, 1033); },
       ERROR_RESOURCE_LANG_NOT_FOUND},
      {"another number", [&] { return FindResourceA(nullptr, MAKEINTRESOURCEA(999), "CUSTOM"); },
       ERROR_RESOURCE_NAME_NOT_FOUND},
      {"a name of letters", [&] { return FindResourceA(nullptr, "PAYLOAD", "CUSTOM"); },
       ERROR_RESOURCE_NAME_NOT_FOUND},
      {"another type", [&] { return FindResourceA(nullptr, name, "BITMAP"); }, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"a type that begins alike", [&] { return FindResourceA(nullptr, name, "CUSTOMS"); },
       ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"another module", [&] { return FindResourceA(&module, name, "CUSTOM"); }, ERROR_INVALID_HANDLE},
  };
  ASSERT_NE(any, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    const HRSRC found = c.find();
    EXPECT_EQ(found, c.error == 0 ? any : nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(ProgramResources, LoadResDataRaises326ForAMissingResource) {
  try {
    LoadResData(999, "CUSTOM");
    ADD_FAILURE() << "no error raised";
  } catch (const RaisedError& e) {
    EXPECT_EQ(e.Number(), 326);
    EXPECT_STREQ(e.what(), "Resource with identifier '999' not found");
  }
}

}  // namespace
}  // namespace quorvale::win32
