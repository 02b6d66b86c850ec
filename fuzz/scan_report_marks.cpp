// Scan-report recognition over arbitrary UTF-16LE text: the whole-text test
// agrees with testing line by line, a mark put anywhere is recognised, and
// the lines of a list give the text back when joined.
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

  bool inSomeLine = false;
  std::u16string joined;
  std::size_t lines = 0;
  for (const std::u16string_view line : ListLines(text)) {
    inSomeLine = inSomeLine || holdsScanReportMark(line);
    if (lines++ > 0) joined += u"\r\n";
    joined += line;
  }
  check(holdsScanReportMark(text) == inSomeLine);
  check(joined == text);
  check(text.empty() == (lines == 0));

  std::u16string marked = text;
  marked.insert(data[1] % (text.size() + 1), kScanReportMarks[markIndex]);
  check(holdsScanReportMark(marked));
  return 0;
}
