// The VARIANT of the system: one value of any of the kinds the component and
// the wizards pass around, with the text-form rules of late-bound code.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "quorvale/core/text.h"

namespace quorvale {

class Variant;

// An object held in a Variant. Its default value, when it has one, stands in
// for it wherever a text form is needed.
class Object {
 public:
  virtual ~Object() = default;
  virtual std::optional<Variant> DefaultValue() const;
};

struct EmptyValue {
  bool operator==(const EmptyValue&) const = default;
};
struct NullValue {
  bool operator==(const NullValue&) const = default;
};

using Bytes = std::vector<std::uint8_t>;

enum class VarType { Empty, Null, Boolean, Integer, Long, Double, String, ByteArray, Array, Object };

class Variant {
 public:
  using Array = std::vector<Variant>;

  Variant() = default;
  Variant(bool b) : value_(b) {}
  Variant(std::int16_t i) : value_(i) {}
  Variant(std::int32_t l) : value_(l) {}
  Variant(double d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(Bytes b) : value_(std::move(b)) {}
  Variant(Array a) : value_(std::make_shared<Array>(std::move(a))) {}
  Variant(std::shared_ptr<Object> o) : value_(std::move(o)) {}

  static Variant Null() {
    Variant v;
    v.value_ = NullValue{};
    return v;
  }

  VarType Type() const { return static_cast<VarType>(value_.index()); }
  bool IsEmpty() const { return Type() == VarType::Empty; }
  bool IsNull() const { return Type() == VarType::Null; }

  const std::string* AsString() const { return std::get_if<std::string>(&value_); }
  const Bytes* AsBytes() const { return std::get_if<Bytes>(&value_); }
  const Array* AsArray() const {
    auto p = std::get_if<std::shared_ptr<Array>>(&value_);
    return p ? p->get() : nullptr;
  }
  std::shared_ptr<Object> AsObject() const {
    auto p = std::get_if<std::shared_ptr<Object>>(&value_);
    return p ? *p : nullptr;
  }
  std::optional<bool> AsBool() const;
  std::optional<double> AsNumber() const;

  // The text the value takes when joined to other text: numbers as plain
  // decimal text, Empty and Null as nothing, booleans as "True"/"False".
  // Arrays, byte arrays and objects without a default value have none.
  std::optional<std::string> TextForm() const;

  bool operator==(const Variant& other) const;

 private:
  std::variant<EmptyValue, NullValue, bool, std::int16_t, std::int32_t, double, std::string, Bytes,
               std::shared_ptr<Array>, std::shared_ptr<Object>>
      value_;
};

// Text form of a value, upper-cased; nothing when the value has no text form.
std::optional<std::string> UpperTextForm(const Variant& v);

}  // namespace quorvale
