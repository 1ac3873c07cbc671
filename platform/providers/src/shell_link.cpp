#include "quorvale/providers/shell_link.h"

#include <vector>

#include "quorvale/core/bytes.h"
#include "quorvale/core/codepage.h"
#include "quorvale/machine/machine.h"

namespace quorvale {

namespace {

constexpr std::uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::uint32_t kDriveFixed = 3;

void PutString(std::string& out, const std::string& text) {
  const std::u16string u = Utf8ToUtf16(text);
  Put16(out, static_cast<std::uint32_t>(u.size()));
  for (char16_t c : u) Put16(out, c);
}

std::string LinkInfo(const std::string& target) {
  std::string base = Utf8ToCp936(target).value_or(target);
  base += '\0';
  std::string volume;
  Put32(volume, 0x11);  // VolumeIDSize: 16 bytes and the empty label
  Put32(volume, kDriveFixed);
  Put32(volume, 0);     // DriveSerialNumber
  Put32(volume, 0x10);  // VolumeLabelOffset
  volume += '\0';
  const std::uint32_t header = 0x1C;
  const auto volume_at = header, base_at = header + static_cast<std::uint32_t>(volume.size());
  const auto suffix_at = base_at + static_cast<std::uint32_t>(base.size());
  std::string out;
  Put32(out, suffix_at + 1);  // LinkInfoSize
  Put32(out, header);
  Put32(out, 1);  // VolumeIDAndLocalBasePath
  Put32(out, volume_at);
  Put32(out, base_at);
  Put32(out, 0);  // no network path
  Put32(out, suffix_at);
  return out + volume + base + '\0';
}

class Cursor {
 public:
  explicit Cursor(std::string_view b) : b_(b) {}
  bool Has(std::size_t n) const { return at_ + n <= b_.size(); }
  std::uint32_t U16() {
    if (!Has(2)) return fail_ = true, 0;
    at_ += 2;
    return Byte(at_ - 2) | (Byte(at_ - 1) << 8);
  }
  std::uint32_t U32() {
    std::uint32_t lo = U16();
    return lo | (U16() << 16);
  }
  void Skip(std::size_t n) { Has(n) ? void(at_ += n) : void(fail_ = true); }
  std::size_t At() const { return at_; }
  void Seek(std::size_t at) { at <= b_.size() ? void(at_ = at) : void(fail_ = true); }
  bool Failed() const { return fail_; }
  std::string String(bool unicode) {
    std::uint32_t count = U16();
    if (!unicode) {
      if (!Has(count)) return fail_ = true, std::string();
      std::string s(b_.substr(at_, count));
      at_ += count;
      return Cp936ToUtf8(s);
    }
    std::u16string u;
    for (std::uint32_t i = 0; i < count && !fail_; ++i) u += static_cast<char16_t>(U16());
    return Utf16ToUtf8(u);
  }
  std::string_view View() const { return b_; }

 private:
  std::uint32_t Byte(std::size_t i) const { return static_cast<unsigned char>(b_[i]); }
  std::string_view b_;
  std::size_t at_ = 0;
  bool fail_ = false;
};

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto slash = path.find('\\', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) out.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return out;
}

}  // namespace

std::string WriteShellLink(const ShellLink& link) {
  std::uint32_t flags = kLinkIsUnicode;
  if (!link.target_path.empty()) flags |= kLinkHasLinkInfo;
  if (!link.description.empty()) flags |= kLinkHasName;
  if (!link.relative_path.empty()) flags |= kLinkHasRelativePath;
  if (!link.working_directory.empty()) flags |= kLinkHasWorkingDir;
  if (!link.arguments.empty()) flags |= kLinkHasArguments;
  if (!link.icon_location.empty()) flags |= kLinkHasIconLocation;
  std::string out;
  Put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), 16);
  Put32(out, flags);
  Put32(out, link.file_attributes);
  Put64(out, link.write_time);  // creation
  Put64(out, link.write_time);  // access
  Put64(out, link.write_time);  // write
  Put32(out, link.file_size);
  Put32(out, static_cast<std::uint32_t>(link.icon_index));
  Put32(out, link.show_command);
  Put16(out, 0);  // hot key
  Put16(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  if (flags & kLinkHasLinkInfo) out += LinkInfo(link.target_path);
  if (flags & kLinkHasName) PutString(out, link.description);
  if (flags & kLinkHasRelativePath) PutString(out, link.relative_path);
  if (flags & kLinkHasWorkingDir) PutString(out, link.working_directory);
  if (flags & kLinkHasArguments) PutString(out, link.arguments);
  if (flags & kLinkHasIconLocation) PutString(out, link.icon_location);
  Put32(out, 0);  // terminal block
  return out;
}

std::optional<ShellLink> ReadShellLink(std::string_view bytes) {
  Cursor c(bytes);
  if (c.U32() != kHeaderSize || !c.Has(16) ||
      bytes.substr(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClsid), 16))
    return std::nullopt;
  c.Skip(16);
  ShellLink link;
  const std::uint32_t flags = c.U32();
  link.file_attributes = c.U32();
  c.Skip(16);
  link.write_time = c.U32();
  link.write_time |= static_cast<std::uint64_t>(c.U32()) << 32;
  link.file_size = c.U32();
  link.icon_index = static_cast<std::int32_t>(c.U32());
  link.show_command = c.U32();
  c.Seek(kHeaderSize);
  if (flags & 0x1) c.Skip(c.U16());  // an ID list of the target
  if (flags & kLinkHasLinkInfo) {
    const std::size_t start = c.At();
    const std::uint32_t size = c.U32();
    c.Skip(4);
    const std::uint32_t info_flags = c.U32();
    c.Skip(4);
    const std::uint32_t base_at = c.U32();
    if (c.Failed() || size < 0x1C || !c.Has(size - 20)) return std::nullopt;
    if ((info_flags & 1) && base_at < size) {
      auto base = bytes.substr(start + base_at, size - base_at);
      link.target_path = Cp936ToUtf8(base.substr(0, base.find('\0')));
    }
    c.Seek(start + size);
  }
  const bool unicode = flags & kLinkIsUnicode;
  if (flags & kLinkHasName) link.description = c.String(unicode);
  if (flags & kLinkHasRelativePath) link.relative_path = c.String(unicode);
  if (flags & kLinkHasWorkingDir) link.working_directory = c.String(unicode);
  if (flags & kLinkHasArguments) link.arguments = c.String(unicode);
  if (flags & kLinkHasIconLocation) link.icon_location = c.String(unicode);
  if (c.Failed()) return std::nullopt;
  return link;
}

std::string RelativeWindowsPath(const std::string& folder, const std::string& target) {
  auto from = Components(folder), to = Components(target);
  if (from.empty() || to.empty() || !NamesEqual(from[0], to[0])) return target;
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && NamesEqual(from[common], to[common])) ++common;
  std::vector<std::string> parts;
  if (common == from.size()) parts.emplace_back(".");
  for (std::size_t i = common; i < from.size(); ++i) parts.emplace_back("..");
  parts.insert(parts.end(), to.begin() + static_cast<std::ptrdiff_t>(common), to.end());
  std::string out;
  for (const auto& p : parts) out.append(out.empty() ? "" : "\\").append(p);
  return out;
}

}  // namespace quorvale
