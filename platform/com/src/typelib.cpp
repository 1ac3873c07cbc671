#include "quorvale/com/typelib.h"

#include <cstdio>
#include <sstream>

#include "quorvale/com/resources.h"

namespace quorvale {

namespace {

std::string Version(int major, int minor) { return std::to_string(major) + "." + std::to_string(minor); }

bool ParseVersion(const std::string& text, int* major, int* minor) {
  return std::sscanf(text.c_str(), "%d.%d", major, minor) == 2;
}

// The registry writes type library versions in hexadecimal: 98.0 is "62.0".
std::string HexVersion(int major, int minor) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%x.%x", major, minor);
  return buffer;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

constexpr const char* kAutomationMarshaller = "{00020424-0000-0000-C000-000000000046}";

}  // namespace

const TypeDesc* TypeLib::Find(const std::string& type_name) const {
  for (const auto& t : types)
    if (t.name == type_name) return &t;
  return nullptr;
}

std::string WriteTypeLib(const TypeLib& lib) {
  std::ostringstream out;
  out << "library " << lib.name << ' ' << lib.libid.ToString() << ' ' << Version(lib.major, lib.minor)
      << " lcid " << lib.lcid << ' ' << lib.syskind << '\n';
  for (const auto& i : lib.imports)
    out << "importlib " << i.file << ' ' << i.libid.ToString() << ' ' << Version(i.major, i.minor) << '\n';
  for (const auto& t : lib.types) {
    out << (t.kind == TypeDesc::kInterface ? "interface " : "coclass ") << t.name << ' ' << t.guid.ToString()
        << ' ' << Version(t.major, t.minor);
    for (const auto& f : t.flags) out << ' ' << f;
    out << (t.kind == TypeDesc::kInterface ? " : " : " default ") << t.base << '\n';
    for (const auto& f : t.funcs) {
      char id[16];
      std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(f.id));
      out << "  method " << id << ' ' << f.name;
      for (const auto& p : f.params) out << ' ' << p;
      out << '\n';
    }
  }
  return out.str();
}

std::optional<TypeLib> ParseTypeLib(const std::string& text) try {
  TypeLib lib;
  std::istringstream lines(text);
  std::string line;
  bool have_library = false;
  while (std::getline(lines, line)) {
    auto w = Words(line);
    if (w.empty() || w[0][0] == '\0') continue;
    if (w[0] == "library" && w.size() == 7 && w[4] == "lcid") {
      auto libid = Guid::Parse(w[2]);
      if (!libid || !ParseVersion(w[3], &lib.major, &lib.minor)) return std::nullopt;
      lib.name = w[1];
      lib.libid = *libid;
      lib.lcid = static_cast<std::uint32_t>(std::stoul(w[5]));
      lib.syskind = w[6];
      have_library = true;
    } else if (w[0] == "importlib" && w.size() == 4) {
      ImportedLib i;
      i.file = w[1];
      auto id = Guid::Parse(w[2]);
      if (!id || !ParseVersion(w[3], &i.major, &i.minor)) return std::nullopt;
      i.libid = *id;
      lib.imports.push_back(i);
    } else if ((w[0] == "interface" || w[0] == "coclass") && w.size() >= 6) {
      TypeDesc t;
      t.kind = w[0] == "interface" ? TypeDesc::kInterface : TypeDesc::kCoClass;
      t.name = w[1];
      auto id = Guid::Parse(w[2]);
      if (!id || !ParseVersion(w[3], &t.major, &t.minor)) return std::nullopt;
      t.guid = *id;
      const std::string link = t.kind == TypeDesc::kInterface ? ":" : "default";
      if (w[w.size() - 2] != link) return std::nullopt;
      t.flags.assign(w.begin() + 4, w.end() - 2);
      t.base = w.back();
      lib.types.push_back(t);
    } else if (w[0] == "method" && w.size() >= 3 && !lib.types.empty()) {
      FuncDesc f;
      f.name = w[2];
      f.id = static_cast<DISPID>(std::stoul(w[1], nullptr, 16));
      f.params.assign(w.begin() + 3, w.end());
      lib.types.back().funcs.push_back(f);
    } else {
      return std::nullopt;
    }
  }
  if (!have_library) return std::nullopt;
  return lib;
} catch (const std::exception&) {
  return std::nullopt;  // a number out of range
}

std::optional<TypeLib> LoadTypeLib(const std::filesystem::path& library) {
  auto text = ReadResource(library, "TYPELIB", 1);
  if (!text) return std::nullopt;
  return ParseTypeLib(*text);
}

std::optional<TypeLib> LoadRegTypeLib(const Guid& libid, int major, int minor, const ComHost& host) {
  if (!host.registry) return std::nullopt;
  auto path = host.registry->GetValue(
      "HKEY_CLASSES_ROOT\\TypeLib\\" + libid.ToString() + "\\" + HexVersion(major, minor) + "\\0\\win32", "");
  if (!path) return std::nullopt;
  auto file = host.resolve_path ? host.resolve_path(path->AsText()) : std::filesystem::path(path->AsText());
  auto lib = LoadTypeLib(file);
  if (!lib || !(lib->libid == libid)) return std::nullopt;
  return lib;
}

void RegisterTypeLib(RegistryStore& registry, const TypeLib& lib, const std::string& windows_path) {
  const std::string root =
      "HKEY_CLASSES_ROOT\\TypeLib\\" + lib.libid.ToString() + "\\" + HexVersion(lib.major, lib.minor);
  registry.CreateKey(root + "\\0\\win32");
  registry.SetValue(root, "", RegValue::Text(lib.name));
  registry.SetValue(root + "\\0\\win32", "", RegValue::Text(windows_path));
  registry.CreateKey(root + "\\FLAGS");
  registry.SetValue(root + "\\FLAGS", "", RegValue::Text("0"));
  registry.CreateKey(root + "\\HELPDIR");
  const auto slash = windows_path.find_last_of("\\/");
  registry.SetValue(root + "\\HELPDIR", "",
                    RegValue::Text(slash == std::string::npos ? "" : windows_path.substr(0, slash)));
  for (const auto& t : lib.types) {
    if (t.kind != TypeDesc::kInterface) continue;
    const std::string key = "HKEY_CLASSES_ROOT\\Interface\\" + t.guid.ToString();
    registry.CreateKey(key);
    registry.SetValue(key, "", RegValue::Text(t.name));
    for (const char* stub : {"\\ProxyStubClsid", "\\ProxyStubClsid32"}) {
      registry.CreateKey(key + stub);
      registry.SetValue(key + stub, "", RegValue::Text(kAutomationMarshaller));
    }
    registry.CreateKey(key + "\\TypeLib");
    registry.SetValue(key + "\\TypeLib", "", RegValue::Text(lib.libid.ToString()));
    registry.SetValue(key + "\\TypeLib", "Version", RegValue::Text(HexVersion(lib.major, lib.minor)));
  }
}

void UnRegisterTypeLib(RegistryStore& registry, const TypeLib& lib) {
  for (const auto& t : lib.types)
    if (t.kind == TypeDesc::kInterface)
      registry.DeleteTree("HKEY_CLASSES_ROOT\\Interface\\" + t.guid.ToString());
  const std::string key = "HKEY_CLASSES_ROOT\\TypeLib\\" + lib.libid.ToString();
  registry.DeleteTree(key + "\\" + HexVersion(lib.major, lib.minor));
  // The LIBID key goes with its last version.
  if (registry.KeyExists(key) && registry.SubKeys(key).empty()) registry.DeleteKey(key);
}

}  // namespace quorvale
