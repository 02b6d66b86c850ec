#include "wine_shell/wine_tool.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/text.h"

namespace tolvaran::wine_tool {

bool readLines(const char* path, std::vector<std::u16string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string bytes = buffer.str();
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') lines.push_back(utf8ToUtf16(line));
    start = end + 1;
  }
  return true;
}

bool readText(const char* path, std::u16string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string bytes = buffer.str();
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  std::string crlf;
  crlf.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) crlf += '\r';
    crlf += bytes[i];
  }
  text = utf8ToUtf16(crlf);
  return true;
}

std::vector<std::u16string> splitTabs(std::u16string_view line) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find(u'\t', start);
    parts.emplace_back(
        line.substr(start, tab == std::u16string_view::npos ? line.npos : tab - start));
    if (tab == std::u16string_view::npos) break;
    start = tab + 1;
  }
  return parts;
}

bool Fields::has(std::u16string_view key) const {
  return std::any_of(items.begin(), items.end(),
                     [&](const auto& item) { return item.first == key; });
}

std::u16string Fields::get(std::u16string_view key) const {
  for (const auto& item : items)
    if (item.first == key) return item.second;
  return {};
}

Fields parseFields(const std::vector<std::u16string>& parts, std::size_t from) {
  Fields fields;
  for (std::size_t i = from; i < parts.size(); ++i) {
    const std::size_t equals = parts[i].find(u'=');
    if (equals == std::u16string::npos) continue;
    fields.items.emplace_back(parts[i].substr(0, equals), parts[i].substr(equals + 1));
  }
  return fields;
}

void printLine(std::u16string_view text) {
  const std::string bytes = utf16ToUtf8(text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void printError(std::u16string_view text) {
  const std::string bytes = utf16ToUtf8(text) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

std::u16string hex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
  return utf8ToUtf16(buffer);
}

namespace {
struct Letter {
  char16_t letter;
  std::uint32_t bit;
};
constexpr Letter kLetters[] = {{u'R', platform::attr::kReadOnly},
                               {u'H', platform::attr::kHidden},
                               {u'S', platform::attr::kSystem},
                               {u'A', platform::attr::kArchive},
                               {u'N', platform::attr::kNormal}};
}  // namespace

std::uint32_t attributesFromLetters(std::u16string_view letters) {
  std::uint32_t attributes = 0;
  for (const Letter& l : kLetters)
    if (letters.find(l.letter) != std::u16string_view::npos) attributes |= l.bit;
  return attributes == 0 ? platform::attr::kNormal : attributes;
}

std::u16string lettersFromAttributes(std::uint32_t attributes) {
  std::u16string letters;
  for (const Letter& l : kLetters)
    if (attributes & l.bit) letters += l.letter;
  return letters;
}

bool ensureFolder(platform::Files& files, std::u16string_view folder) {
  const auto isFolder = [&](std::u16string_view path) {
    const auto found = files.getFileAttributes(path);
    return found.ok() && found.value != platform::kInvalidFileAttributes &&
           (found.value & platform::attr::kDirectory) != 0;
  };
  if (folder.empty() || isFolder(folder)) return true;
  const std::size_t slash = folder.find_last_of(u'\\');
  if (slash != std::u16string_view::npos && slash > 2) {
    if (!ensureFolder(files, folder.substr(0, slash))) return false;
  }
  const auto made = files.createDirectory(folder);
  return made.ok() || isFolder(folder);
}

std::vector<std::u16string> findFiles(platform::Files& files, std::u16string_view folder,
                                      std::u16string_view extension) {
  std::vector<std::u16string> found;
  std::vector<std::u16string> pending{std::u16string(folder)};
  while (!pending.empty()) {
    const std::u16string current = pending.back();
    pending.pop_back();
    auto first = files.findFirstFile(current + u"\\*");
    if (!first.ok()) continue;
    platform::FindData data = first.value.data;
    while (true) {
      if (data.name != u"." && data.name != u"..") {
        const std::u16string path = current + u"\\" + data.name;
        if (data.attributes & platform::attr::kDirectory) {
          pending.push_back(path);
        } else if (endsWithNoCase(data.name, extension)) {
          found.push_back(path);
        }
      }
      auto next = files.findNextFile(first.value.handle);
      if (!next.ok()) break;
      data = next.value;
    }
    (void)files.findClose(first.value.handle);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace tolvaran::wine_tool
