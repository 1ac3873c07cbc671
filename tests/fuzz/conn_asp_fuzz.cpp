// The reader and rewriters of the panel's Conn.asp: any text as the file.
// The setup's edit and the repair's rewrite each change nothing more when
// run again, and the rewrite's values read back as written.
#include "fuzz_support.h"
#include "quorvale/setup/connection_settings.h"

using namespace quorvale;
using namespace quorvale::setup;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  ReadConnectionSettings(text);
  const std::string edited = EditedSettings(text, "(local)", "sa", "p\"w", "Panel");
  if (EditedSettings(edited, "(local)", "sa", "p\"w", "Panel") != edited)
    fuzz::Broken("the setup's edit run twice is the edit run once");
  const std::string rewritten = RewrittenSettings(text, "db.example", "Quorvale", "x\"\"y", "数据");
  if (RewrittenSettings(rewritten, "db.example", "Quorvale", "x\"\"y", "数据") != rewritten)
    fuzz::Broken("the repair's rewrite run twice is the rewrite run once");
  return 0;
}
