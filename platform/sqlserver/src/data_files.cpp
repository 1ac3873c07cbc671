#include "quorvale/sqlserver/data_files.h"

#include <algorithm>
#include <fstream>

namespace quorvale::sqlserver {

namespace {

std::string Padded(std::string header, std::size_t size) {
  if (header.size() < size) header.resize(size, '\0');
  return header;
}

// The header part of the file: up to its first NUL byte or its end. Its
// room, when asked for: the header and the NUL bytes after it, which a new
// header may take without touching the pages; without end when only NUL
// bytes follow it.
struct HeaderPart {
  std::string text;
  std::size_t room = 0;
};

std::optional<HeaderPart> Header(const std::filesystem::path& file, bool room = false) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  HeaderPart header;
  bool in_header = true;
  char buffer[4096];
  for (;;) {
    in.read(buffer, sizeof buffer);
    std::string_view got(buffer, static_cast<std::size_t>(in.gcount()));
    if (in_header) {
      const auto nul = got.find('\0');
      header.text.append(got.substr(0, nul));
      header.room = header.text.size();
      in_header = nul == std::string_view::npos;
      if (!in_header && !room) return header;
      got.remove_prefix(std::min(nul, got.size()));
    }
    const auto page = got.find_first_not_of('\0');
    header.room += std::min(page, got.size());
    if (page != std::string_view::npos) return header;
    if (!in) {
      header.room = std::string::npos;
      return header;
    }
  }
}

}  // namespace

std::string NewDataFile(std::size_t size) { return Padded(std::string(kDataFileHeader), size); }
std::string NewLogFile(std::size_t size) { return Padded(std::string(kLogFileHeader), size); }

std::optional<std::vector<DatabaseUser>> ReadDataFileUsers(const std::filesystem::path& file) {
  auto header = Header(file);
  if (!header || !header->text.starts_with(kDataFileHeader)) return std::nullopt;
  const std::string& text = header->text;
  std::vector<DatabaseUser> users;
  std::size_t at = kDataFileHeader.size();
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string::npos) return std::nullopt;  // a line cut off: damaged
    auto user = ParseUserLine(text.substr(at, end - at));
    if (!user) return std::nullopt;
    users.push_back(std::move(*user));
    at = end + 1;
  }
  return users;
}

bool IsLogFile(const std::filesystem::path& file) {
  auto header = Header(file);
  return header && header->text.starts_with(kLogFileHeader);
}

bool WriteDataFileUsers(const std::filesystem::path& file, const std::vector<DatabaseUser>& users) {
  auto old = Header(file, true);
  if (!old || !old->text.starts_with(kDataFileHeader)) return false;
  std::string header(kDataFileHeader);
  for (const auto& u : users) header += FormatUserLine(u);
  // The new header ends in a NUL byte inside the old one's room.
  if (header.size() >= old->room) return false;
  // NUL bytes over what is left of the old header, so it ends where the new one does.
  header = Padded(std::move(header), old->text.size() + 1);
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace quorvale::sqlserver
