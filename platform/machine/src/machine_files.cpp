// Windows paths on the machine's drives: case-insensitive lookup, 8.3 names,
// attributes, and the records that follow a file when it moves or goes.
#include <cctype>
#include <cstring>

#include "quorvale/core/text.h"
#include "quorvale/machine/error_codes.h"
#include "quorvale/machine/machine.h"
#include "quorvale/machine/short_names.h"

namespace quorvale {

namespace fs = std::filesystem;

namespace {

// Splits the part after "X:" into names; "." and ".." are taken lexically and
// trailing blanks and dots go, as Windows does. Returns the error for a name
// no Windows file can have.
std::uint32_t SplitNames(const std::string& path, std::vector<std::string>& parts) {
  std::string name;
  auto flush = [&]() -> std::uint32_t {
    if (name.empty() || name == ".") {
      name.clear();
      return 0;
    }
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();
      name.clear();
      return 0;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.empty()) return ERROR_INVALID_NAME;
    for (char c : name)
      if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|?*", c)) return ERROR_INVALID_NAME;
    parts.push_back(std::move(name));
    name.clear();
    return 0;
  };
  for (std::size_t i = 2; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') {
      if (auto e = flush()) return e;
    } else {
      name += path[i];
    }
  }
  return flush();
}

std::string Letters(std::uint32_t a) {
  std::string s;
  if (a & kAttrReadOnly) s += 'R';
  if (a & kAttrHidden) s += 'H';
  if (a & kAttrSystem) s += 'S';
  if (a & kAttrArchive) s += 'A';
  return s.empty() ? "-" : s;
}

std::uint32_t Bits(const std::string& s) {
  std::uint32_t a = 0;
  for (char c : s)
    a |= c == 'R'   ? kAttrReadOnly
         : c == 'H' ? kAttrHidden
         : c == 'S' ? kAttrSystem
         : c == 'A' ? kAttrArchive
                    : 0;
  return a;
}

std::pair<std::string, std::string> ParentAndName(const std::string& long_path) {
  auto slash = long_path.rfind('\\');
  std::string parent = long_path.substr(0, slash);
  if (parent.size() == 2) parent += '\\';
  return {parent, long_path.substr(slash + 1)};
}

std::string Rebase(const std::string& path, const std::string& from, const std::string& to) {
  return to + path.substr(from.size());
}

}  // namespace

ResolvedPath Machine::Resolve(const std::string& windows_path) const {
  ResolvedPath r;
  const std::string& p = windows_path;
  if (p.size() < 2 || p[1] != ':' || !std::isalpha(static_cast<unsigned char>(p[0]))) {
    r.error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  std::vector<std::string> parts;
  if (auto e = SplitNames(p, parts)) {
    r.error = e;
    return r;
  }
  const char drive = UpperChar(p[0]);
  r.host = DrivesFolder() / std::string(1, drive);
  r.long_path = std::string(1, drive) + ":";
  if (!fs::is_directory(r.host)) {
    r.error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  if (parts.empty()) {
    r.long_path += '\\';
    r.exists = r.parent_exists = r.is_directory = true;
    return r;
  }
  bool found = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string name = parts[i];
    if (found) {
      std::optional<std::string> match;
      if (fs::is_directory(r.host)) {
        std::error_code ec;
        if (fs::exists(r.host / name, ec)) {
          match = name;
        } else {
          for (const auto& e : fs::directory_iterator(r.host, ec))
            if (NamesEqual(e.path().filename().string(), name)) {
              match = e.path().filename().string();
              break;
            }
          if (!match && name.find('~') != std::string::npos) {
            AssignShortNames(r.host, r.long_path.size() == 2 ? r.long_path + "\\" : r.long_path);
            match = LongNameOfShort(r.long_path.size() == 2 ? r.long_path + "\\" : r.long_path, name);
          }
        }
        if (!match && i + 1 == parts.size()) r.parent_exists = true;
      }
      if (match) {
        name = *match;
      } else {
        found = false;
      }
    }
    r.host /= name;
    r.long_path += "\\" + name;
  }
  if (found) {
    r.exists = r.parent_exists = true;
    r.is_directory = fs::is_directory(r.host);
  }
  return r;
}

void Machine::AssignShortNames(const fs::path& dir_host, const std::string& dir_long) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir_host, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  short_names_.Update([&](std::vector<Record>& records) {
    bool changed = false;
    std::vector<std::string> taken;
    for (const auto& n : names)
      if (FitsShortName(n)) taken.push_back(n);
    for (auto it = records.begin(); it != records.end();) {
      if (NamesEqual((*it)[0], dir_long)) {
        if (std::find(names.begin(), names.end(), (*it)[1]) == names.end()) {
          it = records.erase(it);  // the file has gone: its 8.3 name is free again
          changed = true;
          continue;
        }
        taken.push_back((*it)[2]);
      }
      ++it;
    }
    for (const auto& n : names) {
      if (FitsShortName(n)) continue;
      bool has = std::any_of(records.begin(), records.end(),
                             [&](const Record& r) { return NamesEqual(r[0], dir_long) && r[1] == n; });
      if (has) continue;
      std::string alias = MakeShortName(n, [&](const std::string& c) {
        return std::any_of(taken.begin(), taken.end(),
                           [&](const std::string& t) { return NamesEqual(t, c); });
      });
      taken.push_back(alias);
      records.push_back({dir_long, n, alias});
      changed = true;
    }
    return changed;
  });
}

std::optional<std::string> Machine::LongNameOfShort(const std::string& dir_long,
                                                    const std::string& short_name) const {
  for (const auto& r : short_names_.Load())
    if (NamesEqual(r[0], dir_long) && NamesEqual(r[2], short_name)) return r[1];
  return std::nullopt;
}

std::string Machine::ShortNameOf(const std::string& long_path) const {
  const auto [parent, name] = ParentAndName(long_path);
  if (FitsShortName(name)) return name;
  auto find = [this, &parent = parent, &name = name]() -> std::optional<std::string> {
    for (const auto& r : short_names_.Load())
      if (NamesEqual(r[0], parent) && r[1] == name) return r[2];
    return std::nullopt;
  };
  if (auto s = find()) return *s;
  AssignShortNames(Resolve(parent).host, parent);
  if (auto s = find()) return *s;
  return name;
}

std::optional<std::string> Machine::GivenShortNameOf(const std::string& long_path) const {
  auto [parent, name] = ParentAndName(long_path);
  if (FitsShortName(name)) return name;
  for (const auto& r : short_names_.Load())
    if (NamesEqual(r[0], parent) && r[1] == name) return r[2];
  return std::nullopt;
}

std::optional<std::string> Machine::ShortPath(const std::string& windows_path) const {
  ResolvedPath r = Resolve(windows_path);
  if (r.error || !r.exists) return std::nullopt;
  std::vector<std::string> in, disk;
  SplitNames(windows_path, in);
  SplitNames(r.long_path, disk);
  std::string out = windows_path.substr(0, 2), prefix = r.long_path.substr(0, 2);
  for (std::size_t i = 0; i < disk.size(); ++i) {
    prefix += "\\" + disk[i];
    out += "\\" + (FitsShortName(in[i]) ? in[i] : ShortNameOf(prefix));
  }
  const char last = windows_path.back();
  if (disk.empty() || last == '\\' || last == '/') out += '\\';
  return out;
}

std::uint32_t Machine::Attributes(const ResolvedPath& path) const {
  std::uint32_t dir = path.is_directory ? kAttrDirectory : 0;
  for (const auto& r : attributes_.Load())
    if (NamesEqual(r[1], path.long_path)) {
      std::uint32_t a = Bits(r[0]) | dir;
      return a ? a : kAttrNormal;
    }
  return dir ? dir : kAttrArchive;
}

void Machine::SetAttributes(const std::string& long_path, std::uint32_t attributes) const {
  attributes_.Update([&](std::vector<Record>& records) {
    std::erase_if(records, [&](const Record& r) { return NamesEqual(r[1], long_path); });
    records.push_back({Letters(attributes), long_path});
    return true;
  });
}

void Machine::ForgetPath(const std::string& long_path) const {
  attributes_.Update([&](std::vector<Record>& records) {
    return std::erase_if(records, [&](const Record& r) { return PathWithin(r[1], long_path); }) > 0;
  });
  auto [parent, name] = ParentAndName(long_path);
  short_names_.Update([&, &parent = parent, &name = name](std::vector<Record>& records) {
    return std::erase_if(records, [&](const Record& r) {
             return (NamesEqual(r[0], parent) && NamesEqual(r[1], name)) || PathWithin(r[0], long_path);
           }) > 0;
  });
  access_.Update([&](std::vector<Record>& records) {
    return std::erase_if(records, [&](const Record& r) { return PathWithin(r[0], long_path); }) > 0;
  });
}

void Machine::MovePath(const std::string& from, const std::string& to) const {
  attributes_.Update([&](std::vector<Record>& records) {
    std::erase_if(records, [&](const Record& r) { return PathWithin(r[1], to); });
    for (auto& r : records)
      if (PathWithin(r[1], from)) r[1] = Rebase(r[1], from, to);
    return true;
  });
  auto [parent, name] = ParentAndName(from);
  short_names_.Update([&, &parent = parent, &name = name](std::vector<Record>& records) {
    std::erase_if(records,
                  [&](const Record& r) { return NamesEqual(r[0], parent) && NamesEqual(r[1], name); });
    for (auto& r : records)
      if (PathWithin(r[0], from)) r[0] = Rebase(r[0], from, to);
    return true;
  });
  access_.Update([&](std::vector<Record>& records) {
    for (auto& r : records)
      if (PathWithin(r[0], from)) r[0] = Rebase(r[0], from, to);
    return true;
  });
}

}  // namespace quorvale
