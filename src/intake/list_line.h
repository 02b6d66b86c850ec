#pragma once
// How paths are read from one line of a list. A line names a shortcut by a
// drive-letter path ("C:\...\x.lnk"), a UNC path ("\\server\share\x.lnk") or
// either with forward slashes ("C:/.../x.lnk"), quoted or not, ending in one
// of the curable extensions. The first such path of the line is taken,
// running to the last extension before a quote or the line's end, as the
// path pattern reads it (engine/path_scan.h); the shorter readings at the
// same start, ending at earlier extensions, are there for a line that names
// a shortcut and then something else ("C:\X\Tool.lnk - see C:\notes.txt").
// %NAME% references are the caller's to expand: that needs the system.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/path_scan.h"

namespace tolvaran {

// The most shorter readings of one line tried on the disk. A real line names
// one shortcut and perhaps a file or two after it.
inline constexpr std::size_t kShorterReadings = 8;

struct LinePath {
  std::u16string listed;   // to locate: quotes removed, forward slashes as backslashes
  std::u16string written;  // as the line writes it, quotes removed: for the report
  friend bool operator==(const LinePath&, const LinePath&) = default;
};

class LinePaths {
 public:
  // `line`: trimmed, its references expanded. Linear in its length.
  explicit LinePaths(std::u16string_view line);
  LinePaths(const LinePaths&) = delete;
  LinePaths& operator=(const LinePaths&) = delete;

  [[nodiscard]] bool found() const noexcept { return match_.has_value(); }
  // The first path of the line. Only when found().
  [[nodiscard]] LinePath longest() const;
  // The readings at the same start that end at earlier extensions, longest
  // first, at most `limit`; readings too long to name a file are left out.
  [[nodiscard]] std::vector<LinePath> shorter(std::size_t limit) const;
  // The line with its path separators as backslashes: how a line that is a
  // path names its file.
  [[nodiscard]] std::u16string_view asPath() const noexcept { return normal_; }

 private:
  LinePath pathOf(const PathScanMatch& match) const;

  std::u16string_view line_;
  std::u16string normalStorage_;
  std::u16string_view normal_;
  // The path pattern finds drive paths only: here each UNC path's first
  // backslash is a colon and the character before it a drive letter, so
  // that the pattern finds UNC paths where they begin. Index i + 1 here is
  // index i of the line.
  std::u16string probe_;
  std::optional<PathScanMatch> match_;
};

// Why a line that looks like it names a shortcut gave no path.
enum class UnreadReason {
  kNotAPath,         // a quote inside it, or some other break the pattern cannot read past
  kUnknownVariable,  // "%NAME%\..." with a name the system does not know
};

struct UnreadPath {
  std::u16string written;  // from the start of the path to its extension, quotes removed
  UnreadReason reason = UnreadReason::kNotAPath;
  friend bool operator==(const UnreadPath&, const UnreadPath&) = default;
};

// For a line without a path: what in it begins like a path (a drive letter,
// colon and separator at the start of a word; "\\" or "//" at the start of a
// word; a "%NAME%" reference followed by a separator) and ends, later in the
// line, in a curable extension at the end of a word. Nothing otherwise:
// text that mentions "notes.txt" or "10:30" is no path anybody listed.
[[nodiscard]] std::optional<UnreadPath> findUnreadPath(std::u16string_view line);

}  // namespace tolvaran
