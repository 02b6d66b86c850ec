#pragma once
// Reads list files and scan reports into text whose lines ListLines walks.
#include <cstdint>
#include <string>
#include <string_view>

#include "intake/list_text.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/failure.h"

namespace tolvaran {

// A list file larger than this is refused (recorded as out of memory) rather
// than read: real lists and scan reports are a few hundred kilobytes, and a
// 32-bit process holds a file's bytes, its text and the lines cut from it at
// once.
inline constexpr std::uint64_t kListFileLimit = 64u * 1024u * 1024u;

class ListFileReader {
 public:
  ListFileReader(platform::Files& files, platform::System& system, FailureRecorder& recorder)
      : files_(files), system_(system), recorder_(recorder) {}
  ListFileReader(const ListFileReader&) = delete;
  ListFileReader& operator=(const ListFileReader&) = delete;

  // The file's text, for ListLines: UTF-16LE when `isUtf16` (two bytes a
  // unit, an odd last byte dropped, a byte-order mark kept as the first
  // character), otherwise the ANSI code page. `systemLocale` names the locale
  // of that decoding; the program always passes false and the machine's ANSI
  // code page is used either way. A file that cannot be read is recorded
  // and gives empty text: no lines.
  std::u16string ReadFileToArray(std::u16string_view path, bool isUtf16, bool systemLocale);

  // The text of a plain list file, decoded as listEncodingOf tells from its
  // first bytes, its byte-order mark dropped. Failures as ReadFileToArray.
  std::u16string readListText(std::u16string_view path);

 private:
  // Every byte of the file; throws a RuntimeError when it cannot be read.
  std::u16string decode(std::string_view bytes, ListEncoding encoding);

  platform::Files& files_;
  platform::System& system_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
