#include "support/reg_exp.h"

#include <algorithm>
#include <array>
#include <utility>

#include "support/failure.h"
#include "support/reg_exp_traits.h"
#include "support/text.h"

namespace tolvaran {

namespace regexp_detail {

namespace {

namespace cls {
inline constexpr std::uint32_t kAlnum = 1u << 0;
inline constexpr std::uint32_t kAlpha = 1u << 1;
inline constexpr std::uint32_t kBlank = 1u << 2;
inline constexpr std::uint32_t kCntrl = 1u << 3;
inline constexpr std::uint32_t kDigit = 1u << 4;
inline constexpr std::uint32_t kGraph = 1u << 5;
inline constexpr std::uint32_t kLower = 1u << 6;
inline constexpr std::uint32_t kPrint = 1u << 7;
inline constexpr std::uint32_t kPunct = 1u << 8;
inline constexpr std::uint32_t kSpace = 1u << 9;
inline constexpr std::uint32_t kUpper = 1u << 10;
inline constexpr std::uint32_t kUnicode = 1u << 11;
inline constexpr std::uint32_t kWord = 1u << 12;
inline constexpr std::uint32_t kXdigit = 1u << 13;
inline constexpr std::uint32_t kHorizontal = 1u << 14;
inline constexpr std::uint32_t kVertical = 1u << 15;
// [[:letter:]], the project's own: a letter of any script (isUnicodeLetter).
inline constexpr std::uint32_t kLetter = 1u << 16;
}  // namespace cls

// In the order of Boost's get_default_class_id: alnum alpha blank cntrl d
// digit graph h l lower print punct s space u unicode upper v w word xdigit.
constexpr std::array<std::uint32_t, 21> kClassMasks = {
    cls::kAlnum, cls::kAlpha,      cls::kBlank,  cls::kCntrl,   cls::kDigit, cls::kDigit,
    cls::kGraph, cls::kHorizontal, cls::kLower,  cls::kLower,   cls::kPrint, cls::kPunct,
    cls::kSpace, cls::kSpace,      cls::kUpper,  cls::kUnicode, cls::kUpper, cls::kVertical,
    cls::kWord,  cls::kWord,       cls::kXdigit,
};

bool isAsciiUpper(char32_t c) {
  return c >= U'A' && c <= U'Z';
}
bool isAsciiLower(char32_t c) {
  return c >= U'a' && c <= U'z';
}
bool isAsciiDigit(char32_t c) {
  return c >= U'0' && c <= U'9';
}

bool isLineTerminator(char32_t c) {
  return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029;
}

// ECMAScript's WhiteSpace (Zs included) without the line terminators.
bool isHorizontalSpace(char32_t c) {
  switch (c) {
    case U'\t':
    case 0x0B:
    case 0x0C:
    case U' ':
    case 0xA0:
    case 0x1680:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0xFEFF: return true;
    default: return c >= 0x2000 && c <= 0x200A;
  }
}

}  // namespace

FoldingTraits::char_class_type FoldingTraits::lookup_classname(const char_type* p1,
                                                               const char_type* p2) const {
  string_type name(p1, p2);
  for (char32_t& c : name) {
    if (isAsciiUpper(c)) c = c - U'A' + U'a';
  }
  if (name == U"letter") return cls::kLetter;
  const int id =
      ::boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(name.data(), name.data() + name.size());
  if (id < 0 || static_cast<std::size_t>(id) >= kClassMasks.size()) return 0;
  return kClassMasks[static_cast<std::size_t>(id)];
}

FoldingTraits::string_type FoldingTraits::lookup_collatename(const char_type* p1,
                                                             const char_type* p2) const {
  string_type result;
  if (std::all_of(p1, p2, [](char32_t c) { return c > 0 && c < 0x80; })) {
    const std::string ascii(p1, p2);
    const std::string known = ::boost::BOOST_REGEX_DETAIL_NS::lookup_default_collate_name(ascii);
    result.assign(known.begin(), known.end());
  }
  if (result.empty() && p2 - p1 == 1) result.push_back(*p1);
  return result;
}

// Under case-insensitive matching Boost hands over the folded character.
// Folding keeps a letter a letter and a non-letter a non-letter, except for
// U+0345 COMBINING GREEK YPOGEGRAMMENI, a mark that folds to iota: only
// there does ignoring case make [[:letter:]] match more.
bool FoldingTraits::isctype(char_type c, char_class_type mask) const {
  if ((mask & cls::kLetter) && isUnicodeLetter(c)) return true;
  const bool upper = isAsciiUpper(c);
  const bool lower = isAsciiLower(c);
  const bool digit = isAsciiDigit(c);
  const bool control = c < 0x20 || c == 0x7F;
  const bool punct = c > 0x20 && c < 0x7F && !upper && !lower && !digit;
  const bool horizontal = isHorizontalSpace(c);
  const bool vertical = isLineTerminator(c) || c == 0x0B || c == 0x0C || c == 0x85;
  return ((mask & cls::kAlnum) && (upper || lower || digit)) ||
         ((mask & cls::kAlpha) && (upper || lower)) ||
         ((mask & cls::kBlank) && (c == U' ' || c == U'\t')) || ((mask & cls::kCntrl) && control) ||
         ((mask & cls::kDigit) && digit) ||
         ((mask & cls::kGraph) && (upper || lower || digit || punct)) ||
         ((mask & cls::kLower) && lower) ||
         ((mask & cls::kPrint) && (upper || lower || digit || punct || c == U' ')) ||
         ((mask & cls::kPunct) && punct) ||
         ((mask & cls::kSpace) && (horizontal || isLineTerminator(c))) ||
         ((mask & cls::kUpper) && upper) || ((mask & cls::kUnicode) && c > 0xFF) ||
         ((mask & cls::kWord) && (upper || lower || digit || c == U'_')) ||
         ((mask & cls::kXdigit) &&
          (digit || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F'))) ||
         ((mask & cls::kHorizontal) && horizontal && c != 0x0B && c != 0x0C) ||
         ((mask & cls::kVertical) && vertical);
}

}  // namespace regexp_detail

namespace {

using regexp_detail::FoldingRegex;

std::u32string toUtf32(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                    (static_cast<char32_t>(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      out.push_back(c);  // a lone surrogate stays what it is
    }
  }
  return out;
}

std::size_t utf16Length(char32_t c) {
  return c > 0xFFFF ? 2 : 1;
}

std::u16string toUtf16(const char32_t* first, const char32_t* last) {
  std::u16string out;
  out.reserve(static_cast<std::size_t>(last - first));
  for (; first != last; ++first) {
    const char32_t c = *first;
    if (c > 0xFFFF) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

// Match starts only move forward, so one pass over the text turns code-point
// positions into UTF-16 positions however many matches there are.
class Utf16Cursor {
 public:
  explicit Utf16Cursor(const char32_t* start) : at_(start) {}
  std::size_t advanceTo(const char32_t* target) {
    for (; at_ < target; ++at_) units_ += utf16Length(*at_);
    return units_;
  }

 private:
  const char32_t* at_;
  std::size_t units_ = 0;
};

bool isHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return c - u'A' + 10;
}

[[noreturn]] void throwMatchFailure(const boost::regex_error& error) {
  if (error.code() == boost::regex_constants::error_space) {
    throw RuntimeError(runtimeFailure(rt::kOutOfMemory));
  }
  throw RuntimeError(regexp_error::kRegExpTooComplex,
                     runtimeErrorText(regexp_error::kRegExpTooComplex));
}

}  // namespace

bool isDotExcluded(char32_t c) noexcept {
  return boost::BOOST_REGEX_DETAIL_NS::is_separator(c);
}

std::u16string decodeUnicodeEscapes(std::u16string_view pattern) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(pattern.size());
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] != u'\\' || i + 1 >= pattern.size()) {
      out.push_back(pattern[i++]);
      continue;
    }
    if (pattern[i + 1] == u'u' && i + 6 <= pattern.size() && isHexDigit(pattern[i + 2]) &&
        isHexDigit(pattern[i + 3]) && isHexDigit(pattern[i + 4]) && isHexDigit(pattern[i + 5])) {
      const int value = (hexValue(pattern[i + 2]) << 12) | (hexValue(pattern[i + 3]) << 8) |
                        (hexValue(pattern[i + 4]) << 4) | hexValue(pattern[i + 5]);
      if (value < 0x80) {
        out += u"\\x{";
        out.push_back(kHex[value >> 4]);
        out.push_back(kHex[value & 0xF]);
        out.push_back(u'}');
      } else {
        out.push_back(static_cast<char16_t>(value));
      }
      i += 6;
    } else {
      // Any other escape, an escaped backslash included, passes as a whole.
      out.push_back(pattern[i]);
      out.push_back(pattern[i + 1]);
      i += 2;
    }
  }
  return out;
}

struct RegExp::Compiled {
  std::u16string pattern;
  bool ignoreCase = true;
  FoldingRegex regex;
  std::u16string error;  // empty when `regex` is usable
};

RegExp::RegExp() {
  compile();
}

RegExp::RegExp(std::u16string_view pattern, bool ignoreCase, bool global)
    : pattern_(pattern), ignoreCase_(ignoreCase), global_(global) {
  compile();
}

RegExp::~RegExp() = default;
RegExp::RegExp(const RegExp&) = default;
RegExp& RegExp::operator=(const RegExp&) = default;
RegExp::RegExp(RegExp&&) noexcept = default;
RegExp& RegExp::operator=(RegExp&&) noexcept = default;

void RegExp::setPattern(std::u16string_view pattern) {
  pattern_.assign(pattern);
  compile();
}

void RegExp::setIgnoreCase(bool ignoreCase) {
  if (ignoreCase == ignoreCase_) return;
  ignoreCase_ = ignoreCase;
  compile();
}

void RegExp::compile() {
  // One object serves several patterns in turn (the shared general object):
  // switching back to a recent one reuses its compiled form.
  for (const auto& recent : recent_) {
    if (recent->ignoreCase == ignoreCase_ && recent->pattern == pattern_) {
      compiled_ = recent;
      return;
    }
  }
  auto compiled = std::make_shared<Compiled>();
  compiled->pattern = pattern_;
  compiled->ignoreCase = ignoreCase_;
  // ECMAScript without multi-line mode: "^"/"$" only at the ends of the text,
  // "." never across a line break.
  auto flags = boost::regex_constants::ECMAScript | boost::regex_constants::no_mod_m |
               boost::regex_constants::no_mod_s;
  if (ignoreCase_) flags |= boost::regex_constants::icase;
  const std::u32string source = toUtf32(decodeUnicodeEscapes(pattern_));
  try {
    compiled->regex.assign(source.data(), source.data() + source.size(), flags);
  } catch (const boost::regex_error& error) {
    compiled->error = asciiToUtf16(error.what());
    if (compiled->error.empty()) compiled->error = u"invalid pattern";
  }
  if (recent_.size() == kRecentPatterns) recent_.erase(recent_.begin());
  recent_.push_back(compiled);
  compiled_ = std::move(compiled);
}

std::u16string RegExp::compileError() const {
  return compiled_ ? compiled_->error : u"";
}

bool RegExp::Test(std::u16string_view text) const {
  if (!compiled_ || !compiled_->error.empty()) {
    throw RuntimeError(regexp_error::kSyntaxError, u"Syntax error in regular expression");
  }
  const std::u32string subject = toUtf32(text);
  try {
    return boost::regex_search(subject.data(), subject.data() + subject.size(), compiled_->regex);
  } catch (const boost::regex_error& error) {
    throwMatchFailure(error);
  }
}

std::vector<RegExpMatch> RegExp::Execute(std::u16string_view text) const {
  if (!compiled_ || !compiled_->error.empty()) {
    throw RuntimeError(regexp_error::kSyntaxError, u"Syntax error in regular expression");
  }
  const std::u32string subject = toUtf32(text);
  const char32_t* const begin = subject.data();
  const char32_t* const end = begin + subject.size();
  std::vector<RegExpMatch> matches;
  Utf16Cursor cursor(begin);
  auto take = [&](const boost::match_results<const char32_t*>& found) {
    RegExpMatch match;
    match.firstIndex = cursor.advanceTo(found[0].first);
    match.value = toUtf16(found[0].first, found[0].second);
    match.length = match.value.size();
    for (std::size_t group = 1; group < found.size(); ++group) {
      match.subMatches.push_back(found[group].matched
                                     ? toUtf16(found[group].first, found[group].second)
                                     : std::u16string());
    }
    matches.push_back(std::move(match));
  };
  try {
    if (!global_) {
      boost::match_results<const char32_t*> found;
      if (boost::regex_search(begin, end, found, compiled_->regex)) take(found);
    } else {
      using Iterator =
          boost::regex_iterator<const char32_t*, char32_t, regexp_detail::FoldingTraits>;
      for (Iterator it(begin, end, compiled_->regex), last; it != last; ++it) take(*it);
    }
  } catch (const boost::regex_error& error) {
    throwMatchFailure(error);
  }
  return matches;
}

}  // namespace tolvaran
