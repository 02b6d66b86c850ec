#pragma once
// What the small Wine-side test tools share: their input is a UTF-8 file of
// tab-separated lines (the command line of a Windows process cannot carry
// every Unicode path the tests need), their output UTF-8 lines on stdout, so
// the Linux side reads both without code-page guessing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace tolvaran::wine_tool {

// The lines of a UTF-8 file (byte-order mark and CR removed); empty lines and
// lines starting with '#' are skipped. False when the file cannot be read.
bool readLines(const char* path, std::vector<std::u16string>& lines);

// The whole UTF-8 file as text, byte-order mark removed and every line
// ending made CR LF, as Windows text expects it.
bool readText(const char* path, std::u16string& text);

std::vector<std::u16string> splitTabs(std::u16string_view line);

// "key=value" fields after the first ones: the value of `key`, or nothing.
struct Fields {
  std::vector<std::pair<std::u16string, std::u16string>> items;
  [[nodiscard]] bool has(std::u16string_view key) const;
  [[nodiscard]] std::u16string get(std::u16string_view key) const;
};
Fields parseFields(const std::vector<std::u16string>& parts, std::size_t from);

void printLine(std::u16string_view text);
void printError(std::u16string_view text);
std::u16string hex(std::uint32_t value);

// Attribute letters R H S A N, in that order, as attrib.exe shows them.
std::uint32_t attributesFromLetters(std::u16string_view letters);
std::u16string lettersFromAttributes(std::uint32_t attributes);

// Creates the folder and every missing parent; true when it exists after.
bool ensureFolder(platform::Files& files, std::u16string_view folder);

// Every file under `folder` (recursively) whose name ends with `extension`,
// sorted, so that runs print in a stable order.
std::vector<std::u16string> findFiles(platform::Files& files, std::u16string_view folder,
                                      std::u16string_view extension);

}  // namespace tolvaran::wine_tool
