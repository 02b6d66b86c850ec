#pragma once
// A value of the kinds the keyed table accepts as key or value: Empty, Null,
// text, integer, truth value, real, date, object reference, and arrays (which
// can be stored as values but never hashed as keys).
#include <concepts>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tolvaran {

// An object held by reference: two references are the same key only when
// they point at the same object.
using ObjectRef = std::shared_ptr<void>;

class Variant {
 public:
  enum class Type { kEmpty, kNull, kText, kInteger, kBoolean, kReal, kDate, kObject, kArray };

  Variant() noexcept = default;  // Empty
  Variant(std::u16string text) : value_(std::move(text)) {}
  Variant(std::u16string_view text) : value_(std::u16string(text)) {}
  Variant(const char16_t* text) : value_(std::u16string(text ? text : u"")) {}
  // Only a real bool: a pointer must not silently become a truth value.
  template <std::same_as<bool> B>
  Variant(B value) noexcept : value_(static_cast<bool>(value)) {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char8_t> &&
           !std::same_as<T, char16_t> && !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>)
      Variant(T value)
  noexcept {
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
      if (value > static_cast<T>(std::numeric_limits<std::int64_t>::max())) {
        value_ = static_cast<double>(value);
        return;
      }
    }
    value_ = static_cast<std::int64_t>(value);
  }
  Variant(double value) noexcept : value_(value) {}
  Variant(float value) noexcept : value_(static_cast<double>(value)) {}
  Variant(ObjectRef object) noexcept : value_(std::move(object)) {}

  static Variant null() noexcept {
    Variant v;
    v.value_ = NullTag{};
    return v;
  }
  // Days since 30 December 1899, the fraction being the time of day.
  static Variant date(double days) noexcept {
    Variant v;
    v.value_ = DateValue{days};
    return v;
  }
  static Variant array(std::vector<Variant> items) {
    Variant v;
    v.value_ = std::make_shared<const std::vector<Variant>>(std::move(items));
    return v;
  }

  [[nodiscard]] Type type() const noexcept { return static_cast<Type>(value_.index()); }
  [[nodiscard]] bool isEmpty() const noexcept { return type() == Type::kEmpty; }
  [[nodiscard]] bool isNull() const noexcept { return type() == Type::kNull; }
  [[nodiscard]] bool isNumeric() const noexcept {
    const Type t = type();
    return t == Type::kInteger || t == Type::kBoolean || t == Type::kReal || t == Type::kDate;
  }

  // Each accessor gives its kind's neutral value for a variant of another kind.
  [[nodiscard]] std::u16string_view text() const noexcept;
  [[nodiscard]] std::int64_t integer() const noexcept;
  [[nodiscard]] bool boolean() const noexcept;
  [[nodiscard]] ObjectRef object() const noexcept;
  [[nodiscard]] const std::vector<Variant>* arrayItems() const noexcept;
  // The numeric value of a number, truth value (True is -1) or date; 0 otherwise.
  [[nodiscard]] double number() const noexcept;

  // The value as text the way a message shows it: numbers in decimal, truth
  // values as True/False, dates as "yyyy-mm-dd hh:mm:ss" (the time part
  // only when there is one); Empty, Null, objects and arrays as empty text.
  [[nodiscard]] std::u16string toText() const;

  // Same kind and same value (objects: the same object; arrays: equal items).
  friend bool operator==(const Variant& a, const Variant& b) noexcept;

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) noexcept { return true; }
  };
  struct DateValue {
    double days = 0;
  };
  using ArrayRef = std::shared_ptr<const std::vector<Variant>>;

  // The order matches Type.
  std::variant<std::monostate, NullTag, std::u16string, std::int64_t, bool, double, DateValue,
               ObjectRef, ArrayRef>
      value_;
};

}  // namespace tolvaran
