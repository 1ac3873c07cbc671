#include "quorvale/providers/stream.h"

#include "quorvale/core/codepage.h"
#include "quorvale/core/err.h"
#include "quorvale/core/errors.h"
#include "quorvale/core/text.h"

namespace quorvale {

namespace {

bool IsCp936(const std::string& charset) {
  for (const char* name : {"GB2312", "GBK", "CP936", "X-CP936"})
    if (SameText(charset, name)) return true;
  return false;
}

bool IsUtf8(const std::string& charset) { return SameText(charset, "UTF-8"); }

}  // namespace

void Stream::RequireOpen() const {
  if (!open_) Raise(Error::kAdoStreamClosed);
}

void Stream::SetType(int type) {
  if (type != kTypeBinary && type != kTypeText) Raise(Error::kAdoArguments, "Bad stream type");
  if (open_ && position_ != 0) Raise(Error::kAdoNotAllowed);
  type_ = type;
}

void Stream::SetMode(int mode) {
  if (open_) Raise(Error::kAdoNotAllowed);
  mode_ = mode;
}

void Stream::Open() {
  if (open_) Raise(Error::kAdoNotAllowed, "the object is open");
  open_ = true;
  data_.clear();
  position_ = 0;
}

void Stream::Write(const Variant& bytes) {
  RequireOpen();
  const Bytes* b = bytes.AsBytes();
  if (type_ != kTypeBinary || !b) Raise(Error::kAdoArguments, "Write takes a byte array");
  data_.replace(position_, std::min(b->size(), data_.size() - position_),
                reinterpret_cast<const char*>(b->data()), b->size());
  position_ += b->size();
}

void Stream::SetPosition(long position) {
  RequireOpen();
  if (position < 0 || static_cast<std::size_t>(position) > data_.size())
    Raise(Error::kAdoArguments, "Position out of range");
  position_ = static_cast<std::size_t>(position);
}

void Stream::SetCharset(const std::string& charset) {
  if (open_ && position_ != 0) Raise(Error::kAdoNotAllowed);
  if (!IsCp936(charset) && !IsUtf8(charset)) Raise(Error::kAdoArguments, "Unknown charset");
  charset_ = charset;
}

Variant Stream::ReadText() {
  RequireOpen();
  if (type_ != kTypeText) Raise(Error::kAdoNotAllowed, "ReadText needs a text stream");
  std::string_view rest(data_.data() + position_, data_.size() - position_);
  position_ = data_.size();
  if (IsCp936(charset_)) return Variant(Cp936ToUtf8(rest));
  if (IsUtf8(charset_)) return Variant(std::string(rest));
  Raise(Error::kAdoArguments, "Unknown charset");
}

void Stream::Close() {
  RequireOpen();
  open_ = false;
  data_.clear();
  position_ = 0;
}

}  // namespace quorvale
