// The metabase reader: any bytes as metabase.xml. Text it refuses raises
// MachineStateError; keys it reads are written and read back unchanged.
#include "fuzz_support.h"
#include "quorvale/machine/metabase.h"
#include "quorvale/machine/state_file.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto keys = ParseMetabaseXml(fuzz::Text(data, size), "metabase.xml");
    if (ParseMetabaseXml(WriteMetabaseXml(keys), "metabase.xml") != keys)
      fuzz::Broken("a metabase written and read again holds what it held");
  } catch (const MachineStateError&) {
  }
  return 0;
}
