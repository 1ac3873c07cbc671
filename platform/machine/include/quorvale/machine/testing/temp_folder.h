// An empty folder under the system's temporary folder for one test, removed
// with everything in it when the object goes. Header-only:
//
//   quorvale::testing::TempFolder temp("quorvale-tool");
//   Machine::Create(temp.Path() / "m", {});
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quorvale::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "quorvale") {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder " + tmpl);
    path_ = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace quorvale::testing
