#include "quorvale/machine/registry_store.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "quorvale/core/bytes.h"
#include "quorvale/core/text.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

const char* const kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::vector<std::string> SplitPath(const std::string& key) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : key) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string Hex(const std::string& data) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < data.size(); ++i) {
    auto b = static_cast<unsigned char>(data[i]);
    if (i) out += ',';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string ValueText(const RegValue& v) {
  if (v.type == kRegSz && !v.data.empty() && v.data.find('\0') == v.data.size() - 1 &&
      v.data.find_first_of("\r\n") == std::string::npos)
    return Quote(v.data.substr(0, v.data.size() - 1));
  if (v.type == kRegDword && v.data.size() == 4) {
    std::uint32_t d = 0;
    for (int i = 3; i >= 0; --i)
      d = (d << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", d);
    return buf;
  }
  if (v.type == kRegBinary) return "hex:" + Hex(v.data);
  // The type in hexadecimal, as regedit writes it and ParseValue reads it
  // (REG_QWORD, 11, is "hex(b):").
  char type[16];
  std::snprintf(type, sizeof type, "hex(%x):", v.type);
  return type + Hex(v.data);
}

// Reads a quoted text starting at s[i] == '"'; leaves i after the closing
// quote. Nothing when the closing quote is missing.
std::optional<std::string> Unquote(const std::string& s, std::size_t& i) {
  std::string out;
  for (++i; i < s.size() && s[i] != '"'; ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  if (i >= s.size()) return std::nullopt;
  ++i;
  return out;
}

// Reads "hh,hh,..."; nothing for any other text.
std::optional<std::string> UnHex(const std::string& s) {
  std::string out;
  std::size_t i = 0;
  while (i < s.size()) {
    if (i + 2 > s.size() || HexDigit(s[i]) < 0 || HexDigit(s[i + 1]) < 0) return std::nullopt;
    out += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
    i += 2;
    if (i == s.size()) break;
    if (s[i] != ',' || i + 1 == s.size()) return std::nullopt;
    ++i;
  }
  return out;
}

// A value's text after "="; nothing when it is not one of the forms written.
std::optional<RegValue> ParseValue(const std::string& text) {
  if (!text.empty() && text[0] == '"') {
    std::size_t i = 0;
    auto t = Unquote(text, i);
    if (!t || i != text.size()) return std::nullopt;
    return RegValue::Text(*t);
  }
  if (text.rfind("dword:", 0) == 0) {
    std::string digits = text.substr(6);
    if (digits.size() != 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return std::nullopt;
    auto d = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    std::string data;
    for (int i = 0; i < 4; ++i) data += static_cast<char>((d >> (8 * i)) & 0xff);
    return RegValue{kRegDword, data};
  }
  std::uint32_t type = kRegBinary;
  std::string rest;
  if (text.rfind("hex:", 0) == 0) {
    rest = text.substr(4);
  } else if (text.rfind("hex(", 0) == 0) {
    auto close = text.find("):");
    std::string digits = text.substr(4, close == std::string::npos ? 0 : close - 4);
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return std::nullopt;
    type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    rest = text.substr(close + 2);
  } else {
    return std::nullopt;
  }
  auto data = UnHex(rest);
  if (!data) return std::nullopt;
  return RegValue{type, *data};
}

}  // namespace

// Names are code page 936 (or UTF-8) bytes: ASCII letters compare without
// case, and the byte after a lead byte is a character's second half, never
// a letter to fold.
bool RegistryStore::CaseLess::operator()(const std::string& a, const std::string& b) const {
  return Cp936TextLess(a, b);
}

RegistryStore::RegistryStore(std::filesystem::path file)
    : file_(std::move(file)), cache_(std::make_shared<Cache>()) {}

namespace {

using Tree = std::map<std::string, RegistryStore::Key, RegistryStore::CaseLess>;

Tree EmptyTree() {
  Tree t;
  for (const char* r : kRoots) t[r].name = r;
  return t;
}

// Reads the registry file: nothing while the machine is being made.
Tree Load(const std::filesystem::path& file) {
  auto text = ReadMachineFile(file);
  if (!text) return EmptyTree();
  return ParseRegistryText(*text, file);
}

void Save(const std::filesystem::path& file, const Tree& tree, const StateLock& lock) {
  WriteStateFile(file, FormatRegistryText(tree), lock);
}

RegistryStore::Key* Find(Tree& tree, const std::string& key) {
  auto parts = SplitPath(key);
  if (parts.empty()) return nullptr;
  auto root = tree.find(parts[0]);
  if (root == tree.end()) return nullptr;
  RegistryStore::Key* k = &root->second;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    auto it = k->subkeys.find(parts[i]);
    if (it == k->subkeys.end()) return nullptr;
    k = &it->second;
  }
  return k;
}

}  // namespace

Tree ParseRegistryText(const std::string& text, const std::filesystem::path& file) {
  Tree tree = EmptyTree();
  auto damaged = [&](std::size_t line_no, const std::string& why) {
    return MachineStateError(file, "line " + std::to_string(line_no) + ": " + why);
  };
  RegistryStore::Key* current = nullptr;
  std::size_t line_no = 0;
  bool header = false, last_blank = true;
  for (const std::string& line : StateFileLines(file, text, kIniEnd)) {
    ++line_no;
    last_blank = line.empty();
    if (line.empty() || line[0] == ';') continue;
    if (!header) {
      if (line != "REGEDIT4") throw damaged(line_no, "the file does not begin with REGEDIT4");
      header = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') throw damaged(line_no, "a key name without its closing bracket");
      auto parts = SplitPath(line.substr(1, line.size() - 2));
      current = nullptr;
      if (parts.size() > kMaxKeyDepth + 1)
        throw damaged(line_no, "a key " + std::to_string(parts.size() - 1) + " levels deep (at most " +
                                   std::to_string(kMaxKeyDepth) + ")");
      if (parts.empty() || !tree.count(parts[0])) continue;
      current = &tree[parts[0]];
      for (std::size_t i = 1; i < parts.size(); ++i) {
        auto& sub = current->subkeys[parts[i]];
        if (sub.name.empty()) sub.name = parts[i];
        current = &sub;
      }
      continue;
    }
    std::size_t i = 0;
    std::optional<std::string> name;
    if (line[0] == '@') {
      i = 1;
      name = "";
    } else if (line[0] == '"') {
      name = Unquote(line, i);
    }
    if (!name || i >= line.size() || line[i] != '=')
      throw damaged(line_no, "not a key, a value or a comment");
    auto value = ParseValue(line.substr(i + 1));
    if (!value) throw damaged(line_no, "a value that cannot be read");
    if (current) current->values[*name] = *value;
  }
  if (!header) throw MachineStateError(file, "the file does not begin with REGEDIT4");
  if (!last_blank) throw MachineStateError(file, "it ends inside a key (cut short)");
  return tree;
}

// Keys in the order regedit writes them, each after its parent; a stack
// instead of recursion, so any depth is written.
std::string FormatRegistryText(const Tree& tree) {
  std::string out = "REGEDIT4\r\n\r\n";
  std::vector<std::pair<std::string, const RegistryStore::Key*>> stack;
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) stack.emplace_back(it->first, &it->second);
  while (!stack.empty()) {
    auto [path, key] = std::move(stack.back());
    stack.pop_back();
    out += '[' + path + "]\r\n";
    for (const auto& [name, value] : key->values)
      out += (name.empty() ? std::string("@") : Quote(name)) + '=' + ValueText(value) + "\r\n";
    out += "\r\n";
    for (auto it = key->subkeys.rbegin(); it != key->subkeys.rend(); ++it)
      stack.emplace_back(path + '\\' + it->second.name, &it->second);
  }
  out += kIniEnd;
  out += "\r\n";
  return out;
}

// The parsed file, kept while neither a store's write (the write count)
// nor an edit by hand (the file's identity, size and time) has changed it.
namespace {

std::uint64_t NextSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next++;
}

}  // namespace

struct RegistryStore::Cache {
  const std::uint64_t serial = NextSerial();
  std::mutex mutex;
  std::shared_ptr<const Tree> tree;
  std::uint64_t generation = 0;
  struct stat stamp {};
  // The write count at the head of the lock file, mapped so that a read
  // learns of another process's write without a system call.
  const volatile std::uint64_t* shared_generation = nullptr;
  ~Cache() {
    if (shared_generation) ::munmap(const_cast<std::uint64_t*>(shared_generation), sizeof(std::uint64_t));
  }
};

namespace {

bool SameStamp(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

struct stat StampOf(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) st = {};
  return st;
}

}  // namespace

std::uint64_t RegistryStore::SharedGeneration() const {
  std::lock_guard guard(cache_->mutex);
  if (!cache_->shared_generation) {
    { StateLock create(file_, false); }  // makes the lock file and its folder
    const std::string lock = StateLock::FileOf(file_).string();
    int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);  // a machine the reader may not write
    if (fd < 0) return 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (st.st_size < static_cast<off_t>(sizeof(std::uint64_t)) &&
                                  ::ftruncate(fd, sizeof(std::uint64_t)) != 0)) {
      ::close(fd);
      return 0;
    }
    void* map = ::mmap(nullptr, sizeof(std::uint64_t), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return 0;
    cache_->shared_generation = static_cast<const volatile std::uint64_t*>(map);
  }
  return *cache_->shared_generation;
}

RegistryStore::Snapshot RegistryStore::Take() const { return Snapshot(Current(SharedGeneration())); }

RegistryStore::Stand RegistryStore::CurrentStand() const { return {cache_->serial, SharedGeneration()}; }

std::optional<RegValue> RegistryStore::Snapshot::GetValue(const std::string& key,
                                                          const std::string& name) const {
  if (const Key* k = Find(key)) {
    auto it = k->values.find(name);
    if (it != k->values.end()) return it->second;
  }
  return std::nullopt;
}

std::shared_ptr<const RegistryStore::Tree> RegistryStore::Current(std::uint64_t generation) const {
  const auto stamp = StampOf(file_);
  std::lock_guard guard(cache_->mutex);
  if (!cache_->tree || cache_->generation != generation || !SameStamp(cache_->stamp, stamp)) {
    cache_->tree = std::make_shared<const Tree>(Load(file_));
    cache_->generation = generation;
    cache_->stamp = stamp;
  }
  return cache_->tree;
}

void RegistryStore::Edit(const std::function<void(RegistryEdit&)>& f) {
  StateLock lock(file_, true);
  Tree tree = *Current(lock.WriteCount());
  RegistryEdit edit(tree);
  f(edit);
  if (!edit.Changed()) return;
  Save(file_, tree, lock);
  lock.CountWrite();
  std::lock_guard guard(cache_->mutex);
  cache_->tree = std::make_shared<const Tree>(std::move(tree));
  cache_->generation = lock.WriteCount();
  cache_->stamp = StampOf(file_);
}

// Readers take no lock: a write replaces the file by a rename, so a read
// sees the old file or the new one, never half of one.
void RegistryStore::Read(const std::function<void(const Tree&)>& f) const { f(*Current(SharedGeneration())); }

bool RegistryStore::KeyExists(const std::string& key) const {
  bool found = false;
  Read([&](const Tree& t) { found = Find(const_cast<Tree&>(t), key) != nullptr; });
  return found;
}

std::optional<RegValue> RegistryStore::GetValue(const std::string& key, const std::string& name) const {
  return Take().GetValue(key, name);
}

namespace {

// The REGEDIT4 text cannot hold a line break inside a name.
bool Holdable(const std::string& name) { return name.find_first_of("\r\n") == std::string::npos; }

// The parent of a key and the key's own name; nothing for a root.
std::optional<std::pair<std::string, std::string>> ParentAndName(const std::string& key) {
  auto parts = SplitPath(key);
  if (parts.size() < 2) return std::nullopt;
  std::string parent = parts[0];
  for (std::size_t i = 1; i + 1 < parts.size(); ++i) parent += '\\' + parts[i];
  return std::make_pair(parent, parts.back());
}

// Runs one change of the edit type in a write of its own.
template <class F>
bool EditOnce(RegistryStore& store, F&& change) {
  bool result = false;
  store.Edit([&](RegistryEdit& e) { result = change(e); });
  return result;
}

}  // namespace

bool RegistryEdit::CreateKey(const std::string& key) {
  if (!Holdable(key)) return false;
  auto parts = SplitPath(key);
  if (parts.empty() || parts.size() > kMaxKeyDepth + 1 || !tree_.count(parts[0])) return false;
  RegistryStore::Key* k = &tree_[parts[0]];
  for (std::size_t i = 1; i < parts.size(); ++i) {
    auto& sub = k->subkeys[parts[i]];
    if (sub.name.empty()) {
      sub.name = parts[i];
      changed_ = true;
    }
    k = &sub;
  }
  return true;
}

bool RegistryEdit::SetValue(const std::string& key, const std::string& name, const RegValue& value) {
  if (!Holdable(name)) return false;
  RegistryStore::Key* k = Find(tree_, key);
  if (!k) return false;
  auto it = k->values.find(name);
  if (it == k->values.end() || !(it->second == value)) {
    k->values[name] = value;
    changed_ = true;
  }
  return true;
}

bool RegistryEdit::DeleteValue(const std::string& key, const std::string& name) {
  RegistryStore::Key* k = Find(tree_, key);
  const bool erased = k && k->values.erase(name) > 0;
  changed_ = changed_ || erased;
  return erased;
}

bool RegistryEdit::DeleteKey(const std::string& key) {
  auto pn = ParentAndName(key);
  RegistryStore::Key* parent = pn ? Find(tree_, pn->first) : nullptr;
  if (!parent) return false;
  auto it = parent->subkeys.find(pn->second);
  if (it == parent->subkeys.end() || !it->second.subkeys.empty()) return false;
  parent->subkeys.erase(it);
  changed_ = true;
  return true;
}

bool RegistryEdit::DeleteTree(const std::string& key) {
  auto pn = ParentAndName(key);
  RegistryStore::Key* parent = pn ? Find(tree_, pn->first) : nullptr;
  const bool erased = parent && parent->subkeys.erase(pn->second) > 0;
  changed_ = changed_ || erased;
  return erased;
}

bool RegistryStore::CreateKey(const std::string& key) {
  return EditOnce(*this, [&](RegistryEdit& e) { return e.CreateKey(key); });
}
bool RegistryStore::SetValue(const std::string& key, const std::string& name, const RegValue& value) {
  return EditOnce(*this, [&](RegistryEdit& e) { return e.SetValue(key, name, value); });
}
bool RegistryStore::DeleteValue(const std::string& key, const std::string& name) {
  return EditOnce(*this, [&](RegistryEdit& e) { return e.DeleteValue(key, name); });
}
bool RegistryStore::DeleteKey(const std::string& key) {
  return EditOnce(*this, [&](RegistryEdit& e) { return e.DeleteKey(key); });
}
bool RegistryStore::DeleteTree(const std::string& key) {
  return EditOnce(*this, [&](RegistryEdit& e) { return e.DeleteTree(key); });
}

const RegistryStore::Key* RegistryStore::Snapshot::Find(const std::string& key) const {
  return quorvale::Find(const_cast<Tree&>(*tree_), key);
}

std::vector<std::string> RegistryStore::SubKeys(const std::string& key) const {
  std::vector<std::string> names;
  Read([&](const Tree& t) {
    if (Key* k = Find(const_cast<Tree&>(t), key))
      for (const auto& [n, sub] : k->subkeys) names.push_back(sub.name);
  });
  return names;
}

std::vector<std::string> RegistryStore::ValueNames(const std::string& key) const {
  std::vector<std::string> names;
  Read([&](const Tree& t) {
    if (Key* k = Find(const_cast<Tree&>(t), key))
      for (const auto& [n, v] : k->values) names.push_back(n);
  });
  return names;
}

}  // namespace quorvale
