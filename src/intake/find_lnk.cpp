#include "intake/find_lnk.h"

#include "intake/device_name.h"

namespace tolvaran {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;
constexpr std::u16string_view kSeparators = u"\\/";
// NTFS, FAT and exFAT all refuse a longer file or folder name.
constexpr std::size_t kLongestName = 255;

bool isSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

// Whether removing one space of the listed path can name an existing file at
// all. Every removal costs a copy of the path and an existence test of
// several system calls; a path of thousands of spaces would cost thousands of
// both. Two facts rule most of them out without touching the disk more than
// once per folder level:
//
//  - a name longer than 255 characters names nothing (trailing dots and
//    spaces, which Windows may drop, are not counted);
//  - nothing exists inside a missing folder.
//
// Both hold only while every component of the candidate stays where it is
// written. Windows resolves ".." by text before it looks at the disk, so a
// long or missing component followed by ".." can vanish from the path; when a
// ".." can appear in any candidate (the listed path with its spaces removed
// holds two adjacent dots) every space is tested, up to kMostSpaceRemovals of
// them. The system also stops reading a path at its first NUL: removing a
// space behind it gives the path as written, which was tested already.
class SpaceRemovalFilter {
 public:
  SpaceRemovalFilter(std::u16string_view listed, bool listedWasTested, modFile& files)
      : listed_(listed), listedWasTested_(listedWasTested), files_(files) {
    seenEnd_ = listed.find(u'\0');
    if (seenEnd_ == npos) seenEnd_ = listed.size();
    structural_ = !canHoldDotDot(listed.substr(0, seenEnd_));
  }

  bool worthTesting(std::size_t space) {
    if (space >= seenEnd_) return !listedWasTested_;
    if (!structural_) return true;
    if (folderMissing_) return false;
    if (componentStart_ == npos || space >= componentEnd_) enterComponentOf(space);
    if (folderMissing_) return false;
    const std::size_t kept =
        space < componentStart_ + trimmedLength_ ? trimmedLength_ - 1 : trimmedLength_;
    return kept <= kLongestName;
  }

 private:
  static bool canHoldDotDot(std::u16string_view text) {
    bool previousDot = false;
    for (const char16_t c : text) {
      if (c == u' ') continue;
      if (c == u'.' && previousDot) return true;
      previousDot = c == u'.';
    }
    return false;
  }

  // Spaces come in ascending order, so each component is entered once and
  // its folder tested once; once a folder is missing, every later space lies
  // deeper and is ruled out.
  void enterComponentOf(std::size_t space) {
    const std::size_t separator = listed_.find_last_of(kSeparators, space);
    componentStart_ = separator == npos ? 0 : separator + 1;
    componentEnd_ = listed_.substr(0, seenEnd_).find_first_of(kSeparators, space);
    if (componentEnd_ == npos) componentEnd_ = seenEnd_;
    std::size_t trimmedEnd = componentEnd_;
    while (trimmedEnd > componentStart_ &&
           (listed_[trimmedEnd - 1] == u' ' || listed_[trimmedEnd - 1] == u'.')) {
      --trimmedEnd;
    }
    trimmedLength_ = trimmedEnd - componentStart_;
    if (separator == npos || separator == 0) return;
    // A folder named with a trailing dot or space, a drive ("C:") or a run
    // of separators reads differently as the last component than inside a
    // longer path: such a folder is not tested and rules nothing out.
    const char16_t last = listed_[separator - 1];
    if (last == u'.' || last == u' ' || last == u':' || isSeparator(last)) return;
    folderMissing_ = !files_.isFileExists(listed_.substr(0, separator));
  }

  std::u16string_view listed_;
  bool listedWasTested_;
  modFile& files_;
  std::size_t seenEnd_ = 0;
  bool structural_ = false;
  std::size_t componentStart_ = npos;
  std::size_t componentEnd_ = 0;
  std::size_t trimmedLength_ = 0;
  bool folderMissing_ = false;
};

}  // namespace

std::u16string LinkFinder::FindLNK(std::u16string_view listedPath) {
  return guarded(
      recorder_, std::u16string(), [&] { return find(listedPath); },
      [] { return ErrorContext(u"Parser.FindLNK"); });
}

bool LinkFinder::exists(const std::u16string& candidate) {
  return !namesDosDevice(candidate) && files_.isFileExists(candidate);
}

std::u16string LinkFinder::find(std::u16string_view listedPath) {
  std::u16string candidate;
  for (const std::u16string_view suffix : kFindLnkSuffixes) {
    if (listedPath.size() + suffix.size() > kLongestPath) continue;
    candidate.assign(listedPath);
    candidate.append(suffix);
    if (exists(candidate)) return candidate;
  }
  if (listedPath.empty() || listedPath.size() - 1 > kLongestPath) return {};
  SpaceRemovalFilter filter(listedPath, listedPath.size() <= kLongestPath, files_);
  std::size_t tries = 0;
  for (std::size_t space = listedPath.find(u' '); space != npos && tries < kMostSpaceRemovals;
       space = listedPath.find(u' ', space + 1)) {
    // Removing any space of a run gives the same text as removing its first.
    if (space > 0 && listedPath[space - 1] == u' ') continue;
    if (!filter.worthTesting(space)) continue;
    ++tries;
    candidate.assign(listedPath.substr(0, space));
    candidate.append(listedPath.substr(space + 1));
    if (exists(candidate)) return candidate;
  }
  return {};
}

}  // namespace tolvaran
