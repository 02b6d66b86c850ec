#pragma once
// Finds the real file behind a listed path that does not exist as written:
// scanners and users drop the ".lnk" of a shortcut, and copying a path out of
// a wrapped report line adds a stray space.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "fileops/mod_file.h"
#include "support/failure.h"

namespace tolvaran {

// The longest path Windows accepts (the \\?\ form included): a longer
// candidate cannot name a file, so none is ever built. This also keeps a
// pasted megabyte line with a hundred thousand spaces from costing a
// hundred thousand megabyte copies.
inline constexpr std::size_t kLongestPath = 32767;

// The most space removals FindLNK tries. In practice only a path that climbs
// with ".." reaches it (see find_lnk.cpp): no real path holds that many
// spaces, and each try costs a copy of the path and several system calls.
inline constexpr std::size_t kMostSpaceRemovals = 256;

// Appended to the listed path in this order; the path as written comes first.
inline constexpr std::array<std::u16string_view, 6> kFindLnkSuffixes = {
    u"", u".LNK", u".LOG", u".TXT", u".URL", u".WEBSITE"};

class LinkFinder {
 public:
  LinkFinder(modFile& files, FailureRecorder& recorder) : files_(files), recorder_(recorder) {}
  LinkFinder(const LinkFinder&) = delete;
  LinkFinder& operator=(const LinkFinder&) = delete;

  // The first existing file among: the listed path with each suffix, then
  // the listed path with one of its spaces removed (each space in turn, left
  // to right, the others kept). Empty when none exists. Suffixes and space
  // removal are not combined. A candidate naming a device counts as missing.
  // Removals that cannot name a file are not tried, nor any beyond the
  // kMostSpaceRemovals-th.
  std::u16string FindLNK(std::u16string_view listedPath);

 private:
  std::u16string find(std::u16string_view listedPath);
  // A device ("C:\CON.lnk") is never found, whatever the tests say of it.
  bool exists(const std::u16string& candidate);

  modFile& files_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
