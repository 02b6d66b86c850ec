#pragma once
// Reads list files and scan reports into text whose lines ListLines walks.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"
#include "support/failure.h"

namespace tolvaran {

// A list file larger than this is refused (recorded as out of memory) rather
// than read: real lists and scan reports are a few hundred kilobytes, and a
// 32-bit process holds a file's bytes, its text and the lines cut from it at
// once.
inline constexpr std::uint64_t kListFileLimit = 64u * 1024u * 1024u;

// What became of reading a list file.
enum class ListReadOutcome {
  kRead,
  kUnreadable,  // it could not be opened or read, or is over kListFileLimit (recorded)
  kNotText,     // it holds NUL characters in every reading: a binary file
};

struct ListFileText {
  std::u16string text;  // empty unless read
  ListReadOutcome outcome = ListReadOutcome::kRead;
};

// The text of a list file's bytes, decoded as every text file the program
// reads is (decodeTextBytes: a byte-order mark, UTF-8, DOS Cyrillic, ANSI),
// with one addition for lists: bytes without a mark that hold NULs in that
// reading are UTF-16LE, as "cmd /u" and older tools write it. NULs at the
// very end are padding and dropped; any other NUL makes the bytes no text.
[[nodiscard]] ListFileText decodeListBytes(platform::System& system, std::string_view bytes);

class ListFileReader {
 public:
  ListFileReader(platform::Files& files, platform::System& system, FailureRecorder& recorder)
      : files_(files), system_(system), recorder_(recorder) {}
  ListFileReader(const ListFileReader&) = delete;
  ListFileReader& operator=(const ListFileReader&) = delete;

  // The file's text by decodeListBytes. A file that cannot be read is
  // recorded (as "Parser.ReadFileToArray") and gives no text.
  ListFileText readList(std::u16string_view path);

 private:
  platform::Files& files_;
  platform::System& system_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
