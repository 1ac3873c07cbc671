#include "quorvale/setup/install_check.h"

#include "quorvale/setup/complete_page.h"
#include "quorvale/setup/progress_page.h"
#include "quorvale/setup/system_helpers.h"

namespace quorvale::setup {

namespace {

// Long enough for any value an install writes (the install folder may be
// longer than Windows paths allow).
constexpr std::int32_t kReadBack = 4096;

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : "、") + part;
  return text;
}

}  // namespace

std::vector<std::string> MissingEssentials(RegistryHelpers& registry, IniHelpers& ini,
                                           const InstallEssentials& e) {
  std::vector<std::string> missing;
  Err err;  // a look that fails finds nothing
  auto absent = [&](const std::string& path) {
    bool there = false;
    err.Resume([&] { there = FileExists(path); });
    return !there;
  };
  for (const auto& name : e.folder_files)
    if (absent(e.folder + "\\" + name)) missing.push_back(name);
  if (e.components)
    for (const auto& entry : e.components->entries) {
      const std::string path = e.system_folder + "\\" + entry.file;
      if (absent(path)) missing.push_back(path);
    }
  std::string uninstall;
  err.Resume([&] {
    uninstall =
        registry.ReadString(win32::HKEY_LOCAL_MACHINE, UninstallKeyOf(e.end), "UninstallString", kReadBack);
  });
  if (uninstall != UninstallStringOf(e.folder)) missing.push_back("反安装注册表项");
  std::string setup_dir;
  err.Resume([&] {
    ini.INIFileName = UninstallRecordPath(e.folder);
    setup_dir = ini.GetIniKey(kUninstallSection, "SetupDir");
  });
  if (setup_dir != e.folder) missing.push_back("Uninstall.ini");
  return missing;
}

void CheckInstallation(ProgressPage& page, RegistryHelpers& registry, IniHelpers& ini,
                       const InstallEssentials& essentials) {
  const auto missing = MissingEssentials(registry, ini, essentials);
  if (missing.empty()) return;
  page.ListLine("安装失败，缺少：" + Joined(missing) + "...");
  page.Program().Page<CompletePage>().ShowFailure(Joined(missing), essentials.folder);
}

}  // namespace quorvale::setup
