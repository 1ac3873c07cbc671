// The machine's registry, kept as one REGEDIT4 text file in the machine
// folder. Every call reads the file under a lock and every change writes it
// back at once (temporary file, rename), so several processes share it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

struct RegValue {
  std::uint32_t type = kRegSz;
  std::string data;  // bytes exactly as stored
  bool operator==(const RegValue&) const = default;

  // A REG_SZ value holding the text and its terminating NUL.
  static RegValue Text(const std::string& text) { return {kRegSz, text + '\0'}; }
  // The text of a REG_SZ value, up to its first NUL.
  std::string AsText() const { return data.substr(0, data.find('\0')); }
};

class RegistryEdit;

class RegistryStore {
 public:
  // Key paths start with the root's full name: "HKEY_CLASSES_ROOT\\CLSID".
  // Names compare without regard to ASCII letter case and keep their case.
  explicit RegistryStore(std::filesystem::path file);

  bool KeyExists(const std::string& key) const;
  // Creates the key with all its parents; false for an unknown root.
  bool CreateKey(const std::string& key);
  std::optional<RegValue> GetValue(const std::string& key, const std::string& name) const;
  // False when the key does not exist.
  bool SetValue(const std::string& key, const std::string& name, const RegValue& value);
  bool DeleteValue(const std::string& key, const std::string& name);
  // Fails on a missing key and on a key that has subkeys.
  bool DeleteKey(const std::string& key);
  // Removes the key and everything under it; false when it was missing.
  bool DeleteTree(const std::string& key);
  std::vector<std::string> SubKeys(const std::string& key) const;
  std::vector<std::string> ValueNames(const std::string& key) const;
  // Several changes in one write of the file: all of them or none. f returns
  // nothing; the file is written when any change was made, and not at all
  // when f raises.
  void Edit(const std::function<void(RegistryEdit&)>& f);

  struct CaseLess;
  struct Key;
  using Tree = std::map<std::string, Key, CaseLess>;

  // The registry as it stood at one moment, for several lookups in a row.
  class Snapshot {
   public:
    std::optional<RegValue> GetValue(const std::string& key, const std::string& name) const;
    // True when both were taken with no change to the registry between.
    bool SameAs(const Snapshot& other) const { return tree_ == other.tree_; }
    // The key, or nothing; it lives as long as the snapshot.
    const Key* Find(const std::string& key) const;

   private:
    friend class RegistryStore;
    explicit Snapshot(std::shared_ptr<const Tree> tree) : tree_(std::move(tree)) {}
    std::shared_ptr<const Tree> tree_;
  };
  Snapshot Take() const;

  // Where the registry stands, read without a system call: this store's own
  // number (no two stores share one) and the count of writes made through
  // any store of the file, in any process. What a caller derived from the
  // registry holds while the stand is the same, unless the file was edited
  // by hand meanwhile: only Take and the reads look at the file itself.
  struct Stand {
    std::uint64_t store = 0, writes = 0;
    bool operator==(const Stand&) const = default;
  };
  Stand CurrentStand() const;

  struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Key {
    std::string name;
    std::map<std::string, RegValue, CaseLess> values;
    std::map<std::string, Key, CaseLess> subkeys;
  };

 private:
  struct Cache;
  std::uint64_t SharedGeneration() const;
  std::shared_ptr<const Tree> Current(std::uint64_t generation) const;
  void Read(const std::function<void(const Tree&)>& f) const;

  std::filesystem::path file_;
  std::shared_ptr<Cache> cache_;
};

// Windows keeps keys at most 512 levels deep.
inline constexpr std::size_t kMaxKeyDepth = 512;

// Changes to one registry tree, as RegistryStore::Edit hands them out; each
// call answers as the store's call of that name does.
class RegistryEdit {
 public:
  explicit RegistryEdit(RegistryStore::Tree& tree) : tree_(tree) {}
  bool CreateKey(const std::string& key);
  bool SetValue(const std::string& key, const std::string& name, const RegValue& value);
  bool DeleteValue(const std::string& key, const std::string& name);
  bool DeleteKey(const std::string& key);
  bool DeleteTree(const std::string& key);
  bool Changed() const { return changed_; }

 private:
  RegistryStore::Tree& tree_;
  bool changed_ = false;
};

// registry.reg as text: "REGEDIT4", the keys with their values, "; end".
// Reading raises MachineStateError naming file for any other text; it is
// linear in the text and refuses keys deeper than kMaxKeyDepth.
RegistryStore::Tree ParseRegistryText(const std::string& text, const std::filesystem::path& file);
std::string FormatRegistryText(const RegistryStore::Tree& tree);

}  // namespace quorvale
