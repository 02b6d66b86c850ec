#pragma once
// The numbered messages behind every text the user sees, and the choice of
// the built-in table (Russian, English, French, German) that fills them.
// Every layer above the ports reads messages, so the table sits right above
// them: a broken table is shown and ends the program through the Ui port.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ui.h"
#include "system/message_ids.h"

namespace tolvaran {

// Shown, with an OK button, when a table holds an entry number above the
// last one; the program then ends.
inline constexpr std::u16string_view kIndexOutOfRangeText =
    u"Translation file indexes are out of the maximum allowed!";

// Russian, Ukrainian, Belarusian and Bulgarian: the languages whose ANSI code
// page shows Cyrillic.
[[nodiscard]] bool IsCyrillicCode(std::uint32_t languageCode) noexcept;

// The resource id (102-105) of the table `LoadLanguage` loads. `code` is a
// forced language (file name or switch), 0 for the automatic choice, which
// follows the user's interface language; Russian is chosen automatically
// only when the non-Unicode locale can show it.
[[nodiscard]] int languageTableFor(std::uint32_t code, std::uint32_t displayLanguage,
                                   std::uint32_t nonUnicodeLanguage) noexcept;

class Translation {
 public:
  static constexpr int kLastEntry = 200;
  static constexpr std::size_t kEntryCount = kLastEntry + 1;

  // The text of message `id`; empty for an entry no table defined.
  [[nodiscard]] const std::u16string& msg(Msg id) const noexcept {
    return entry(static_cast<int>(id));
  }
  [[nodiscard]] const std::u16string& operator[](Msg id) const noexcept { return msg(id); }
  // The same by the number a table file gives the entry, for code that walks
  // the whole table; empty for a number outside 0-200.
  [[nodiscard]] const std::u16string& entry(int number) const noexcept;

  // Chooses a table as `languageTableFor` does and loads it; returns its id.
  int LoadLanguage(std::uint32_t code, std::uint32_t displayLanguage,
                   std::uint32_t nonUnicodeLanguage, platform::Ui& ui, std::u16string_view caption);

  // Parses the built-in table `resourceId` over the English one, so that an
  // entry it lacks reads in English. An unknown id leaves the English table.
  void LoadLangTable(int resourceId, platform::Ui& ui, std::u16string_view caption);

  // Parses table bytes (UTF-16LE, lines split at CR LF). Entries the bytes
  // hold overwrite earlier ones; the rest keep their text. An entry number
  // above 200 shows kIndexOutOfRangeText in a box captioned `caption` and
  // ends the program through `ui` (the entries before it are kept).
  void loadTableBytes(std::span<const std::byte> bytes, platform::Ui& ui,
                      std::u16string_view caption);

 private:
  // `Lang`: indices 0-200.
  std::array<std::u16string, kEntryCount> lang_;
  std::u16string none_;
};

}  // namespace tolvaran
