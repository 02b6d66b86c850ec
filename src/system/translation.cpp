#include "system/translation.h"

#include <initializer_list>
#include <optional>
#include <utility>

#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {

namespace {

constexpr char16_t kByteOrderMark = u'\uFEFF';

bool isOneOf(std::uint32_t code, std::initializer_list<std::uint32_t> codes) noexcept {
  for (const std::uint32_t candidate : codes) {
    if (candidate == code) return true;
  }
  return false;
}

// Russian, Ukrainian, Belarusian: their speakers get the Russian table.
bool readsRussian(std::uint32_t code) noexcept {
  return isOneOf(code, {1049, 1058, 1059});
}
// German of Germany, Switzerland, Austria, Luxembourg, Liechtenstein.
bool readsGerman(std::uint32_t code) noexcept {
  return isOneOf(code, {1031, 2055, 3079, 4103, 5127});
}
// French of France, Belgium, Canada, Switzerland, Luxembourg, Monaco.
bool readsFrench(std::uint32_t code) noexcept {
  return isOneOf(code, {1036, 2060, 3084, 4108, 5132, 6156});
}

bool isDigit(char16_t c) noexcept {
  return c >= u'0' && c <= u'9';
}

// An entry line starts with exactly three decimal digits. Anything looser
// (" 7=", "-01", "7=x") is not an entry, so a stray line can never end the
// program by accident.
std::optional<int> entryNumber(std::u16string_view line) noexcept {
  if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) {
    return std::nullopt;
  }
  return (line[0] - u'0') * 100 + (line[1] - u'0') * 10 + (line[2] - u'0');
}

// The text from the fifth character on (the fourth is a separator nobody
// reads), each backslash-n pair becoming CR LF. Trailing spaces stay: the
// statistics labels are padded with them.
std::u16string entryText(std::u16string_view line) {
  const std::u16string_view raw = line.size() > 4 ? line.substr(4) : std::u16string_view{};
  std::u16string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == u'\\' && i + 1 < raw.size() && raw[i + 1] == u'n') {
      text += u"\r\n";
      ++i;
    } else {
      text += raw[i];
    }
  }
  return text;
}

}  // namespace

bool IsCyrillicCode(std::uint32_t languageCode) noexcept {
  return isOneOf(languageCode, {1049, 1058, 1059, 1026});
}

int languageTableFor(std::uint32_t code, std::uint32_t displayLanguage,
                     std::uint32_t nonUnicodeLanguage) noexcept {
  if (code != 0) {
    if (readsRussian(code)) return resource::kLanguageRussian;
    if (readsGerman(code)) return resource::kLanguageGerman;
    if (readsFrench(code)) return resource::kLanguageFrench;
    return resource::kLanguageEnglish;
  }
  // Russian texts in a program whose code page cannot show Cyrillic would
  // come out as question marks wherever ANSI text is involved.
  if (readsRussian(displayLanguage)) {
    return IsCyrillicCode(nonUnicodeLanguage) ? resource::kLanguageRussian
                                              : resource::kLanguageEnglish;
  }
  if (readsGerman(displayLanguage)) return resource::kLanguageGerman;
  if (readsFrench(displayLanguage)) return resource::kLanguageFrench;
  return resource::kLanguageEnglish;
}

const std::u16string& Translation::entry(int number) const noexcept {
  if (number < 0 || number > kLastEntry) return none_;
  return lang_[static_cast<std::size_t>(number)];
}

int Translation::LoadLanguage(std::uint32_t code, std::uint32_t displayLanguage,
                              std::uint32_t nonUnicodeLanguage, platform::Ui& ui,
                              std::u16string_view caption) {
  const int table = languageTableFor(code, displayLanguage, nonUnicodeLanguage);
  LoadLangTable(table, ui, caption);
  return table;
}

void Translation::LoadLangTable(int resourceId, platform::Ui& ui, std::u16string_view caption) {
  // Every table stands on the English one: an entry a translation lacks
  // (French has no plural words for the daily count) reads in English, never
  // empty and never in the language loaded before.
  if (resourceId != resource::kLanguageEnglish) {
    loadTableBytes(embeddedResource(resource::kLanguageEnglish), ui, caption);
  }
  loadTableBytes(embeddedResource(resourceId), ui, caption);
}

void Translation::loadTableBytes(std::span<const std::byte> bytes, platform::Ui& ui,
                                 std::u16string_view caption) {
  const std::u16string text = utf16leToText(bytes);
  std::u16string_view rest = text;
  // The mark says how the bytes are encoded; it is never part of a line.
  if (!rest.empty() && rest.front() == kByteOrderMark) rest.remove_prefix(1);

  // Work on a copy so that running out of memory half-way leaves the table
  // as it was.
  auto updated = lang_;
  for (;;) {
    const std::size_t end = rest.find(u"\r\n");
    const std::u16string_view line = rest.substr(0, end);
    if (const std::optional<int> number = entryNumber(line)) {
      if (*number > kLastEntry) {
        lang_ = std::move(updated);
        ui.messageBox(kIndexOutOfRangeText, caption, platform::mb::kOk);
        ui.endProgram(0);
      }
      updated[static_cast<std::size_t>(*number)] = entryText(line);
    }
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  lang_ = std::move(updated);
}

}  // namespace tolvaran
