#include "support/oem_text.h"

#include <cstddef>
#include <utility>

namespace tolvaran {

namespace {

// Position i of the view list is what the 866 byte of letter i shows when
// read as Windows-1251. "ё" and "Ё" appear twice in the letter list, so the
// view list has duplicates too: the first position decides.
constexpr std::u16string_view kWindowsLetters =
    u"эЭабвгдеёжзийклмнопрстуфхцчшщьыъюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЮЯЁЄЇёєї";
constexpr std::u16string_view kOemView =
    u"\u043D\u045C\u00A0\u040E\u045E\u0408\u00A4\u0490\u0441\u00A6\u00A7\u0401\u00A9\u0404"
    u"\u00AB\u00AC\u00AD\u00AE\u0407\u0430\u0431\u0432\u0433\u0434\u0435\u0436\u0437\u0438"
    u"\u0439\u043C\u043B\u043A\u043E\u043F\u0402\u0403\u201A\u0453\u201E\u2026\u0440\u2020"
    u"\u2021\u20AC\u2030\u0409\u2039\u040A\u040C\u040B\u040F\u0452\u2018\u2019\u201C\u201D"
    u"\u2022\u2013\u2014\u0098\u2122\u045A\u203A\u0459\u045B\u045F\u0440\u0442\u0444\u0441"
    u"\u0443\u0445";
static_assert(kWindowsLetters.size() == 72 && kOemView.size() == 72);

// The 1251 view of 866 bytes 0x80-0x9F (without 0x82), 0xA0-0xA7, 0xAB-0xAE.
constexpr std::u16string_view kOemDetection =
    u"\u0402\u0403\u0453\u201E\u2026\u2020\u2021\u20AC\u2030\u0409\u2039\u040A\u040C\u040B"
    u"\u040F\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u0098\u2122\u0459\u203A\u045A"
    u"\u045C\u045B\u045F\u00A0\u040E\u045E\u0408\u00A4\u0490\u00A6\u00A7\u00AB\u00AC\u00AD"
    u"\u00AE";
static_assert(kOemDetection.size() == 43);

template <class R, class Body>
R guardedText(FailureRecorder& recorder, std::u16string_view name, R neutral, Body&& body,
              std::u16string_view label, std::u16string_view text) {
  return guarded(recorder, std::move(neutral), std::forward<Body>(body), [&] {
    return label.empty() ? ErrorContext(name) : ErrorContext(name, label, text);
  });
}

}  // namespace

std::u16string UnQuote(std::u16string_view text) {
  while (!text.empty() && text.front() == u'"') text.remove_prefix(1);
  while (!text.empty() && text.back() == u'"') text.remove_suffix(1);
  return std::u16string(text);
}

std::u16string UnQuote(FailureRecorder& recorder, std::u16string_view text) {
  return guardedText(
      recorder, u"Parser.UnQuote", std::u16string(), [&] { return UnQuote(text); }, {}, text);
}

std::u16string UnQuoteEx(std::u16string_view text) {
  if (!text.empty() && text.front() == u'"' && text.back() == u'"') {
    return text.size() < 2 ? std::u16string() : std::u16string(text.substr(1, text.size() - 2));
  }
  return std::u16string(text);
}

std::u16string UnQuoteEx(FailureRecorder& recorder, std::u16string_view text) {
  return guardedText(
      recorder, u"Parser.UnQuoteEx", std::u16string(), [&] { return UnQuoteEx(text); }, u"String: ",
      text);
}

bool isOEM(std::u16string_view text) noexcept {
  return text.find_first_of(kOemDetection) != std::u16string_view::npos;
}

bool isOemBytes(std::string_view bytes) noexcept {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x80 && byte <= 0x9F && byte != 0x82) || (byte >= 0xA0 && byte <= 0xA7) ||
        (byte >= 0xAB && byte <= 0xAE)) {
      return true;
    }
  }
  return false;
}

bool isOEM(FailureRecorder& recorder, std::u16string_view text) {
  return guardedText(
      recorder, u"Parser.isOEM", false, [&] { return isOEM(text); }, u"String:", text);
}

std::u16string Convert_OEM_to_Win(std::u16string_view text, bool reverse) {
  const std::u16string_view from = reverse ? kWindowsLetters : kOemView;
  const std::u16string_view to = reverse ? kOemView : kWindowsLetters;
  std::u16string out(text);
  for (char16_t& c : out) {
    const std::size_t position = from.find(c);
    if (position != std::u16string_view::npos) c = to[position];
  }
  return out;
}

std::u16string Convert_OEM_to_Win(FailureRecorder& recorder, std::u16string_view text,
                                  bool reverse) {
  return guardedText(
      recorder, u"Parser.Convert_OEM_to_Win", std::u16string(),
      [&] { return Convert_OEM_to_Win(text, reverse); }, u"String:", text);
}

}  // namespace tolvaran
