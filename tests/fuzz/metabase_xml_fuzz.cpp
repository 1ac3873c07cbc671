// metabase.xml as text. Keys it reads hold the web service, each location
// once; written again they are read back unchanged.
#include <algorithm>

#include "fuzz_support.h"
#include "quorvale/machine/metabase.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path file = "/machine/metabase.xml";
  const auto keys = fuzz::RoundTrip(
      fuzz::Text(data, size), file, [](const std::string& text) { return ParseMetabaseXml(text, file); },
      WriteMetabaseXml, std::equal_to<>(), "a metabase written again holds what it held");
  if (keys && std::none_of(keys->begin(), keys->end(),
                           [](const MetabaseKey& k) { return SameLocation(k.location, "/LM/W3SVC"); }))
    fuzz::Broken("a metabase read holds /LM/W3SVC");
  return 0;
}
