#include "quorvale/core/elf_sections.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvale {
namespace {

TEST(ResourceSectionLanguage, NamesOfTheResourceAndOfOthers) {
  struct Case {
    const char* section;
    std::optional<int> language;
  } cases[] = {
      {".qvres.CUSTOM.101", 0},
      {".qvres.CUSTOM.101.2052", 2052},
      {".qvres.CUSTOM.101.0", 0},
      {".qvres.CUSTOM.1012", {}},
      {".qvres.CUSTOM.10", {}},
      {".qvres.CUSTOM.101.", {}},
      {".qvres.CUSTOM.101.20x2", {}},
      {".qvres.CUSTOM.101.2052.1", {}},
      {".qvres.CUSTOMS.101", {}},
      {".qvres.TYPELIB.1", {}},
      {".rodata", {}},
      {".qvres.CUSTOM.101.1234567", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResourceSectionLanguage(c.section, "CUSTOM", 101), c.language) << c.section;
}

class ElfFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    program_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void TearDown() override { std::filesystem::remove(file_); }
  const std::filesystem::path& Write(const std::string& bytes) {
    std::ofstream(file_, std::ios::binary) << bytes;
    return file_;
  }
  std::string program_;
  std::filesystem::path file_ =
      std::filesystem::temp_directory_path() / ("elf-sections-" + std::to_string(::getpid()));
};

TEST_F(ElfFiles, ReadsTheSectionTableOfAProgram) {
  auto sections = ReadElfSections(Write(program_));
  ASSERT_TRUE(sections);
  bool text = false;
  for (const auto& s : *sections) {
    EXPECT_LE(s.offset + s.size, program_.size()) << s.name;
    text = text || s.name == ".text";
  }
  EXPECT_TRUE(text);
  // The running program itself, under any loader (valgrind answers a second
  // look at /proc/self/exe with its own tool).
  auto running = ReadElfSections("/proc/self/exe");
  ASSERT_TRUE(running);
  EXPECT_EQ(running->size(), sections->size());
}

TEST_F(ElfFiles, NothingForFilesThatAreNoWholeElfFile) {
  std::string cut_names = program_;
  cut_names.resize(program_.size() - 64);  // the section table stands at the end
  const std::string cases[] = {"", "MZ not ELF", program_.substr(0, 64), program_.substr(0, 4096), cut_names};
  for (const std::string& bytes : cases) EXPECT_FALSE(ReadElfSections(Write(bytes))) << bytes.size();
  EXPECT_FALSE(ReadElfSections("/nonexistent/file"));
}

}  // namespace
}  // namespace quorvale
