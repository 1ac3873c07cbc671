// machine.ini: sections of key=value lines, CR LF, closed by "; end". Its
// [Machine] Format tells the files of this build from an older build's,
// whose files did not mark their end.
#include <cctype>
#include <map>

#include "quorvale/machine/machine.h"
#include "quorvale/machine/machine_folder.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFormat = "2";

using Sections = std::map<std::string, std::map<std::string, std::string>>;

Sections ParseSections(const fs::path& file, const std::vector<std::string>& lines) {
  Sections ini;
  std::string section;
  std::size_t line_no = 0;
  for (const std::string& line : lines) {
    ++line_no;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      ini[section];
      continue;
    }
    auto eq = line.find('=');
    if (eq == std::string::npos || section.empty())
      throw MachineStateError(file, "line " + std::to_string(line_no) + " is no section and no key=value");
    ini[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
  return ini;
}

// The lines without asking for the end line: enough to see which build wrote
// the file.
std::vector<std::string> LooseLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

const std::string& Need(const fs::path& file, const Sections& ini, const std::string& section,
                        const std::string& key) {
  auto s = ini.find(section);
  if (s != ini.end()) {
    auto k = s->second.find(key);
    if (k != s->second.end()) return k->second;
  }
  throw MachineStateError(file, "[" + section + "] " + key + " is missing");
}

std::uint32_t Number(const fs::path& file, const std::string& key, const std::string& text) {
  if (!IsDecimal(text, 10) || std::stoull(text) > 0xFFFFFFFFull)
    throw MachineStateError(file, key + " is not a number: " + text);
  return static_cast<std::uint32_t>(std::stoull(text));
}

}  // namespace

MachineIni ParseMachineIni(const std::string& text, const fs::path& file) {
  const Sections loose = ParseSections(file, LooseLines(text));
  if (!loose.count("Machine") && loose.count("Version"))
    throw MachineStateError(file,
                            "made by an older build of Quorvale, whose files do not mark their end; remake "
                            "the machine with: " +
                                ResetCommandOf(file.parent_path()));
  const Sections ini = ParseSections(file, StateFileLines(file, text, kIniEnd));
  if (Need(file, ini, "Machine", "Format") != kFormat)
    throw MachineStateError(
        file, "format " + Need(file, ini, "Machine", "Format") + " is not this build's (" + kFormat + ")");
  MachineIni out;
  MachineInfo& info = out.info;
  info.version.major = Number(file, "MajorVersion", Need(file, ini, "Version", "MajorVersion"));
  info.version.minor = Number(file, "MinorVersion", Need(file, ini, "Version", "MinorVersion"));
  info.version.build = Number(file, "BuildNumber", Need(file, ini, "Version", "BuildNumber"));
  info.version.platform_id = Number(file, "PlatformId", Need(file, ini, "Version", "PlatformId"));
  info.version.csd = Need(file, ini, "Version", "CSDVersion");
  info.computer_name = Need(file, ini, "Computer", "ComputerName");
  info.windows_directory = Need(file, ini, "Computer", "WindowsDirectory");
  info.system_directory = Need(file, ini, "Computer", "SystemDirectory");
  info.temp_path = Need(file, ini, "Computer", "TempPath");
  const std::string& iis = Need(file, ini, "Features", "IIS");
  if (iis != "yes" && iis != "no")
    throw MachineStateError(file, "[Features] IIS is neither yes nor no: " + iis);
  info.iis = iis == "yes";
  if (auto space = ini.find("FreeSpace"); space != ini.end())
    for (const auto& [drive, value] : space->second) {
      if (drive.size() != 1 || !std::isupper(static_cast<unsigned char>(drive[0])))
        throw MachineStateError(file, "[FreeSpace] " + drive + " is no drive letter");
      if (value != "real" && !IsDecimal(value, 19))
        throw MachineStateError(file, "[FreeSpace] " + drive + " is neither real nor a byte count: " + value);
      out.free_space[drive[0]] =
          value == "real" ? std::nullopt : std::optional<std::uint64_t>(std::stoull(value));
    }
  return out;
}

std::string FormatMachineIni(const MachineIni& ini) {
  const MachineInfo& i = ini.info;
  std::string out =
      "; A Windows machine kept by Quorvale\r\n[Machine]\r\nFormat=" + std::string(kFormat) + "\r\n";
  out += "[Version]\r\nMajorVersion=" + std::to_string(i.version.major) +
         "\r\nMinorVersion=" + std::to_string(i.version.minor) +
         "\r\nBuildNumber=" + std::to_string(i.version.build) +
         "\r\nPlatformId=" + std::to_string(i.version.platform_id) + "\r\nCSDVersion=" + i.version.csd +
         "\r\n";
  out += "[Computer]\r\nComputerName=" + i.computer_name + "\r\nWindowsDirectory=" + i.windows_directory +
         "\r\nSystemDirectory=" + i.system_directory + "\r\nTempPath=" + i.temp_path + "\r\n";
  out += std::string("[Features]\r\nIIS=") + (i.iis ? "yes" : "no") + "\r\n[FreeSpace]\r\n";
  for (const auto& [drive, bytes] : ini.free_space)
    out += std::string(1, drive) + "=" + (bytes ? std::to_string(*bytes) : "real") + "\r\n";
  out += kIniEnd;
  out += "\r\n";
  return out;
}

}  // namespace quorvale
