// Single-byte code pages by table, decoding and encoding exactly as
// MultiByteToWideChar and WideCharToMultiByte (WC_NO_BEST_FIT_CHARS) do, so
// the simulated machine and Windows give the same text for the same bytes.
#include <algorithm>

#include "support/text.h"

namespace tolvaran {
namespace codepage {

struct UnitToByte {
  char16_t unit;
  unsigned char byte;
};

#include "codepage_tables.inc"

struct Table {
  std::uint32_t codePage;
  const char16_t* high;       // characters of bytes 0x80-0xFF
  const UnitToByte* reverse;  // the same 128 pairs sorted by unit
};

constexpr Table kTables[] = {
    {866, kHigh866, kReverse866},
    {1250, kHigh1250, kReverse1250},
    {1251, kHigh1251, kReverse1251},
    {1252, kHigh1252, kReverse1252},
};

const Table* findTable(std::uint32_t codePage) noexcept {
  for (const Table& table : kTables) {
    if (table.codePage == codePage) return &table;
  }
  return nullptr;
}

}  // namespace codepage

bool isSupportedCodePage(std::uint32_t codePage) noexcept {
  return codepage::findTable(codePage) != nullptr;
}

std::u16string codePageToUtf16(std::string_view bytes, std::uint32_t codePage) {
  const codepage::Table* table = codepage::findTable(codePage);
  std::u16string out;
  out.resize(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out[i] = byte;
    } else {
      out[i] = table != nullptr ? table->high[byte - 0x80] : char16_t{0xFFFD};
    }
  }
  return out;
}

std::string utf16ToCodePage(std::u16string_view text, std::uint32_t codePage) {
  const codepage::Table* table = codepage::findTable(codePage);
  std::string out;
  out.resize(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out[i] = static_cast<char>(unit);
      continue;
    }
    out[i] = '?';
    if (table == nullptr) continue;
    const codepage::UnitToByte* begin = table->reverse;
    const codepage::UnitToByte* end = begin + 128;
    const auto* found = std::lower_bound(
        begin, end, unit,
        [](const codepage::UnitToByte& entry, char16_t wanted) { return entry.unit < wanted; });
    if (found != end && found->unit == unit) out[i] = static_cast<char>(found->byte);
  }
  return out;
}

}  // namespace tolvaran
