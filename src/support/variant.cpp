#include "support/variant.h"

#include <charconv>
#include <cmath>

#include "support/civil_date.h"
#include "support/text.h"

namespace tolvaran {

namespace {

std::u16string padded(std::int64_t value, std::size_t width) {
  std::u16string digits = toDecimal(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

// Up to 15 significant digits, exponent only for very large or small values,
// "E" and no leading zeros in the exponent: 1.5, 0.25, 1E+20.
std::u16string realToText(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value < 0 ? u"-Infinity" : u"Infinity";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (result.ec != std::errc{}) return {};
  std::u16string text;
  bool inExponent = false;
  bool exponentDigitSeen = false;
  for (const char* p = buffer; p != result.ptr; ++p) {
    const char c = *p;
    if (c == 'e' || c == 'E') {
      text.push_back(u'E');
      inExponent = true;
    } else if (inExponent && c == '0' && !exponentDigitSeen) {
      continue;
    } else {
      if (inExponent && c >= '1' && c <= '9') exponentDigitSeen = true;
      text.push_back(static_cast<char16_t>(c));
    }
  }
  return text;
}

// Dates within the range the original date type covers (years 100 to 9999).
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958465.0;

std::u16string dateToText(double days) {
  if (!(days >= kFirstDay && days < kLastDay + 1)) return realToText(days);
  const double whole = std::trunc(days);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * 86400.0));
  if (seconds > 86399) seconds = 86399;
  const std::int64_t epoch = daysFromCivil(1899, 12, 30);
  const CivilDate date = civilFromDays(epoch + static_cast<std::int64_t>(whole));
  std::u16string text =
      padded(date.year, 4) + u'-' + padded(date.month, 2) + u'-' + padded(date.day, 2);
  if (seconds != 0) {
    text += u' ' + padded(seconds / 3600, 2) + u':' + padded(seconds / 60 % 60, 2) + u':' +
            padded(seconds % 60, 2);
  }
  return text;
}

}  // namespace

std::u16string_view Variant::text() const noexcept {
  const auto* text = std::get_if<std::u16string>(&value_);
  return text ? std::u16string_view(*text) : std::u16string_view();
}

std::int64_t Variant::integer() const noexcept {
  const auto* value = std::get_if<std::int64_t>(&value_);
  return value ? *value : 0;
}

bool Variant::boolean() const noexcept {
  const auto* value = std::get_if<bool>(&value_);
  return value ? *value : false;
}

ObjectRef Variant::object() const noexcept {
  const auto* value = std::get_if<ObjectRef>(&value_);
  return value ? *value : ObjectRef();
}

const std::vector<Variant>* Variant::arrayItems() const noexcept {
  const auto* value = std::get_if<ArrayRef>(&value_);
  return value && *value ? value->get() : nullptr;
}

double Variant::number() const noexcept {
  switch (type()) {
    case Type::kInteger: return static_cast<double>(std::get<std::int64_t>(value_));
    case Type::kBoolean: return std::get<bool>(value_) ? -1.0 : 0.0;
    case Type::kReal: return std::get<double>(value_);
    case Type::kDate: return std::get<DateValue>(value_).days;
    default: return 0.0;
  }
}

std::u16string Variant::toText() const {
  switch (type()) {
    case Type::kText: return std::get<std::u16string>(value_);
    case Type::kInteger: return toDecimal(std::get<std::int64_t>(value_));
    case Type::kBoolean: return std::get<bool>(value_) ? u"True" : u"False";
    case Type::kReal: return realToText(std::get<double>(value_));
    case Type::kDate: return dateToText(std::get<DateValue>(value_).days);
    default: return {};
  }
}

bool operator==(const Variant& a, const Variant& b) noexcept {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Variant::Type::kEmpty:
    case Variant::Type::kNull: return true;
    case Variant::Type::kText: return a.text() == b.text();
    case Variant::Type::kInteger: return a.integer() == b.integer();
    case Variant::Type::kBoolean: return a.boolean() == b.boolean();
    case Variant::Type::kReal:
    case Variant::Type::kDate: return a.number() == b.number();
    case Variant::Type::kObject: return a.object() == b.object();
    case Variant::Type::kArray: {
      const auto* x = a.arrayItems();
      const auto* y = b.arrayItems();
      if (x == y) return true;
      if (!x || !y || x->size() != y->size()) return false;
      for (std::size_t i = 0; i < x->size(); ++i) {
        if (!((*x)[i] == (*y)[i])) return false;
      }
      return true;
    }
  }
  return false;
}

}  // namespace tolvaran
