#include "fileops/text_decoding.h"

#include "support/text.h"

namespace tolvaran {

namespace {

constexpr std::uint32_t kDosCyrillicCodePage = 866;

}  // namespace

DecodedText decodeTextBytes(platform::System& system, std::string_view bytes) {
  const DetectedEncoding detected = detectTextEncoding(bytes);
  const std::string_view body = bytes.substr(detected.markLength);
  DecodedText decoded{{}, detected.encoding};
  switch (detected.encoding) {
    case TextEncoding::kUtf16Le: decoded.text = utf16leToText(body); break;
    case TextEncoding::kUtf16Be: decoded.text = utf16beToText(body); break;
    case TextEncoding::kUtf8: decoded.text = utf8ToUtf16(body); break;
    case TextEncoding::kDosCyrillic:
      decoded.text = codePageToUtf16(body, kDosCyrillicCodePage);
      break;
    case TextEncoding::kAnsi: decoded.text = system.ansiToWide(body); break;
  }
  return decoded;
}

}  // namespace tolvaran
