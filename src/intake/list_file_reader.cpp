#include "intake/list_file_reader.h"

#include "fileops/file_bytes.h"
#include "fileops/text_decoding.h"
#include "support/text.h"
#include "support/text_detection.h"

namespace tolvaran {
namespace {

std::u16string_view withoutTrailingNuls(std::u16string_view text) noexcept {
  const std::size_t last = text.find_last_not_of(u'\0');
  return text.substr(0, last == std::u16string_view::npos ? 0 : last + 1);
}

bool holdsNul(std::u16string_view text) noexcept {
  return text.find(u'\0') != std::u16string_view::npos;
}

}  // namespace

ListFileText decodeListBytes(platform::System& system, std::string_view bytes) {
  const DecodedText decoded = decodeTextBytes(system, bytes);
  const std::u16string_view text = withoutTrailingNuls(decoded.text);
  if (!holdsNul(text)) return {std::u16string(text), ListReadOutcome::kRead};
  // A mark is never taken back; it is found in the first three bytes.
  if (detectTextEncoding(bytes.substr(0, 3)).markLength == 0) {
    const std::u16string wide = utf16leToText(bytes);
    const std::u16string_view wideText = withoutTrailingNuls(wide);
    if (!holdsNul(wideText)) return {std::u16string(wideText), ListReadOutcome::kRead};
  }
  return {{}, ListReadOutcome::kNotText};
}

ListFileText ListFileReader::readList(std::u16string_view path) {
  ListFileText list;
  if (attempt(
          recorder_,
          [&] {
            list = decodeListBytes(system_,
                                   readFileBytes(files_, path, kListFileLimit, OverLimit::kRefuse));
          },
          [] { return ErrorContext(u"Parser.ReadFileToArray"); })) {
    return {{}, ListReadOutcome::kUnreadable};
  }
  return list;
}

}  // namespace tolvaran
