#include "quorvale/machine/metabase.h"

#include "quorvale/machine/machine.h"
#include "quorvale/machine/state_file.h"

namespace quorvale {

namespace {

std::string Trimmed(const std::string& location) {
  std::string s = location;
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

const std::string* MetabaseKey::Find(const std::string& name) const {
  for (const auto& [n, v] : properties)
    if (NamesEqual(n, name)) return &v;
  return nullptr;
}

void MetabaseKey::Set(const std::string& name, std::string value) {
  for (auto& [n, v] : properties)
    if (NamesEqual(n, name)) {
      v = std::move(value);
      return;
    }
  properties.emplace_back(name, std::move(value));
}

bool SameLocation(const std::string& a, const std::string& b) { return NamesEqual(Trimmed(a), Trimmed(b)); }

std::optional<std::string> ParentLocation(const std::string& location) {
  std::string s = Trimmed(location);
  auto slash = s.rfind('/');
  if (slash == std::string::npos || slash == 0) return std::nullopt;
  return s.substr(0, slash);
}

std::vector<MetabaseKey> InitialMetabase() {
  return {
      {"/LM/W3SVC",
       "IIsWebService",
       {{"AuthFlags", "1"},
        {"AccessFlags", "1"},
        {"DefaultDoc", "Default.htm,Default.asp,index.htm"},
        {"EnableDefaultDoc", "TRUE"},
        {"AspEnableParentPaths", "FALSE"}}},
      {"/LM/W3SVC/Filters", "IIsFilters", {}},
      {"/LM/W3SVC/Info", "IIsWebInfo", {}},
      {"/LM/W3SVC/1",
       "IIsWebServer",
       {{"ServerBindings", ":80:"},
        {"ServerComment", "Default Web Site"},
        {"ServerAutoStart", "TRUE"},
        {"ServerState", "2"}}},
      {"/LM/W3SVC/1/ROOT",
       "IIsWebVirtualDir",
       {{"Path", "C:\\Inetpub\\wwwroot"},
        {"AccessFlags", "513"},
        {"AppRoot", "/LM/W3SVC/1/ROOT"},
        {"AppIsolated", "2"},
        {"AppFriendlyName", "Default Application"}}},
  };
}

std::filesystem::path Metabase::FileOf(const std::filesystem::path& machine_folder) {
  return machine_folder / "metabase.xml";
}

void CreateInitialMetabase(const std::filesystem::path& machine_folder) {
  const auto file = Metabase::FileOf(machine_folder);
  StateLock lock(file, true);
  WriteStateFile(file, WriteMetabaseXml(InitialMetabase()), lock);
  lock.CountWrite();
}

Metabase::Metabase(const Machine& machine) : file_(FileOf(machine.Folder())), iis_(machine.Info().iis) {}

std::optional<std::vector<MetabaseKey>> Metabase::Load() const {
  if (!iis_) return std::nullopt;
  StateLock lock(file_, false);
  auto text = ReadMachineFile(file_);
  if (!text) return InitialMetabase();  // the machine is being made
  return ParseMetabaseXml(*text, file_);
}

bool Metabase::Update(const std::function<bool(std::vector<MetabaseKey>&)>& f) const {
  if (!iis_) return false;
  StateLock lock(file_, true);
  auto text = ReadMachineFile(file_);
  auto keys = text ? ParseMetabaseXml(*text, file_) : InitialMetabase();
  if (!f(keys)) return false;
  WriteStateFile(file_, WriteMetabaseXml(keys), lock);
  lock.CountWrite();
  return true;
}

}  // namespace quorvale
