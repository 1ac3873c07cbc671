// The panel's Conn.asp: any text through the reader and the two rewriters,
// then the same bytes as the file on a machine, changed in place by the
// setup's edit and the repair's rewrite. Each rewriter changes nothing more
// when run again; the repair's changes only settings lines; the file holds
// the change in code page 936 with one CR LF more, or, when it cannot be
// read, stays as it was.
#include "fuzz_support.h"
#include "quorvale/core/err.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/win32/ansi.h"

using namespace quorvale;
using namespace quorvale::setup;

namespace {

constexpr const char* kFolder = "C:\\Fuzz";
constexpr const char* kFile = "C:\\Fuzz\\Web\\Inc\\Conn.asp";

std::string Edited(const std::string& text) { return EditedSettings(text, "(local)", "sa", "p\"w", "Panel"); }
std::string Rewritten(const std::string& text) {
  return RewrittenSettings(text, "db.example", "Quorvale", "x\"\"y", "数据");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const auto end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

// The repair's new lines, as read back: each sets its own value.
bool NewSettingsLine(const std::string& line) {
  const ConnectionSettings s = ReadConnectionSettings(line);
  const std::string key = line.substr(0, line.find(' '));
  return (key == "DBType" && s.type == "SQL") || (key == "ServerName" && s.server == "db.example") ||
         (key == "UserName" && s.login == "Quorvale") || (key == "PassWord" && s.pw == "x\"\"y") ||
         (key == "DataBase" && s.db == "数据");
}

template <class Change, class Transform>
void OnMachine(const std::string& bytes, Change change, Transform transform) {
  auto& temp = fuzz::FuzzMachine();
  temp.Write(kFile, bytes);
  bool failed = false;
  try {
    change();
  } catch (const RaisedError&) {
    failed = true;
  }
  const std::string after = temp.Read(kFile);
  if (failed) {
    if (after != bytes) fuzz::Broken("a file that cannot be changed is left as it was");
    return;
  }
  if (after != win32::ToAnsi(transform(win32::FromAnsi(bytes)) + "\r\n"))
    fuzz::Broken("the file holds the change, in code page 936, with one CR LF at its end");
  ReadConnectionSettings(ReadSettingsFile(kFolder));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  ReadConnectionSettings(text);
  const std::string edited = Edited(text);
  if (Edited(edited) != edited) fuzz::Broken("the setup's edit run twice is the edit run once");
  const std::string rewritten = Rewritten(text);
  if (Rewritten(rewritten) != rewritten)
    fuzz::Broken("the repair's rewrite run twice is the rewrite run once");
  const auto before = Lines(text), after = Lines(rewritten);
  if (before.size() != after.size()) fuzz::Broken("the repair's rewrite keeps the lines");
  for (std::size_t i = 0; i < before.size(); ++i)
    if (after[i] != before[i] && !NewSettingsLine(after[i]))
      fuzz::Broken("the repair's rewrite changes settings lines only, each into its new value");

  OnMachine(
      text, [] { EditConnectionSettings(kFolder, "(local)", "sa", "p\"w", "Panel"); }, Edited);
  OnMachine(
      text, [] { RewriteConnectionSettings(kFolder, "db.example", "Quorvale", "x\"\"y", "数据"); },
      Rewritten);
  return 0;
}
