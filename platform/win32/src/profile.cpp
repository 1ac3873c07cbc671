// INI files as the Windows profile calls read and write them.
#include <mutex>

#include "boundary.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/state_file.h"

namespace quorvale::win32 {

namespace fs = std::filesystem;

namespace {

// Code page 936 text compared without regard to ASCII letter case; the
// second byte of a double-byte character is never folded.
std::string Trim(const std::string& s) {
  auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

struct Line {
  std::string raw;
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string name, value;
};

Line RawLine(std::string raw) {
  Line l;
  l.raw = std::move(raw);
  return l;
}

std::vector<Line> Parse(const std::string& text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  bool in_section = false;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    Line l;
    l.raw = text.substr(start, end - start);
    start = end + 1;
    if (!l.raw.empty() && l.raw.back() == '\r') l.raw.pop_back();
    std::string t = Trim(l.raw);
    if (!t.empty() && t[0] == '[') {
      l.kind = Line::kSection;
      l.name = Trim(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1));
      in_section = true;
    } else if (in_section && !t.empty() && t[0] != ';') {
      l.kind = Line::kKey;
      auto eq = t.find('=');
      l.name = Trim(t.substr(0, eq));
      if (eq != std::string::npos) {
        l.value = Trim(t.substr(eq + 1));
        if (l.value.size() >= 2 && (l.value[0] == '"' || l.value[0] == '\'') && l.value.back() == l.value[0])
          l.value = l.value.substr(1, l.value.size() - 2);
      }
    }
    lines.push_back(std::move(l));
  }
  return lines;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const auto& l : lines) out += l.raw + "\r\n";
  return out;
}

// The section's header line, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::kSection && Cp936SameText(lines[i].name, section)) return i;
  return lines.size();
}

// One past the section's last line.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
  return i;
}

bool FileArg(LPCSTR file, std::string& utf8, const Machine& m) {
  if (!file) file = "win.ini";
  if (!detail::PathArg(file, utf8)) return false;
  if (utf8.find_first_of("\\/:") == std::string::npos) utf8 = m.Info().windows_directory + "\\" + utf8;
  return true;
}

std::mutex profile_mutex;

// Copies a list of NUL-ended names with its final NUL, cut as Windows cuts.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string all;
  for (const auto& n : names) all += n + '\0';
  if (all.size() + 1 <= size) {
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    return static_cast<DWORD>(all.size());
  }
  if (size < 2) {
    if (size) buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, all.data(), size - 2);
  buffer[size - 2] = buffer[size - 1] = '\0';
  return size - 2;
}

DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size) {
  std::size_t n = std::min<std::size_t>(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value, LPSTR buffer, DWORD size,
                               LPCSTR file) {
  if (!buffer || size == 0) return 0;
  return detail::Guard(DWORD{0}, [&]() -> DWORD {
    auto m = detail::TheMachine();
    std::string path;
    if (!FileArg(file, path, *m)) {
      buffer[0] = '\0';
      return 0;
    }
    ResolvedPath r = m->Resolve(path);
    std::string text;
    if (r.exists && !r.is_directory) text = ReadStateFile(r.host).value_or("");
    auto lines = Parse(text);
    if (!section) {
      std::vector<std::string> names;
      for (const auto& l : lines)
        if (l.kind == Line::kSection) names.push_back(l.name);
      return CopyList(names, buffer, size);
    }
    // Names are taken without the blanks around them, as the file's lines are.
    std::size_t s = FindSection(lines, Trim(section));
    if (!key) {
      std::vector<std::string> names;
      if (s < lines.size())
        for (std::size_t i = s + 1; i < SectionEnd(lines, s); ++i)
          if (lines[i].kind == Line::kKey) names.push_back(lines[i].name);
      return CopyList(names, buffer, size);
    }
    if (s < lines.size())
      for (std::size_t i = s + 1; i < SectionEnd(lines, s); ++i)
        if (lines[i].kind == Line::kKey && Cp936SameText(lines[i].name, Trim(key))) {
          SetLastError(ERROR_SUCCESS);
          return CopyValue(lines[i].value, buffer, size);
        }
    SetLastError(ERROR_FILE_NOT_FOUND);
    std::string def = default_value ? default_value : "";
    while (!def.empty() && def.back() == ' ') def.pop_back();
    return CopyValue(def, buffer, size);
  });
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  auto fail = [](DWORD e) {
    SetLastError(e);
    return FALSE;
  };
  if (!section) return key || value ? fail(ERROR_INVALID_PARAMETER) : TRUE;  // all null: a flush
  // What an INI line cannot hold and read back is refused, not written.
  // Names go without the blanks around them, as the file's lines are read.
  const std::string sec = Trim(section), k = Trim(key ? key : ""), v = value ? value : "";
  if (sec.find_first_of("]\r\n") != std::string::npos || sec.empty()) return fail(ERROR_INVALID_PARAMETER);
  if (key && (k.find_first_of("=\r\n") != std::string::npos || k.empty() || k[0] == '[' || k[0] == ';'))
    return fail(ERROR_INVALID_PARAMETER);
  if (v.find_first_of("\r\n") != std::string::npos) return fail(ERROR_INVALID_PARAMETER);
  return detail::Guard(FALSE, [&] {
    auto m = detail::TheMachine();
    std::string path;
    if (!FileArg(file, path, *m)) return FALSE;
    ResolvedPath r = m->Resolve(path);
    if (r.error) return fail(r.error);
    if (r.is_directory) return fail(ERROR_ACCESS_DENIED);
    if (!r.parent_exists) return fail(ERROR_PATH_NOT_FOUND);
    std::lock_guard guard(profile_mutex);
    // Every profile file is written under this lock, through a temporary
    // file beside it that the lock names while it exists.
    StateLock lock(m->Folder() / "profile", true);
    const bool existed = fs::exists(r.host);
    if (existed && (m->Attributes(r) & kAttrReadOnly)) return fail(ERROR_ACCESS_DENIED);
    auto lines = Parse(existed ? ReadStateFile(r.host).value_or("") : "");
    std::size_t s = FindSection(lines, sec);
    if (!key) {
      if (s < lines.size())
        lines.erase(lines.begin() + static_cast<long>(s),
                    lines.begin() + static_cast<long>(SectionEnd(lines, s)));
    } else {
      std::size_t end = s < lines.size() ? SectionEnd(lines, s) : 0, found = lines.size();
      for (std::size_t i = s + 1; s < lines.size() && i < end; ++i)
        if (lines[i].kind == Line::kKey && Cp936SameText(lines[i].name, k)) {
          found = i;
          break;
        }
      if (!value) {
        if (found < lines.size()) lines.erase(lines.begin() + static_cast<long>(found));
      } else if (found < lines.size()) {
        lines[found].raw = lines[found].name + "=" + v;
      } else if (s < lines.size()) {
        std::size_t at = end;
        while (at > s + 1 && Trim(lines[at - 1].raw).empty()) --at;  // before the blank lines that end it
        lines.insert(lines.begin() + static_cast<long>(at), RawLine(k + "=" + v));
      } else {
        lines.push_back(RawLine("[" + sec + "]"));
        lines.push_back(RawLine(k + "=" + v));
      }
    }
    if (!existed && (!key || !value)) return TRUE;  // nothing to delete: no file is made
    WriteStateFile(r.host, Join(lines), lock);
    if (!existed) m->ForgetPath(r.long_path);
    return TRUE;
  });
}

}  // namespace quorvale::win32
