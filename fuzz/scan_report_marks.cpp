// Scan-report recognition over arbitrary UTF-16LE text: the whole-text test
// agrees with testing line by line, a mark put anywhere is recognised, and
// the lines of a list and their line ends give the text back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "intake/list_text.h"
#include "intake/scan_report_import.h"
#include "support/text.h"

namespace {

using namespace tolvaran;

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t markIndex = data[0] % kScanReportMarks.size();
  const std::u16string text =
      utf16leToText(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));

  // The lines cover the text but for one line end between each two: CR LF,
  // LF or CR, and hold none themselves.
  bool inSomeLine = false;
  std::size_t lines = 0;
  std::size_t end = 0;
  for (const std::u16string_view line : ListLines(text)) {
    inSomeLine = inSomeLine || holdsScanReportMark(line);
    const auto start = static_cast<std::size_t>(line.data() - text.data());
    const std::u16string_view gap = std::u16string_view(text).substr(end, start - end);
    check(lines++ == 0 ? start == 0 : (gap == u"\r\n" || gap == u"\n" || gap == u"\r"));
    check(line.find_first_of(u"\r\n") == std::u16string_view::npos);
    end = start + line.size();
  }
  check(holdsScanReportMark(text) == inSomeLine);
  check(end == text.size());
  check(text.empty() == (lines == 0));

  std::u16string marked = text;
  marked.insert(data[1] % (text.size() + 1), kScanReportMarks[markIndex]);
  check(holdsScanReportMark(marked));
  return 0;
}
