// WScript.Shell: the user's special folders and desktop shortcuts.
//
// The special folders are those of the one user of the machine,
// Administrator, with the names a Chinese Windows gives them
// (C:\Documents and Settings\Administrator\桌面; under the Windows folder on
// Windows 98). A value under HKCU\...\Explorer\Shell Folders names another
// folder, as on Windows. A folder asked for is made when it is missing, as
// Windows keeps them all.
#include <chrono>
#include <filesystem>

#include "provider_classes.h"
#include "quorvale/core/codepage.h"
#include "quorvale/core/errors.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/providers/shell_link.h"

namespace quorvale {

namespace {

struct Folder {
  const char* name;
  const char* under_profile;  // below the user's profile folder
};

constexpr Folder kFolders[] = {
    {"Desktop", "桌面"},
    {"Favorites", "Favorites"},
    {"MyDocuments", "My Documents"},
    {"StartMenu", "「开始」菜单"},
    {"Programs", "「开始」菜单\\程序"},
    {"Startup", "「开始」菜单\\程序\\启动"},
};

std::string SpecialFolder(const std::string& name) {
  const Folder* folder = nullptr;
  bool all_users = false;
  for (const auto& f : kFolders) {
    if (NamesEqual(name, f.name)) folder = &f;
    if (NamesEqual(name, std::string("AllUsers") + f.name)) folder = &f, all_users = true;
  }
  if (!folder) return "";
  auto machine = CurrentMachine();
  const MachineInfo info = machine->Info();
  std::string path;
  if (!all_users) {
    auto set = machine->Registry().GetValue(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        folder->name);
    if (set) path = Cp936ToUtf8(set->AsText());
  }
  if (path.empty()) {
    const std::string profile =
        info.version.platform_id == 1
            ? info.windows_directory
            : std::string("C:\\Documents and Settings\\") + (all_users ? "All Users" : "Administrator");
    path = profile + "\\" + folder->under_profile;
  }
  auto r = machine->Resolve(path);
  if (r.error == 0 && !r.exists) {
    std::error_code ec;
    std::filesystem::create_directories(r.host, ec);
  }
  return path;
}

std::uint64_t FileTimeOf(const std::filesystem::path& host) {
  std::error_code ec;
  auto t = std::filesystem::last_write_time(host, ec);
  if (ec) return 0;
  auto since =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::file_clock::to_sys(t).time_since_epoch());
  // FILETIME counts 100 ns from 1601.
  return (static_cast<std::uint64_t>(since.count()) + 11644473600ull) * 10000000ull;
}

class Shortcut final : public DynamicDispatch {
 public:
  explicit Shortcut(std::string path) : path_(std::move(path)) {
    auto r = CurrentMachine()->Resolve(path_);
    if (r.exists && !r.is_directory)
      if (auto bytes = ReadStateFile(r.host))
        if (auto read = ReadShellLink(*bytes)) link_ = *read;
    Property("FullName", [this] { return Variant(path_); });
    TextProperty("Description", &ShellLink::description);
    TextProperty("TargetPath", &ShellLink::target_path);
    TextProperty("Arguments", &ShellLink::arguments);
    TextProperty("WorkingDirectory", &ShellLink::working_directory);
    Property(
        "WindowStyle", [this] { return Variant(static_cast<std::int32_t>(link_.show_command)); },
        [this](const Variant& v) { link_.show_command = static_cast<std::uint32_t>(Number(&v)); });
    Property(
        "IconLocation",
        [this] { return Variant(link_.icon_location + "," + std::to_string(link_.icon_index)); },
        [this](const Variant& v) {
          const std::string text = Text(&v);
          const auto comma = text.rfind(',');
          std::int32_t index = 0;
          if (comma != std::string::npos) {
            const std::string digits = text.substr(comma + 1);
            if (digits.empty() || digits.find_first_not_of("-0123456789") != std::string::npos)
              Raise(Error::kSystemInvalidParameter);
            index = std::stoi(digits);
          }
          link_.icon_location = text.substr(0, comma);
          link_.icon_index = index;
        });
    Method("Save", [this](const Args&) { return Save(); });
  }

 private:
  void TextProperty(const char* name, std::string ShellLink::*field) {
    Property(
        name, [this, field] { return Variant(link_.*field); },
        [this, field](const Variant& v) { link_.*field = Text(&v); });
  }

  Variant Save() {
    auto machine = CurrentMachine();
    auto r = machine->Resolve(path_);
    if (r.error || !r.parent_exists) Raise(Error::kSystemPathNotFound);
    if (r.is_directory) Raise(Error::kSystemAccessDenied);
    if (r.exists && machine->IsHeld(r.long_path)) Raise(Error::kSystemSharingViolation);
    if (r.exists && (machine->Attributes(r) & kAttrReadOnly)) Raise(Error::kSystemAccessDenied);
    ShellLink link = link_;
    link.relative_path.clear();
    link.file_attributes = 0;
    link.file_size = 0;
    link.write_time = 0;
    if (!link.target_path.empty()) {
      auto target = machine->Resolve(link.target_path);
      const std::string folder = r.long_path.substr(0, r.long_path.rfind('\\'));
      link.relative_path = RelativeWindowsPath(folder, target.exists ? target.long_path : link.target_path);
      if (target.exists) {
        link.file_attributes = machine->Attributes(target);
        std::error_code ec;
        if (!target.is_directory)
          link.file_size = static_cast<std::uint32_t>(std::filesystem::file_size(target.host, ec));
        link.write_time = FileTimeOf(target.host);
      }
    }
    {
      // Shortcut files are written under this lock, through a temporary
      // file beside each that the lock names while it exists.
      StateLock lock(machine->Folder() / "shortcut", true);
      WriteStateFile(r.host, WriteShellLink(link), lock);
    }
    if (!r.exists) machine->ForgetPath(r.long_path);
    return Variant();
  }

  std::string path_;
  ShellLink link_;
};

class Shell final : public DynamicDispatch {
 public:
  Shell() {
    // SpecialFolders("Desktop") names the folder at once; SpecialFolders
    // alone is the collection, whose Item does the same.
    Add("SpecialFolders", [](const Args& a, std::uint16_t flags) {
      if (flags & DISPATCH_PROPERTYPUT) Raise(Error::kNoSuchMember, "SpecialFolders");
      if (!a.empty()) return Variant(SpecialFolder(Text(a[0])));
      return NewObject(new FolderCollection);
    });
    Method("CreateShortcut", [](const Args& a) {
      const std::string path = Text(Arg(a, 0));
      if (path.size() < 4 || !NamesEqual(path.substr(path.size() - 4), ".lnk"))
        Raise(Error::kSystemInvalidParameter, "The shortcut pathname must end with .lnk or .url");
      return NewObject(new Shortcut(path));
    });
  }

 private:
  class FolderCollection final : public DispatchBase {
    const std::vector<Member>& Members() const override { return members_; }
    const std::vector<Member> members_ = {
        {"Item", 0, [](const Args& a, std::uint16_t) { return Variant(SpecialFolder(Text(Arg(a, 0)))); }},
        {"Count", 1,
         [](const Args&, std::uint16_t) {
           return Variant(static_cast<std::int32_t>(2 * std::size(kFolders)));
         }},
    };
  };
};

}  // namespace

IDispatch* NewShell() { return new Shell; }

}  // namespace quorvale
