#include "quorvale/setup/text_file.h"

#include "ansi_text.h"
#include "quorvale/core/errors.h"
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

std::string ReadTextFile(const std::string& path) {
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
  std::string text = w::FromAnsi(bytes);
  if (w::ToAnsi(text) != bytes) Raise(Error::kPathFileAccess);
  return text;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  auto bytes = w::ToAnsi(text);
  if (!bytes) Raise(Error::kInvalidCall);
  OpenFile file(path, w::GENERIC_WRITE, w::CREATE_ALWAYS);
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

}  // namespace quorvale::setup
