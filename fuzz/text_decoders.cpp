// Feeds arbitrary bytes to every text decoder and checks the invariants the
// rest of the program relies on: decoders accept anything, sizes follow the
// input, round trips hold, folding is idempotent and the case-insensitive
// search agrees with searching the folded text. The file decoder never makes
// more units than there are bytes, and calls UTF-8 exactly what is
// well-formed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fileops/text_decoding.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"
#include "support/text_detection.h"

namespace {

using namespace tolvaran;

void check(bool condition) {
  if (!condition) std::abort();
}

bool isSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// A cut between the halves of a pair changes how the halves fold.
bool splitsPair(std::u16string_view text, std::size_t position) {
  return position > 0 && position < text.size() && text[position - 1] >= 0xD800 &&
         text[position - 1] <= 0xDBFF && text[position] >= 0xDC00 && text[position] <= 0xDFFF;
}

// What utf16ToUtf8 must keep: the text with lone surrogates replaced.
std::u16string withLoneSurrogatesReplaced(std::u16string_view text) {
  std::u16string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
    if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;
    } else if (isSurrogate(out[i])) {
      out[i] = 0xFFFD;
    }
  }
  return out;
}

void checkUtf8(std::string_view bytes) {
  const std::u16string text = utf8ToUtf16(bytes);
  check(text.size() <= bytes.size());
  check(withLoneSurrogatesReplaced(text) == text);  // decoding never makes lone halves
  const std::string again = utf16ToUtf8(text);
  check(utf8ToUtf16(again) == text);
  if (text.find(u'\uFFFD') == std::u16string::npos) check(again == bytes);
}

void checkUtf16(std::string_view bytes, const std::u16string& text) {
  check(text.size() == bytes.size() / 2);
  check(textToUtf16le(text) == bytes.substr(0, bytes.size() & ~std::size_t{1}));
  check(utf8ToUtf16(utf16ToUtf8(text)) == withLoneSurrogatesReplaced(text));
}

void checkCodePages(std::string_view bytes, const std::u16string& text) {
  for (const std::uint32_t page : {866u, 1250u, 1251u, 1252u, 437u}) {
    const std::u16string decoded = codePageToUtf16(bytes, page);
    check(decoded.size() == bytes.size());
    if (isSupportedCodePage(page)) check(utf16ToCodePage(decoded, page) == bytes);
    check(utf16ToCodePage(text, page).size() == text.size());
  }
}

void checkCase(const std::u16string& text) {
  const std::u16string folded = foldCase(text);
  check(folded.size() == text.size());
  check(foldCase(folded) == folded);
  check(equalsNoCase(text, folded));
  if (text.empty()) return;
  // A needle cut from the text itself, so that it is found; its length is
  // bounded because the reference search below is quadratic.
  const std::size_t start = text[0] % text.size();
  const std::u16string_view needle = slice(text, start, 1 + text.back() % 64);
  const std::size_t from = text.size() > 1 ? text[1] % text.size() : 0;
  const std::size_t found = findNoCase(text, needle, from);
  check(found == folded.find(foldCase(needle), from));
  if (splitsPair(text, start) || splitsPair(text, start + needle.size())) return;
  if (from <= start) check(found <= start);
  check(startsWithNoCase(sliceFrom(text, start), needle));
  check(endsWithNoCase(left(text, start + needle.size()), needle));
}

void checkSlices(const std::u16string& text) {
  const std::u16string_view trimmed = trimSpaces(text);
  check(trimmed.empty() || (trimmed.front() != u' ' && trimmed.back() != u' '));
  const std::size_t position = text.empty() ? 0 : text[0];
  check(slice(text, position, position).size() <= text.size());
  check(right(text, position).size() == (position < text.size() ? position : text.size()));
  check(replaceAll(text, u" ", u"").find(u' ') == std::u16string::npos);
}

void checkFileDecoder(std::string_view bytes) {
  // Building a machine costs far more than the decoding: one serves every
  // input, its code page chosen by the last byte.
  static platform::sim::SimMachine machine;
  constexpr std::uint32_t kCodePages[] = {1251, 1252, 866, 1250};
  const std::uint32_t codePage = bytes.empty() ? 1252 : kCodePages[bytes.back() & 3];
  check(machine.system().setAnsiCodePage(codePage));

  const bool wellFormed = isWellFormedUtf8(bytes);
  check(wellFormed == (utf16ToUtf8(utf8ToUtf16(bytes)) == bytes));
  const DecodedText decoded = decodeTextBytes(machine.system(), bytes);
  check(decoded.text.size() <= bytes.size());
  check(decoded.encoding == detectTextEncoding(bytes).encoding);
  if (decoded.encoding == TextEncoding::kUtf8 && !bytes.starts_with("\xEF\xBB\xBF")) {
    check(wellFormed && utf16ToUtf8(decoded.text) == bytes);
  }
  if (decoded.encoding == TextEncoding::kUtf16Be) {
    check(decoded.text.size() == (bytes.size() - 2) / 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkUtf8(bytes);
  const std::u16string text = utf16leToText(bytes);
  checkUtf16(bytes, text);
  checkCodePages(bytes, text);
  checkCase(text);
  checkCase(utf8ToUtf16(bytes));
  checkSlices(text);
  checkFileDecoder(bytes);
  return 0;
}
