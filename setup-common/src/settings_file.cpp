// Conn.asp read and written whole through the machine's file calls, in
// code page 936.
#include "ansi_text.h"
#include "quorvale/core/errors.h"
#include "quorvale/setup/connection_settings.h"
#include "quorvale/win32/win32.h"

namespace quorvale::setup {

namespace w = quorvale::win32;

namespace {

class OpenFile {
 public:
  OpenFile(const std::string& path, w::DWORD access, w::DWORD disposition)
      : h_(w::CreateFileA(detail::AnsiText(path).c_str(), access, w::FILE_SHARE_READ, nullptr, disposition, 0,
                          nullptr)) {}
  ~OpenFile() {
    if (*this) w::CloseHandle(h_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  explicit operator bool() const { return h_ != w::INVALID_HANDLE_VALUE; }
  w::HANDLE get() const { return h_; }

 private:
  w::HANDLE h_;
};

}  // namespace

std::string ReadSettingsFile(const std::string& folder) {
  const std::string path = ConnectionSettingsFile(folder);
  OpenFile file(path, w::GENERIC_READ, w::OPEN_EXISTING);
  if (!file) {
    const auto e = w::GetLastError();
    if (e == w::ERROR_FILE_NOT_FOUND || e == w::ERROR_PATH_NOT_FOUND) Raise(Error::kFileNotFound);
    Raise(Error::kPathFileAccess);
  }
  std::string bytes(w::GetFileSize(file.get(), nullptr), '\0');
  for (std::size_t at = 0; at < bytes.size();) {
    w::DWORD got = 0;
    if (!w::ReadFile(file.get(), bytes.data() + at, static_cast<w::DWORD>(bytes.size() - at), &got,
                     nullptr) ||
        got == 0)
      Raise(Error::kPathFileAccess);
    at += got;
  }
  // Bytes that would not come back the same when written are not taken.
  std::string text = w::FromAnsi(bytes);
  if (w::ToAnsi(text) != bytes) Raise(Error::kPathFileAccess);
  return text;
}

void WriteSettingsFile(const std::string& folder, const std::string& text) {
  auto bytes = w::ToAnsi(text + "\r\n");
  if (!bytes) Raise(Error::kInvalidCall);
  OpenFile file(ConnectionSettingsFile(folder), w::GENERIC_WRITE, w::CREATE_ALWAYS);
  if (!file) Raise(Error::kPathFileAccess);
  for (std::size_t at = 0; at < bytes->size();) {
    w::DWORD put = 0;
    if (!w::WriteFile(file.get(), bytes->data() + at, static_cast<w::DWORD>(bytes->size() - at), &put,
                      nullptr) ||
        put == 0)
      Raise(Error::kPathFileAccess);
    at += put;
  }
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
