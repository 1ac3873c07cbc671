#include "quorvale/sqlserver/data_files.h"

#include <fstream>

namespace quorvale::sqlserver {

namespace {

std::string Padded(std::string header, std::size_t size) {
  if (header.size() < size) header.resize(size, '\0');
  return header;
}

// The header part of the file: up to its first NUL byte or its end.
std::optional<std::string> Header(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string header;
  char buffer[4096];
  for (;;) {
    in.read(buffer, sizeof buffer);
    const std::string_view got(buffer, static_cast<std::size_t>(in.gcount()));
    const auto nul = got.find('\0');
    header.append(got.substr(0, nul));
    if (nul != std::string_view::npos || !in) return header;
  }
}

}  // namespace

std::string NewDataFile(std::size_t size) { return Padded(std::string(kDataFileHeader), size); }
std::string NewLogFile(std::size_t size) { return Padded(std::string(kLogFileHeader), size); }

std::optional<std::vector<DatabaseUser>> ReadDataFileUsers(const std::filesystem::path& file) {
  auto header = Header(file);
  if (!header || !header->starts_with(kDataFileHeader)) return std::nullopt;
  std::vector<DatabaseUser> users;
  std::size_t at = kDataFileHeader.size();
  while (at < header->size()) {
    auto end = header->find('\n', at);
    if (end == std::string::npos) return std::nullopt;  // a line cut off: damaged
    auto user = ParseUserLine(header->substr(at, end - at));
    if (!user) return std::nullopt;
    users.push_back(std::move(*user));
    at = end + 1;
  }
  return users;
}

bool IsLogFile(const std::filesystem::path& file) {
  auto header = Header(file);
  return header && header->starts_with(kLogFileHeader);
}

bool WriteDataFileUsers(const std::filesystem::path& file, const std::vector<DatabaseUser>& users) {
  auto old = Header(file);
  if (!old || !old->starts_with(kDataFileHeader)) return false;
  std::string header(kDataFileHeader);
  for (const auto& u : users) header += FormatUserLine(u);
  // NUL bytes over what is left of the old header, so it ends where the new one does.
  header = Padded(std::move(header), old->size() + 1);
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace quorvale::sqlserver
