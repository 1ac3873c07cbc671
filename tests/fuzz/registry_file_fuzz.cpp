// registry.reg as text. A registry it reads has its four roots and no key
// deeper than Windows allows; written again, it is read back key for key
// and value for value, names spelled as they were.
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "quorvale/machine/registry_store.h"

using namespace quorvale;

namespace {

using Tree = RegistryStore::Tree;
using Key = RegistryStore::Key;

// Both trees key for key, without recursion: a pair of keys at a time.
bool Same(const Tree& a, const Tree& b) {
  std::vector<std::pair<const Key*, const Key*>> pairs;
  auto add = [&](const auto& x, const auto& y) {
    if (x.size() != y.size()) return false;
    for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) {
      if (i->first != j->first) return false;
      pairs.emplace_back(&i->second, &j->second);
    }
    return true;
  };
  if (!add(a, b)) return false;
  while (!pairs.empty()) {
    const auto [x, y] = pairs.back();
    pairs.pop_back();
    if (x->name != y->name || x->values.size() != y->values.size()) return false;
    for (auto i = x->values.begin(), j = y->values.begin(); i != x->values.end(); ++i, ++j)
      if (i->first != j->first || i->second != j->second) return false;
    if (!add(x->subkeys, y->subkeys)) return false;
  }
  return true;
}

std::size_t Depth(const Tree& tree) {
  std::size_t deepest = 0;
  std::vector<std::pair<const Key*, std::size_t>> keys;
  for (const auto& [name, key] : tree) keys.emplace_back(&key, 0);
  while (!keys.empty()) {
    const auto [key, depth] = keys.back();
    keys.pop_back();
    deepest = std::max(deepest, depth);
    for (const auto& [name, sub] : key->subkeys) keys.emplace_back(&sub, depth + 1);
  }
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/registry.reg";
  const auto tree = fuzz::RoundTrip(
      fuzz::Text(data, size), file, [](const std::string& text) { return ParseRegistryText(text, file); },
      FormatRegistryText, Same, "a registry written again holds what it held");
  if (!tree) return 0;
  if (tree->size() != 4) fuzz::Broken("a registry read has its four roots and no other");
  if (Depth(*tree) > kMaxKeyDepth) fuzz::Broken("no key read lies deeper than Windows allows");
  return 0;
}
