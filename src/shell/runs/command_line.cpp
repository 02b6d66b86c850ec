#include "shell/runs/command_line.h"

#include <array>
#include <utility>

#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kSpace = u' ';

std::u16string withoutQuotes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (c != kQuote) out += c;
  }
  return out;
}

// The end of the space-separated piece that starts at `start`.
std::size_t pieceEnd(std::u16string_view text, std::size_t start) {
  const std::size_t space = text.find(kSpace, start);
  return space == std::u16string_view::npos ? text.size() : space;
}

// The start of the next non-empty piece at or after `from`, or the text's end.
std::size_t nextPiece(std::u16string_view text, std::size_t from) {
  while (from < text.size() && text[from] == kSpace) ++from;
  return from;
}

}  // namespace

std::u16string GetCommandLineArgs(const ProcessCommandLine& commandLine) {
  if (!commandLine.unicode) return std::u16string(trimSpaces(commandLine.startupArguments));
  const std::u16string_view line = *commandLine.unicode;
  std::size_t pathEnd = std::u16string_view::npos;
  if (!line.empty() && line.front() == kQuote) pathEnd = line.find(kQuote, 1);
  if (pathEnd == std::u16string_view::npos) pathEnd = line.find(kSpace);
  if (pathEnd == std::u16string_view::npos) return {};
  return std::u16string(trimSpaces(sliceFrom(line, pathEnd + 1)));
}

std::vector<std::u16string> SplitArgs(std::u16string_view text) {
  std::vector<std::u16string> arguments;
  for (std::size_t start = nextPiece(text, 0); start < text.size();) {
    std::size_t end = pieceEnd(text, start);
    if (text[start] == kQuote) {
      // A quoted argument takes whole pieces until one ends with the
      // closing quote; the text between them is kept, spaces and all.
      for (std::size_t next = nextPiece(text, end); text[end - 1] != kQuote && next < text.size();
           next = nextPiece(text, end)) {
        end = pieceEnd(text, next);
      }
    }
    arguments.push_back(withoutQuotes(text.substr(start, end - start)));
    start = nextPiece(text, end);
  }
  return arguments;
}

std::optional<std::uint32_t> languageSwitch(std::u16string_view argument) {
  static constexpr std::array<std::pair<std::u16string_view, std::uint32_t>, 4> kSwitches{
      {{u"-RU", 1049}, {u"-EN", 1033}, {u"-FR", 2060}, {u"-DE", 2055}}};
  const std::u16string bare = UnQuote(argument);
  for (const auto& [name, code] : kSwitches) {
    if (equalsNoCase(bare, name)) return code;
  }
  return std::nullopt;
}

}  // namespace tolvaran
