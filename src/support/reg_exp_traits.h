#pragma once
// The character traits that let Boost.Regex match UTF-32 code points with
// the project's own case folding. Only reg_exp.cpp and tests include this:
// it pulls in Boost.
//
// Boost's stock traits take case and character classes from the C++ locale,
// which folds Cyrillic on one platform and not on another; these traits
// decide everything themselves, the same way on every build.
#include <boost/regex.hpp>
#include <cstdint>
#include <locale>
#include <string>

#include "support/text.h"

namespace tolvaran::regexp_detail {

class FoldingTraits {
 public:
  using char_type = char32_t;
  using size_type = std::size_t;
  using string_type = std::u32string;
  using locale_type = std::locale;
  using char_class_type = std::uint32_t;
  // Tells Boost that this class supplies the extended interface itself
  // (syntax types, number parsing, case mapping, error texts).
  struct boost_extensions_tag {};

  static size_type length(const char_type* p) {
    size_type n = 0;
    while (p[n] != 0) ++n;
    return n;
  }

  ::boost::regex_constants::syntax_type syntax_type(char_type c) const {
    return c < 0x80 ? ::boost::BOOST_REGEX_DETAIL_NS::get_default_syntax_type(static_cast<char>(c))
                    : ::boost::regex_constants::syntax_char;
  }
  ::boost::regex_constants::escape_syntax_type escape_syntax_type(char_type c) const {
    return c < 0x80 ? ::boost::BOOST_REGEX_DETAIL_NS::get_default_escape_syntax_type(
                          static_cast<char>(c))
                    : ::boost::regex_constants::escape_type_identity;
  }

  char_type translate(char_type c) const { return c; }
  char_type translate_nocase(char_type c) const { return foldCase(c); }
  char_type translate(char_type c, bool icase) const { return icase ? foldCase(c) : c; }
  // Only used for \l \u \L \U in replacement formats, which nothing uses.
  char_type tolower(char_type c) const { return foldCase(c); }
  char_type toupper(char_type c) const { return c; }

  // No collation: ranges compare code points.
  string_type transform(const char_type* p1, const char_type* p2) const { return {p1, p2}; }
  string_type transform_primary(const char_type* p1, const char_type* p2) const {
    string_type result(p1, p2);
    for (char32_t& c : result) c = foldCase(c);
    return result;
  }

  char_class_type lookup_classname(const char_type* p1, const char_type* p2) const;
  string_type lookup_collatename(const char_type* p1, const char_type* p2) const;
  bool isctype(char_type c, char_class_type mask) const;

  int value(char_type c, int radix) const {
    int digit = -1;
    if (c >= U'0' && c <= U'9')
      digit = static_cast<int>(c - U'0');
    else if (c >= U'a' && c <= U'z')
      digit = static_cast<int>(c - U'a') + 10;
    else if (c >= U'A' && c <= U'Z')
      digit = static_cast<int>(c - U'A') + 10;
    return digit < radix ? digit : -1;
  }
  std::intmax_t toi(const char_type*& p1, const char_type* p2, int radix) const {
    return ::boost::BOOST_REGEX_DETAIL_NS::global_toi(p1, p2, radix, *this);
  }

  locale_type imbue(locale_type locale) { return locale; }
  locale_type getloc() const { return locale_type::classic(); }
  std::string error_string(::boost::regex_constants::error_type code) const {
    return ::boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(code);
  }
};

using FoldingRegex = ::boost::basic_regex<char32_t, FoldingTraits>;

}  // namespace tolvaran::regexp_detail
