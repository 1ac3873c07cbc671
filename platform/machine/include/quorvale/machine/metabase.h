// The IIS metabase of a machine: keys named by their location
// ("/LM/W3SVC/1/ROOT"), each with its class (KeyType) and its properties as
// text, kept in metabase.xml in the machine folder in the shape IIS 6 writes
// its own: one element per key, named by its class, with the location and
// the properties as attributes. Lists are one item a line.
//
// A new machine with IIS has the metabase of a fresh IIS: the web service
// and the "Default Web Site" as site 1 on ":80:".
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvale {

class Machine;

struct MetabaseKey {
  std::string location;  // "/LM/W3SVC/1"
  std::string key_type;  // "IIsWebServer"
  std::vector<std::pair<std::string, std::string>> properties;

  const std::string* Find(const std::string& name) const;
  void Set(const std::string& name, std::string value);
  bool operator==(const MetabaseKey&) const = default;
};

class Metabase {
 public:
  explicit Metabase(const Machine& machine);
  static std::filesystem::path FileOf(const std::filesystem::path& machine_folder);

  // Nothing for a machine without IIS. Raises MachineStateError for a
  // metabase.xml that cannot be read.
  std::optional<std::vector<MetabaseKey>> Load() const;
  // Runs f on the keys under the exclusive lock and writes them back whole
  // when it returns true; a machine without IIS runs nothing and gives false.
  bool Update(const std::function<bool(std::vector<MetabaseKey>&)>& f) const;

 private:
  std::filesystem::path file_;
  bool iis_;
};

// The keys of a fresh IIS.
std::vector<MetabaseKey> InitialMetabase();
// Writes metabase.xml for a new machine with IIS.
void CreateInitialMetabase(const std::filesystem::path& machine_folder);

std::string WriteMetabaseXml(const std::vector<MetabaseKey>& keys);
// Raises MachineStateError naming file for text that is not such a metabase:
// one <configuration> holding one <MBProperty> with the keys, the web
// service /LM/W3SVC among them, and nothing after it. Linear in the text,
// at any depth of elements.
std::vector<MetabaseKey> ParseMetabaseXml(const std::string& text, const std::filesystem::path& file);

// Location text compared as IIS compares it: without case, "/" at the end
// ignored.
bool SameLocation(const std::string& a, const std::string& b);
// "/LM/W3SVC/1" is the parent of "/LM/W3SVC/1/ROOT"; nothing for "/LM".
std::optional<std::string> ParentLocation(const std::string& location);

}  // namespace quorvale
