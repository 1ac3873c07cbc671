// The stream behind adodb.stream: bytes written in binary mode, read back
// as text in a named charset.
#pragma once

#include <string>

#include "quorvale/core/variant.h"

namespace quorvale {

class Stream {
 public:
  static constexpr int kTypeBinary = 1;
  static constexpr int kTypeText = 2;

  int Type() const { return type_; }
  // The type changes only at position 0, as the stream cannot reinterpret
  // bytes it has already passed.
  void SetType(int type);
  int Mode() const { return mode_; }
  void SetMode(int mode);
  void Open();
  // Appends a byte array at the current position; binary streams only.
  void Write(const Variant& bytes);
  long Position() const { return static_cast<long>(position_); }
  void SetPosition(long position);
  const std::string& Charset() const { return charset_; }
  // "GB2312", "GBK", "CP936" (code page 936) and "UTF-8", in any case.
  void SetCharset(const std::string& charset);
  // Decodes everything from the position to the end; text streams only.
  Variant ReadText();
  void Close();

 private:
  void RequireOpen() const;

  bool open_ = false;
  int type_ = kTypeBinary;
  int mode_ = 0;
  std::string data_;
  std::size_t position_ = 0;
  std::string charset_ = "Unicode";
};

}  // namespace quorvale
