// Conn.asp read and written whole through the machine's file calls, in
// code page 936.
#include "quorvale/setup/connection_settings.h"
#include "quorvale/setup/text_file.h"

namespace quorvale::setup {

std::string ReadSettingsFile(const std::string& folder) {
  return ReadTextFile(ConnectionSettingsFile(folder));
}

void WriteSettingsFile(const std::string& folder, const std::string& text) {
  WriteTextFile(ConnectionSettingsFile(folder), text + "\r\n");
}

void EditConnectionSettings(const std::string& folder, const std::string& server, const std::string& login,
                            const std::string& pw, const std::string& db) {
  WriteSettingsFile(folder, EditedSettings(ReadSettingsFile(folder), server, login, pw, db));
}

void RewriteConnectionSettings(const std::string& folder, const std::string& server, const std::string& login,
                               const std::string& pw, const std::string& db) {
  WriteSettingsFile(folder, RewrittenSettings(ReadSettingsFile(folder), server, login, pw, db));
}

}  // namespace quorvale::setup
