#include "quorvale/core/variant.h"

#include <charconv>
#include <cmath>

#include "quorvale/core/text.h"

namespace quorvale {

std::optional<Variant> Object::DefaultValue() const { return std::nullopt; }

namespace {

std::string DoubleText(double d) {
  if (std::isnan(d) || std::isinf(d)) return std::isnan(d) ? "NaN" : (d > 0 ? "Infinity" : "-Infinity");
  if (d == std::trunc(d) && std::fabs(d) < 1e15) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(d));
    return std::string(buf, r.ptr);
  }
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  std::string s(buf, r.ptr);
  // Exponents read "1E+20" / "1E-07" style, as late-bound code prints them.
  auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string out(s, 0, e);
  out += 'E';
  std::size_t i = e + 1;
  char sign = '+';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) sign = s[i++];
  out += sign;
  if (s.size() - i < 2) out += '0';
  out.append(s, i, std::string::npos);
  return out;
}

}  // namespace

std::optional<bool> Variant::AsBool() const {
  switch (Type()) {
    case VarType::Boolean: return std::get<bool>(value_);
    case VarType::Empty: return false;
    default: {
      auto n = AsNumber();
      if (n) return *n != 0;
      return std::nullopt;
    }
  }
}

std::optional<double> Variant::AsNumber() const {
  switch (Type()) {
    case VarType::Empty: return 0.0;
    case VarType::Boolean: return std::get<bool>(value_) ? -1.0 : 0.0;
    case VarType::Integer: return std::get<std::int16_t>(value_);
    case VarType::Long: return std::get<std::int32_t>(value_);
    case VarType::Double: return std::get<double>(value_);
    case VarType::String: {
      const auto& s = std::get<std::string>(value_);
      auto b = s.find_first_not_of(' ');
      auto e = s.find_last_not_of(' ');
      if (b == std::string::npos) return std::nullopt;
      double d = 0;
      auto r = std::from_chars(s.data() + b, s.data() + e + 1, d);
      if (r.ec != std::errc() || r.ptr != s.data() + e + 1) return std::nullopt;
      return d;
    }
    default: return std::nullopt;
  }
}

std::optional<std::string> Variant::TextForm() const {
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return std::string();
    case VarType::Boolean: return std::string(std::get<bool>(value_) ? "True" : "False");
    case VarType::Integer: return std::to_string(std::get<std::int16_t>(value_));
    case VarType::Long: return std::to_string(std::get<std::int32_t>(value_));
    case VarType::Double: return DoubleText(std::get<double>(value_));
    case VarType::String: return std::get<std::string>(value_);
    case VarType::ByteArray:
    case VarType::Array: return std::nullopt;
    case VarType::Object: {
      const auto& o = std::get<std::shared_ptr<Object>>(value_);
      if (!o) return std::nullopt;
      auto d = o->DefaultValue();
      if (!d || d->Type() == VarType::Object) return std::nullopt;
      return d->TextForm();
    }
  }
  return std::nullopt;
}

bool Variant::operator==(const Variant& other) const {
  if (Type() != other.Type()) return false;
  switch (Type()) {
    case VarType::Array: return *AsArray() == *other.AsArray();
    default: return value_ == other.value_;
  }
}

std::optional<std::string> UpperTextForm(const Variant& v) {
  auto t = v.TextForm();
  if (!t) return std::nullopt;
  return UpperCase(std::move(*t));
}

}  // namespace quorvale
