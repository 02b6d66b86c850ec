#pragma once
// Reading a whole (small) file into memory, for the scripts a shortcut runs
// and the lists a user hands over. Failures are raised as the run-time errors
// the reading procedures record.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace tolvaran {

// What becomes of a file longer than the limit.
enum class OverLimit {
  kTruncate,  // its first `limit` bytes are read
  kRefuse,    // "Out of memory" (7) is raised and nothing is read
};

// The file's bytes, opened with every share mode so that a file another
// program holds open is still read. A file that shrinks while it is read
// gives what was there.
std::string readFileBytes(platform::Files& files, std::u16string_view path, std::uint64_t limit,
                          OverLimit overLimit);

}  // namespace tolvaran
