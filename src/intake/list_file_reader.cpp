#include "intake/list_file_reader.h"

#include "fileops/file_bytes.h"
#include "support/text.h"

namespace tolvaran {
namespace {

ErrorContext readContext() {
  return ErrorContext(u"Parser.ReadFileToArray");
}

}  // namespace

std::u16string ListFileReader::ReadFileToArray(std::u16string_view path, bool isUtf16,
                                               bool /*systemLocale*/) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        return decode(readFileBytes(files_, path, kListFileLimit, OverLimit::kRefuse),
                      isUtf16 ? ListEncoding::kUtf16Le : ListEncoding::kAnsi);
      },
      readContext);
}

std::u16string ListFileReader::readListText(std::u16string_view path) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        const std::string bytes = readFileBytes(files_, path, kListFileLimit, OverLimit::kRefuse);
        const std::string_view view(bytes);
        return decode(view.substr(byteOrderMarkLength(view)), listEncodingOf(view));
      },
      readContext);
}

std::u16string ListFileReader::decode(std::string_view bytes, ListEncoding encoding) {
  switch (encoding) {
    case ListEncoding::kUtf16Le: return utf16leToText(bytes);
    case ListEncoding::kUtf8: return utf8ToUtf16(bytes);
    case ListEncoding::kAnsi: break;
  }
  return system_.ansiToWide(bytes);
}

}  // namespace tolvaran
