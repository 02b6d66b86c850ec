#include "platform/sim/ini_text.h"

#include <cstddef>
#include <vector>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

std::u16string_view trimBlanks(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Line {
  enum class Kind { kBlank, kSection, kKey } kind = Kind::kBlank;
  std::size_t begin = 0;      // first character of the line
  std::size_t end = 0;        // one past its last character, line break excluded
  std::size_t next = 0;       // first character of the following line
  std::u16string_view name;   // section or key name
  std::u16string_view value;  // key value, trimmed
  bool hasValue = false;      // false for a line without "="
};

std::vector<Line> splitLines(std::u16string_view text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t newline = text.find(u'\n', begin);
    const std::size_t next = newline == std::u16string_view::npos ? text.size() : newline + 1;
    std::size_t end = newline == std::u16string_view::npos ? text.size() : newline;
    if (end > begin && text[end - 1] == u'\r') --end;
    Line line{Line::Kind::kBlank, begin, end, next, {}, {}, false};
    const std::u16string_view content = trimBlanks(text.substr(begin, end - begin));
    if (!content.empty() && content.front() == u'[') {
      const std::size_t close = content.rfind(u']');
      line.kind = Line::Kind::kSection;
      line.name = trimBlanks(close == std::u16string_view::npos || close == 0
                                 ? content.substr(1)
                                 : content.substr(1, close - 1));
    } else if (!content.empty()) {
      line.kind = Line::Kind::kKey;
      const std::size_t equals = content.find(u'=');
      if (equals == std::u16string_view::npos) {
        line.name = content;
      } else {
        line.name = trimBlanks(content.substr(0, equals));
        line.value = trimBlanks(content.substr(equals + 1));
        line.hasValue = true;
      }
    }
    lines.push_back(line);
    begin = next;
  }
  return lines;
}

struct Found {
  std::size_t section = 0;     // index of the section line
  std::size_t sectionEnd = 0;  // index of the first line after the section
  std::optional<std::size_t> key;
};

std::optional<Found> find(const std::vector<Line>& lines, std::u16string_view section,
                          std::u16string_view key) {
  const std::u16string_view wantedSection = trimBlanks(section);
  const std::u16string_view wantedKey = trimBlanks(key);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::kSection || !equalsNoCase(lines[i].name, wantedSection)) {
      continue;
    }
    Found found{i, lines.size(), std::nullopt};
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      if (lines[j].kind == Line::Kind::kSection) {
        found.sectionEnd = j;
        break;
      }
      if (!found.key && lines[j].kind == Line::Kind::kKey &&
          equalsNoCase(lines[j].name, wantedKey)) {
        found.key = j;
      }
    }
    return found;
  }
  return std::nullopt;
}

std::u16string_view stripQuotes(std::u16string_view value) {
  if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<std::u16string> iniLookup(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key) {
  const auto lines = splitLines(text);
  const auto found = find(lines, section, key);
  if (!found || !found->key || !lines[*found->key].hasValue) return std::nullopt;
  return std::u16string(stripQuotes(lines[*found->key].value));
}

std::u16string iniSet(std::u16string_view text, std::u16string_view section,
                      std::u16string_view key, std::u16string_view value) {
  const auto lines = splitLines(text);
  const auto found = find(lines, section, key);
  std::u16string_view cleanValue = value;
  while (!cleanValue.empty() && isBlank(cleanValue.front())) cleanValue.remove_prefix(1);
  const std::u16string_view cleanKey = trimBlanks(key);

  std::u16string out;
  out.reserve(text.size() + key.size() + value.size() + section.size() + 8);
  if (!found) {
    out.append(text);
    if (!out.empty() && out.back() != u'\n') out += u"\r\n";
    out += u'[';
    out += trimBlanks(section);
    out += u"]\r\n";
    out += cleanKey;
    out += u'=';
    out += cleanValue;
    out += u"\r\n";
    return out;
  }

  if (found->key) {
    // The key keeps its spelling; only its line is rewritten.
    const Line& line = lines[*found->key];
    out.append(text.substr(0, line.begin));
    out += line.name;
    out += u'=';
    out += cleanValue;
    out.append(text.substr(line.end));
    return out;
  }

  // A new key goes after the section's last non-blank line.
  std::size_t after = found->section;
  for (std::size_t j = found->section + 1; j < found->sectionEnd; ++j) {
    if (lines[j].kind != Line::Kind::kBlank) after = j;
  }
  const Line& anchor = lines[after];
  out.append(text.substr(0, anchor.next));
  if (anchor.next == 0 || text[anchor.next - 1] != u'\n') out += u"\r\n";  // unterminated last line
  out += cleanKey;
  out += u'=';
  out += cleanValue;
  out += u"\r\n";
  out.append(text.substr(anchor.next));
  return out;
}

}  // namespace tolvaran::platform::sim
