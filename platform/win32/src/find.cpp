#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "boundary.h"
#include "listing.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/short_names.h"
#include "quorvale/win32/ansi.h"

namespace quorvale::win32 {

namespace fs = std::filesystem;

namespace detail {

namespace {

bool Match(const char* p, const char* n) {
  for (; *p; ++p, ++n) {
    if (*p == '*') {
      for (const char* rest = n;; ++rest) {
        if (Match(p + 1, rest)) return true;
        if (!*rest) return false;
      }
    }
    if (!*n) return false;
    if (*p != '?' && LowerChar(*p) != LowerChar(*n)) return false;
  }
  return !*n;
}

FoundFile Entry(const Machine& m, const std::string& folder_long, const std::string& name) {
  std::string long_path = folder_long.back() == '\\' ? folder_long + name : folder_long + "\\" + name;
  ResolvedPath r;
  r.long_path = long_path;
  r.host = m.Resolve(long_path).host;
  r.exists = true;
  std::error_code ec;
  r.is_directory = fs::is_directory(r.host, ec);
  FoundFile f;
  f.name = name;
  f.attributes = m.Attributes(r);
  if (!r.is_directory) f.size = fs::file_size(r.host, ec);
  if (!FitsShortName(name)) f.short_name = m.ShortNameOf(long_path);
  return f;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (Match(pattern.c_str(), name.c_str())) return true;
  const bool no_dot = name.find('.') == std::string::npos;
  if (pattern.size() >= 2 && pattern.ends_with(".*") && no_dot)
    return Match(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  if (pattern.ends_with(".") && no_dot)
    return Match(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str());
  return false;
}

std::vector<FoundFile> ListMatching(const Machine& m, const std::string& pattern, DWORD& error) {
  error = 0;
  std::vector<FoundFile> found;
  auto slash = pattern.find_last_of("\\/");
  if (pattern.size() < 2 || pattern[1] != ':') {
    error = ERROR_PATH_NOT_FOUND;
    return found;
  }
  std::string folder =
      slash == std::string::npos || slash < 2 ? pattern.substr(0, 2) + "\\" : pattern.substr(0, slash);
  std::string name = slash == std::string::npos ? pattern.substr(2) : pattern.substr(slash + 1);
  if (folder.size() == 2) folder += '\\';
  if (name.empty()) {
    error = ERROR_FILE_NOT_FOUND;
    return found;
  }
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|", c)) {
      error = ERROR_INVALID_NAME;
      return found;
    }
  ResolvedPath dir = m.Resolve(folder);
  if (dir.error || !dir.exists || !dir.is_directory) {
    error = dir.error ? dir.error : ERROR_PATH_NOT_FOUND;
    return found;
  }
  if (name.find_first_of("*?") == std::string::npos) {
    ResolvedPath r = m.Resolve(dir.long_path + (dir.long_path.back() == '\\' ? "" : "\\") + name);
    if (r.error || !r.exists) {
      error = r.error ? r.error : ERROR_FILE_NOT_FOUND;
      return found;
    }
    found.push_back(Entry(m, dir.long_path, r.long_path.substr(r.long_path.rfind('\\') + 1)));
    return found;
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir.host, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return TextLess(a, b); });
  if (dir.long_path.size() > 3) names.insert(names.begin(), {".", ".."});
  const bool by_short = name.find('~') != std::string::npos;
  for (const auto& n : names) {
    bool match = WildcardMatch(name, n);
    if (!match && by_short && !FitsShortName(n))
      match = WildcardMatch(name, m.ShortNameOf(dir.long_path + "\\" + n));
    if (!match) continue;
    if (n == "." || n == "..") {
      FoundFile f;
      f.name = n;
      f.attributes = kAttrDirectory;
      found.push_back(f);
    } else {
      found.push_back(Entry(m, dir.long_path, n));
    }
  }
  if (found.empty()) error = ERROR_FILE_NOT_FOUND;
  return found;
}

}  // namespace detail

namespace {

struct Listing {
  std::vector<detail::FoundFile> files;
  std::size_t next = 0;
};

std::mutex finds_mutex;
std::map<std::uintptr_t, Listing>& Finds() {
  static std::map<std::uintptr_t, Listing> finds;
  return finds;
}

void Fill(const detail::FoundFile& f, WIN32_FIND_DATAA* d) {
  std::memset(d, 0, sizeof *d);
  d->dwFileAttributes = f.attributes;
  d->nFileSizeHigh = static_cast<DWORD>(f.size >> 32);
  d->nFileSizeLow = static_cast<DWORD>(f.size);
  std::string name = ToAnsi(f.name).value_or("?");
  std::string alt = ToAnsi(f.short_name).value_or("");
  std::memcpy(d->cFileName, name.data(), std::min<std::size_t>(name.size(), MAX_PATH - 1));
  std::memcpy(d->cAlternateFileName, alt.data(), std::min<std::size_t>(alt.size(), 13));
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  return detail::Guard(INVALID_HANDLE_VALUE, [&]() -> HANDLE {
    std::string utf8;
    if (!data) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
    }
    if (!detail::PathArg(pattern, utf8)) return INVALID_HANDLE_VALUE;
    DWORD error = 0;
    Listing listing{detail::ListMatching(*detail::TheMachine(), utf8, error), 1};
    if (error) {
      SetLastError(error);
      return INVALID_HANDLE_VALUE;
    }
    Fill(listing.files[0], data);
    const std::uintptr_t h = detail::NewHandleValue();
    std::lock_guard lock(finds_mutex);
    Finds()[h] = std::move(listing);
    return reinterpret_cast<HANDLE>(h);
  });
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  std::lock_guard lock(finds_mutex);
  auto it = Finds().find(reinterpret_cast<std::uintptr_t>(find));
  if (it == Finds().end() || !data) {
    SetLastError(it == Finds().end() ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Listing& l = it->second;
  if (l.next >= l.files.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  Fill(l.files[l.next++], data);
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  std::lock_guard lock(finds_mutex);
  if (Finds().erase(reinterpret_cast<std::uintptr_t>(find)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace quorvale::win32
