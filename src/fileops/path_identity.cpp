#include "fileops/path_identity.h"

#include "support/text.h"

namespace tolvaran {
namespace {

// GetFullPathNameW's buffer in characters, its terminator included.
constexpr std::size_t kPathBufferLength = 32767;

}  // namespace

PathIdentity pathIdentity(platform::Files& files, std::u16string_view path) {
  const auto full = files.getFullPathName(path);
  const bool usable = full.ok() && full.value.size() < kPathBufferLength;
  return PathIdentity(fileNameUpcase(usable ? std::u16string_view(full.value) : path));
}

}  // namespace tolvaran
