#pragma once
// When two paths name the same file: the question behind "this shortcut was
// handled already". The same shortcut reaches a run in many spellings (a
// list in capitals, a drop in the Explorer's case, a folder walk through a
// "..\" path), and curing it twice would rename it to the second spelling.
#include <string>
#include <string_view>
#include <utility>

#include "platform/files.h"

namespace tolvaran {

// A path as Windows tells files apart: GetFullPathName's absolute form
// (".", "..", "/", the current folder and trailing dots and spaces resolved
// by text alone, no disk touched), then each unit upper-cased as the file
// systems compare names (fileNameUpcase). Equal identities name the same
// file. The converse does not hold for 8.3 aliases, links and the "\\?\"
// form, which GetFullPathName keeps as written.
class PathIdentity {
 public:
  [[nodiscard]] const std::u16string& text() const noexcept { return text_; }
  friend bool operator==(const PathIdentity&, const PathIdentity&) = default;

 private:
  friend PathIdentity pathIdentity(platform::Files& files, std::u16string_view path);
  explicit PathIdentity(std::u16string text) : text_(std::move(text)) {}
  std::u16string text_;
};

// The identity of `path`. A path GetFullPathName refuses, or whose full form
// fills its whole buffer, is taken as written.
PathIdentity pathIdentity(platform::Files& files, std::u16string_view path);

}  // namespace tolvaran
