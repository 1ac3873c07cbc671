// The Shell Link reader that the machine tool shows shortcuts with: any
// bytes as a .lnk file. A link it reads is written and read back the same,
// unless its target held bytes that are no code page 936 (read as U+FFFD).
#include "fuzz_support.h"
#include "quorvale/providers/shell_link.h"

using namespace quorvale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto link = ReadShellLink(fuzz::Text(data, size));
  if (link && link->target_path.find("\xEF\xBF\xBD") == std::string::npos &&
      ReadShellLink(WriteShellLink(*link)) != link)
    fuzz::Broken("a shortcut written and read again is the same");
  return 0;
}
