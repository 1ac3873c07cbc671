#include "quorvale/payload/rar_writer.h"

#include "quorvale/core/bytes.h"
#include "quorvale/core/codepage.h"

namespace quorvale {

namespace {

constexpr std::string_view kSignature{"Rar!\x1A\x07\x00", 7};

constexpr std::uint8_t kMainHead = 0x73;
constexpr std::uint8_t kFileHead = 0x74;
constexpr std::uint8_t kEndHead = 0x7B;

constexpr std::uint16_t kLongBlock = 0x8000;    // a data area follows the header
constexpr std::uint16_t kUnicodeName = 0x0200;  // the name field also holds the name in Unicode
constexpr std::uint16_t kFolderFlags = 0x00E0;  // dictionary bits all set: a folder
constexpr std::uint16_t kEndFlags = 0x4000;     // end block: as every RAR 3.x writes it

constexpr std::uint8_t kHostWin32 = 2;
constexpr std::uint8_t kVersion20 = 20;
constexpr std::uint8_t kMethodStore = 0x30;
constexpr std::uint32_t kAttrFolder = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;

// A block header: its CRC (low half of the CRC-32 of everything after the
// CRC field) followed by type, flags, size and the fields.
std::string Block(std::uint8_t type, std::uint16_t flags, const std::string& fields) {
  std::string rest;
  rest += static_cast<char>(type);
  Put16(rest, flags);
  Put16(rest, static_cast<std::uint32_t>(2 + rest.size() + 2 + fields.size()));
  rest += fields;
  std::string out;
  Put16(out, Crc32(rest) & 0xFFFF);
  return out + rest;
}

// Code units of UTF-16 for the UTF-8 text (already checked by the conversion to code page 936).
std::u16string Utf16Of(const std::string& text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    char32_t c = extra == 0 ? b : extra == 1 ? b & 0x1F : extra == 2 ? b & 0x0F : b & 0x07;
    for (int k = 1; k <= extra && i + k < text.size(); ++k) c = (c << 6) | (text[i + k] & 0x3F);
    i += extra + 1;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return out;
}

// RAR's Unicode form of a name, written after the code-page name and a NUL:
// a high byte (unused here, 0), then groups of up to four characters, each
// group led by a byte of four 2-bit codes, highest first: code 0 for a
// character below 256 (one byte follows), code 2 for any other (two bytes,
// low first).
std::string UnicodeForm(const std::u16string& name) {
  std::string out(1, '\0');
  for (std::size_t i = 0; i < name.size(); i += 4) {
    std::string data;
    unsigned flags = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      unsigned code = 0;
      if (i + k < name.size()) {
        char16_t c = name[i + k];
        if (c < 0x100) {
          data += static_cast<char>(c);
        } else {
          code = 2;
          data += static_cast<char>(c & 0xFF);
          data += static_cast<char>(c >> 8);
        }
      }
      flags |= code << (6 - 2 * k);
    }
    out += static_cast<char>(flags);
    out += data;
  }
  return out;
}

// UTF-8 name -> code-page-936 bytes with "\" between non-empty parts.
std::string StoredName(const std::string& name) {
  std::string parts;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    if (end > start) {
      if (!parts.empty()) parts += '\\';
      parts += name.substr(start, end - start);
    }
    start = end + 1;
  }
  if (parts.empty()) throw RarError("empty member name");
  auto encoded = Utf8ToCp936(parts);
  if (!encoded) throw RarError("member name not in code page 936: " + name);
  std::string stored = *encoded;
  // Names beyond ASCII carry their Unicode form too: a reader that splits the
  // code-page name at "\" bytes would cut characters whose second byte is 0x5C.
  if (stored != parts) stored += '\0' + UnicodeForm(Utf16Of(parts));
  if (stored.size() > 0xFFFF) throw RarError("member name too long: " + name);
  return stored;
}

std::string FileBlock(const std::string& name, bool folder, std::string_view data, std::uint32_t dos_time) {
  if (data.size() > 0xFFFFFFFFu) throw RarError("member of 4 GiB or more: " + name);
  const std::string stored = StoredName(name);
  const auto size = static_cast<std::uint32_t>(data.size());
  std::string fields;
  Put32(fields, size);  // packed size: stored as it is
  Put32(fields, size);  // unpacked size
  fields += static_cast<char>(kHostWin32);
  Put32(fields, Crc32(data));
  Put32(fields, dos_time);
  fields += static_cast<char>(kVersion20);
  fields += static_cast<char>(kMethodStore);
  Put16(fields, static_cast<std::uint32_t>(stored.size()));
  Put32(fields, folder ? kAttrFolder : kAttrArchive);
  fields += stored;
  std::uint16_t flags = kLongBlock | (folder ? kFolderFlags : 0);
  if (stored.find('\0') != std::string::npos) flags |= kUnicodeName;
  return Block(kFileHead, flags, fields) + std::string(data);
}

}  // namespace

RarWriter::RarWriter(std::uint32_t dos_time) : dos_time_(dos_time) {}

void RarWriter::AddFile(const std::string& name, std::string_view data) {
  body_ += FileBlock(name, false, data, dos_time_);
}

void RarWriter::AddFolder(const std::string& name) { body_ += FileBlock(name, true, {}, dos_time_); }

std::string RarWriter::Finish() const {
  std::string out(kSignature);
  out += Block(kMainHead, 0, std::string(6, '\0'));  // two reserved fields
  out += body_;
  out += Block(kEndHead, kEndFlags, "");
  return out;
}

std::string RarWriter::Finish(std::size_t size) const {
  std::string out = Finish();
  if (out.size() > size)
    throw RarError("archive of " + std::to_string(out.size()) + " bytes exceeds " + std::to_string(size));
  out.resize(size, '\0');
  return out;
}

std::string MakeRarArchive(const std::vector<RarMember>& members, std::optional<std::size_t> size) {
  RarWriter writer;
  for (const auto& m : members) {
    if (m.is_folder)
      writer.AddFolder(m.name);
    else
      writer.AddFile(m.name, m.data);
  }
  return size ? writer.Finish(*size) : writer.Finish();
}

}  // namespace quorvale
