#include "intake/list_line.h"

#include <array>
#include <limits>
#include <utility>

#include "intake/find_lnk.h"
#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

constexpr std::array<std::u16string_view, 8> kShortcutExtensions = {
    u"lnk", u"url", u"log", u"txt", u"ico", u"appref-ms", u"application", u"website"};

bool isAsciiLetter(char16_t c) noexcept {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isAsciiLetterOrDigit(char16_t c) noexcept {
  return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}
char16_t asciiLower(char16_t c) noexcept {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
bool isSeparator(char16_t c) noexcept {
  return c == u'\\' || c == u'/';
}
bool startsWord(std::u16string_view line, std::size_t i) noexcept {
  return i == 0 || !isAsciiLetterOrDigit(line[i - 1]);
}

// The slashes of "scheme://" stay as they are: read as backslashes, a web
// address ("http://ads.test/a.url") would hold a drive path ("p:\\").
bool isSchemeSlash(std::u16string_view line, std::size_t i) noexcept {
  const auto schemeColon = [&](std::size_t colon) {
    return line[colon] == u':' && colon >= 2 && isAsciiLetter(line[colon - 1]) &&
           isAsciiLetter(line[colon - 2]);
  };
  if (i >= 1 && i + 1 < line.size() && line[i + 1] == u'/' && schemeColon(i - 1)) return true;
  return i >= 2 && line[i - 1] == u'/' && schemeColon(i - 2);
}

// Two backslashes at the start of a word and a server name after them.
// "\\?\C:\..." and "\\.\C:\..." hold a drive path, which is read as one;
// "\\?\UNC\server\..." is a UNC path.
bool startsUncPath(std::u16string_view normal, std::size_t i) noexcept {
  if (i + 2 >= normal.size() || normal[i] != u'\\' || normal[i + 1] != u'\\') return false;
  if (i > 0 && normal[i - 1] != u' ' && normal[i - 1] != u'\t' && normal[i - 1] != u'"') {
    return false;
  }
  const char16_t first = normal[i + 2];
  if (first == u'?') return startsWithNoCase(normal.substr(i + 3), u"\\UNC\\");
  return first != u'.' && first != u'\\' && first != u'"' && first != u' ' && first != u'\t';
}

// The length of the curable extension at `at` that ends a word, or 0.
std::size_t extensionEndingWordAt(std::u16string_view line, std::size_t at) noexcept {
  for (const std::u16string_view extension : kShortcutExtensions) {
    if (at + extension.size() > line.size()) continue;
    bool fits = true;
    for (std::size_t k = 0; k < extension.size() && fits; ++k) {
      fits = asciiLower(line[at + k]) == extension[k];
    }
    const std::size_t end = at + extension.size();
    if (fits && (end == line.size() || !isAsciiLetterOrDigit(line[end]))) return extension.size();
  }
  return 0;
}

// Where the "%NAME%" reference at `i` ends, if a separator follows it.
std::size_t variablePathAt(std::u16string_view line, std::size_t i) noexcept {
  if (line[i] != u'%' || !startsWord(line, i)) return npos;
  const std::size_t close = line.find_first_of(u"%\\/\"", i + 1);
  if (close == npos || line[close] != u'%' || close == i + 1) return npos;
  if (close + 1 >= line.size() || !isSeparator(line[close + 1])) return npos;
  return close + 1;
}

// A colon past the drive's, with a separator after it: no folder name holds
// one, so the reading names no file however its spaces are read. (A reading
// running over several paths of the line looks like that, and each of its
// spaces would cost the disk a test.)
bool colonInsideFolders(std::u16string_view path) noexcept {
  const std::size_t drive = path.find(u':');
  if (drive == npos) return false;
  const std::size_t colon = path.find(u':', drive + 1);
  return colon != npos && path.find(u'\\', colon) != npos;
}

}  // namespace

LinePaths::LinePaths(std::u16string_view line) : line_(line), normal_(line) {
  if (line.find(u'/') != npos) {
    normalStorage_.assign(line);
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == u'/' && !isSchemeSlash(line, i)) normalStorage_[i] = u'\\';
    }
    normal_ = normalStorage_;
  }
  // A line break is no drive letter: the probe's first character starts a
  // match only when a UNC path begins the line.
  probe_.reserve(normal_.size() + 1);
  probe_.push_back(u'\n');
  probe_.append(normal_);
  for (std::size_t i = 0; i + 2 < normal_.size(); ++i) {
    if (!startsUncPath(normal_, i)) continue;
    if (i == 0) probe_[0] = u' ';
    probe_[i + 1] = u':';
  }
  match_ = findShortcutPath(probe_);
}

LinePath LinePaths::longest() const {
  return pathOf(*match_);
}

std::vector<LinePath> LinePaths::shorter(std::size_t limit) const {
  std::vector<LinePath> paths;
  if (!match_ || limit == 0) return paths;
  // Longest first: the readings no file can have come first and are passed
  // over without a copy. A quote on either side is not part of the path.
  for (const PathScanMatch& match : shorterMatchesAtStart(
           PathKind::kShortcut, probe_, *match_, std::numeric_limits<std::size_t>::max())) {
    if (match.length > kLongestPath + 2) continue;
    LinePath path = pathOf(match);
    if (colonInsideFolders(path.listed)) continue;
    paths.push_back(std::move(path));
    if (paths.size() == limit) break;
  }
  return paths;
}

LinePath LinePaths::pathOf(const PathScanMatch& match) const {
  // A UNC path begins at its first backslash, where the probe has its colon.
  const std::size_t colon = probe_.find(u":\\", match.firstIndex + 1);
  const bool unc = colon != npos && normal_[colon - 1] == u'\\';
  const std::size_t begin = (unc ? colon : match.firstIndex) - 1;
  const std::size_t length = match.firstIndex + match.length - 1 - begin;
  return LinePath{UnQuote(slice(normal_, begin, length)), UnQuote(slice(line_, begin, length))};
}

std::optional<UnreadPath> findUnreadPath(std::u16string_view line) {
  std::size_t start = npos;
  std::size_t end = npos;
  UnreadReason reason = UnreadReason::kNotAPath;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (start == npos) {
      const bool drive = i + 2 < line.size() && isAsciiLetter(line[i]) && startsWord(line, i) &&
                         line[i + 1] == u':' && isSeparator(line[i + 2]);
      const bool unc =
          i + 1 < line.size() && isSeparator(line[i]) && line[i + 1] == line[i] &&
          (i == 0 || line[i - 1] == u' ' || line[i - 1] == u'\t' || line[i - 1] == u'"');
      if (drive || unc) {
        start = i;
      } else if (const std::size_t after = variablePathAt(line, i); after != npos) {
        start = i;
        reason = UnreadReason::kUnknownVariable;
        i = after;
      }
      continue;
    }
    if (line[i] != u'.') continue;
    if (const std::size_t length = extensionEndingWordAt(line, i + 1); length != 0) {
      end = i + 1 + length;
    }
  }
  if (end == npos) return std::nullopt;
  return UnreadPath{UnQuote(slice(line, start, end - start)), reason};
}

}  // namespace tolvaran
