// The texts a component carries as resources, read by their readers: any
// text as a type library (TYPELIB 1), as a version block (VERSION 1) and as
// a GUID. Each is written again and reads the same: a type library by
// WriteTypeLib, a version block as its lines, a GUID by
// ToString (the text upper-cased). And any 16 bytes as a GUID are written
// and read back.
#include <cstring>

#include "fuzz_support.h"
#include "quorvale/com/resources.h"
#include "quorvale/com/typelib.h"
#include "quorvale/core/text.h"

using namespace quorvale;

namespace {

// "Key=Value" lines; a key that holds "=" (from a block name that did) is
// written under its block again, which an empty block name ends.
std::string VersionLines(const std::map<std::string, std::string>& block) {
  constexpr std::string_view kStrings = "\\StringFileInfo\\";
  std::string text;
  for (const auto& [key, value] : block) {
    if (key.find('=') == std::string::npos) {
      text += key + "=" + value + "\n";
      continue;
    }
    if (!key.starts_with(kStrings)) fuzz::Broken("a key holds \"=\" only from its block's name", key);
    const auto last = key.rfind('\\');
    text += "BLOCK " + key.substr(kStrings.size(), last - kStrings.size()) + "\n" + key.substr(last + 1) +
            "=" + value + "\nBLOCK \n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);

  if (const auto lib = ParseTypeLib(text); lib && ParseTypeLib(WriteTypeLib(*lib)) != lib)
    fuzz::Broken("a type library written again reads the same", WriteTypeLib(*lib));

  const auto block = ParseVersionBlock(text);
  if (ParseVersionBlock(VersionLines(block)) != block)
    fuzz::Broken("a version block written again reads the same", VersionLines(block));

  if (const auto guid = Guid::Parse(text)) {
    if (guid->ToString() != UpperCase(text)) fuzz::Broken("a GUID is written as it was read, upper-cased");
    if (Guid::Parse(guid->ToString()) != guid) fuzz::Broken("a GUID written reads back the same");
  }
  if (size >= 16) {
    Guid guid;
    std::memcpy(&guid.data1, data, 4);
    std::memcpy(&guid.data2, data + 4, 2);
    std::memcpy(&guid.data3, data + 6, 2);
    std::memcpy(guid.data4, data + 8, 8);
    if (Guid::Parse(guid.ToString()) != guid)
      fuzz::Broken("any GUID written reads back the same", guid.ToString());
  }
  return 0;
}
