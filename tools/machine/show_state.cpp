#include "show_state.h"

#include <algorithm>

#include "quorvale/core/text.h"
#include "quorvale/machine/accounts.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/state_file.h"
#include "quorvale/providers/shell_link.h"

namespace quorvale::tool {

namespace fs = std::filesystem;

namespace {

// A list value (one item a line) as "a | b".
std::string OneLine(const std::string& value) {
  std::string out = value;
  for (std::size_t at = 0; (at = out.find('\n', at)) != std::string::npos; at += 3) out.replace(at, 1, " | ");
  return out;
}

std::string Show(std::uint32_t show_command) {
  switch (show_command) {
    case 1: return "normal";
    case 3: return "maximized";
    case 7: return "minimized";
    default: return "style " + std::to_string(show_command);
  }
}

}  // namespace

void ShowIis(Machine& m, std::ostream& out) {
  auto keys = Metabase(m).Load();
  out << "IIS metabase (" << Metabase::FileOf(m.Folder()).filename().string() << ")\n";
  if (!keys) {
    out << "  no IIS\n";
    return;
  }
  for (const auto& k : *keys) {
    const auto depth = static_cast<std::size_t>(std::count(k.location.begin(), k.location.end(), '/'));
    const std::string indent(depth * 2, ' ');
    out << indent << k.location << "  " << k.key_type << "\n";
    for (const auto& [name, value] : k.properties)
      out << indent << "    " << name << " = " << OneLine(value) << "\n";
  }
}

void ShowAccounts(Machine& m, std::ostream& out) {
  LocalAccounts accounts(m);
  out << "Accounts (name, full name, flags, description)\n";
  for (const auto& u : accounts.Users()) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%x", u.flags);
    out << "  " << u.name << "  \"" << u.full_name << "\"  " << flags << "  " << u.description
        << (u.password.empty() ? "  (no password)" : "") << "\n";
  }
  out << "Groups\n";
  for (const auto& g : accounts.Groups()) {
    out << "  " << g.name << ":";
    for (const auto& member : g.members) out << " " << member;
    out << "\n";
  }
}

void ShowShortcuts(Machine& m, std::ostream& out) {
  out << "Shortcuts\n";
  for (char d : m.Drives()) {
    const fs::path root = m.DrivesFolder() / std::string(1, d);
    std::vector<fs::path> links;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (ec) break;
      const std::string ext = LowerCase(it->path().extension().string());
      if (ext == ".lnk" && it->is_regular_file()) links.push_back(it->path());
    }
    std::sort(links.begin(), links.end());
    for (const auto& host : links) {
      std::string win = std::string(1, d) + ":" + host.string().substr(root.string().size());
      std::replace(win.begin(), win.end(), '/', '\\');
      out << "  " << win << "\n";
      auto bytes = ReadStateFile(host);
      auto link = bytes ? ReadShellLink(*bytes) : std::nullopt;
      if (!link) {
        out << "    (not a shell link)\n";
        continue;
      }
      out << "    target       " << link->target_path << "\n"
          << "    relative     " << link->relative_path << "\n"
          << "    description  " << link->description << "\n"
          << "    working dir  " << link->working_directory << "\n"
          << "    arguments    " << link->arguments << "\n"
          << "    icon         " << link->icon_location << "," << link->icon_index << "\n"
          << "    window       " << Show(link->show_command) << "\n";
    }
  }
}

}  // namespace quorvale::tool
