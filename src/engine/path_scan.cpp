#include "engine/path_scan.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <vector>

#include "support/reg_exp.h"
#include "support/text.h"

namespace tolvaran {

namespace {

// Only the extensions' letters are compared through the case folding: no
// character folds to a quote, colon, backslash or dot but the character
// itself, so those are compared as they are.
class PathScanner {
 public:
  PathScanner(std::u16string_view text, std::span<const std::u16string_view> extensions)
      : text_(text), extensions_(extensions) {}

  // Every match has a colon and a backslash right after its drive letter, so
  // only those places are looked at, left to right. The match begins at the
  // drive letter, or at a quote just before it: the quote is taken when what
  // follows fits, and then the drive letter alone would fit too.
  std::optional<PathScanMatch> first() {
    for (std::size_t colon = text_.find(u':', 1); colon != kNone;
         colon = text_.find(u':', colon + 1)) {
      if (colon + 1 >= text_.size() || text_[colon + 1] != u'\\') continue;
      std::size_t drive = colon - 1;
      if (colon >= 2 && isLowSurrogate(text_[colon - 1]) && isHighSurrogate(text_[colon - 2])) {
        drive = colon - 2;
      }
      if (isDotExcluded(codePointAt(drive))) continue;
      const std::size_t end = matchRun(colon + 2);
      if (end == kNone) continue;
      const std::size_t start = drive > 0 && text_[drive - 1] == u'"' ? drive - 1 : drive;
      return PathScanMatch{start, end - start};
    }
    return std::nullopt;
  }

  // Ends where a dot and an extension finish, right to left from the first
  // match's own end, inside its run. Extensions hold no dot, so each dot's
  // ends lie before the next dot's: longest first falls out of the order.
  std::vector<PathScanMatch> shorter(const PathScanMatch& first, std::size_t limit) const {
    std::vector<PathScanMatch> found;
    const std::size_t firstEnd = first.firstIndex + first.length;
    if (first.length == 0 || firstEnd > text_.size() || limit == 0) return found;
    const std::size_t colon = text_.find(u":\\", first.firstIndex + 1);
    if (colon == kNone || colon + 2 >= firstEnd) return found;
    const std::size_t runStart = colon + 2;
    // The first match's extension ends before its closing quote, if any.
    const std::size_t extensionEnd = text_[firstEnd - 1] == u'"' ? firstEnd - 1 : firstEnd;
    for (std::size_t i = extensionEnd; i > runStart;) {
      --i;
      if (text_[i] == u'"') break;  // only when `first` was no match of this kind
      if (text_[i] != u'.') continue;
      std::array<std::size_t, kMaxExtensions> lengths{};
      const std::size_t count = extensionsAt(i + 1, lengths);
      for (std::size_t k = 0; k < count; ++k) {
        std::size_t end = i + 1 + lengths[k];
        if (end >= extensionEnd) continue;
        if (text_[end] == u'"') ++end;
        found.push_back(PathScanMatch{first.firstIndex, end - first.firstIndex});
        if (found.size() == limit) return found;
      }
    }
    return found;
  }

  static constexpr std::size_t kMaxExtensions = 10;

 private:
  static constexpr std::size_t kNone = std::u16string_view::npos;

  static bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
  static bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

  char32_t codePointAt(std::size_t i) const {
    const char16_t c = text_[i];
    if (isHighSurrogate(c) && i + 1 < text_.size() && isLowSurrogate(text_[i + 1])) {
      return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
             (static_cast<char32_t>(text_[i + 1]) - 0xDC00);
    }
    return c;
  }

  // From the first character after "X:\": the end of the match, or kNone.
  std::size_t matchRun(std::size_t runStart) {
    const Segment& segment = segmentFrom(runStart);
    if (segment.lastDot == kNone || segment.lastDot < runStart) return kNone;
    std::size_t end = segment.lastDot + 1 + segment.extensionLength;
    if (end < text_.size() && text_[end] == u'"') ++end;
    return end;
  }

  // The quote-free run from `from` to the next quote, and the last dot in it
  // that an extension follows. Runs are asked for left to right, so keeping
  // the last one makes the whole scan linear.
  struct Segment {
    std::size_t begin = kNone;
    std::size_t end = kNone;
    std::size_t lastDot = kNone;
    std::size_t extensionLength = 0;
  };

  const Segment& segmentFrom(std::size_t from) {
    if (segment_.begin != kNone && from >= segment_.begin && from < segment_.end) {
      return segment_;
    }
    segment_ = Segment{from, text_.find(u'"', from), kNone, 0};
    if (segment_.end == kNone) segment_.end = text_.size();
    for (std::size_t i = segment_.end; i > from;) {
      --i;
      if (text_[i] != u'.') continue;
      if (const std::size_t length = extensionAt(i + 1); length != 0) {
        segment_.lastDot = i;
        segment_.extensionLength = length;
        break;
      }
    }
    return segment_;
  }

  static char32_t foldUnit(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
    return foldCase(static_cast<char32_t>(c));
  }

  // The length of the first extension of the list found at `at`, or 0.
  std::size_t extensionAt(std::size_t at) const {
    for (const std::u16string_view extension : extensions_) {
      if (fitsAt(at, extension)) return extension.size();
    }
    return 0;
  }

  // The lengths of every extension of the list found at `at`, longest first
  // and each once; how many there are.
  std::size_t extensionsAt(std::size_t at, std::array<std::size_t, kMaxExtensions>& lengths) const {
    std::size_t count = 0;
    for (const std::u16string_view extension : extensions_) {
      if (!fitsAt(at, extension)) continue;
      if (std::find(lengths.begin(), lengths.begin() + count, extension.size()) !=
          lengths.begin() + count) {
        continue;
      }
      lengths[count++] = extension.size();
    }
    std::sort(lengths.begin(), lengths.begin() + count, std::greater<>());
    return count;
  }

  bool fitsAt(std::size_t at, std::u16string_view extension) const {
    if (at + extension.size() > text_.size()) return false;
    for (std::size_t k = 0; k < extension.size(); ++k) {
      if (foldUnit(text_[at + k]) != extension[k]) return false;
    }
    return true;
  }

  std::u16string_view text_;
  std::span<const std::u16string_view> extensions_;
  Segment segment_;
};

// In the order the expressions list them: the first that fits wins ("doc"
// before "docx").
constexpr std::array<std::u16string_view, 10> kExecutableExtensions = {
    u"exe", u"chm", u"doc", u"docx", u"xls", u"xlsx", u"ppt", u"pptx", u"pdf", u"txt"};
constexpr std::array<std::u16string_view, 5> kScriptExtensions = {u"bat", u"cmd", u"ps1", u"vbs",
                                                                  u"js"};
constexpr std::array<std::u16string_view, 8> kShortcutExtensions = {
    u"lnk", u"url", u"log", u"txt", u"ico", u"appref-ms", u"application", u"website"};
static_assert(kExecutableExtensions.size() <= PathScanner::kMaxExtensions &&
              kScriptExtensions.size() <= PathScanner::kMaxExtensions &&
              kShortcutExtensions.size() <= PathScanner::kMaxExtensions);

}  // namespace

std::optional<PathScanMatch> findExecutableInText(std::u16string_view text) {
  return PathScanner(text, kExecutableExtensions).first();
}

std::optional<PathScanMatch> findScriptInText(std::u16string_view text) {
  return PathScanner(text, kScriptExtensions).first();
}

std::optional<PathScanMatch> findShortcutPath(std::u16string_view text) {
  return PathScanner(text, kShortcutExtensions).first();
}

std::vector<PathScanMatch> shorterMatchesAtStart(PathKind kind, std::u16string_view text,
                                                 const PathScanMatch& first, std::size_t limit) {
  switch (kind) {
    case PathKind::kExecutable:
      return PathScanner(text, kExecutableExtensions).shorter(first, limit);
    case PathKind::kScript: return PathScanner(text, kScriptExtensions).shorter(first, limit);
    case PathKind::kShortcut: return PathScanner(text, kShortcutExtensions).shorter(first, limit);
  }
  return {};
}

}  // namespace tolvaran
