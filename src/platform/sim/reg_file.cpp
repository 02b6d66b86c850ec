#include "platform/sim/reg_file.h"

#include <algorithm>
#include <utility>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

using View = std::u16string_view;

struct RootName {
  View name;
  RegKeyHandle root;
};
constexpr RootName kRootNames[] = {
    {u"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
    {u"HKCR", kHkeyClassesRoot},
    {u"HKEY_CURRENT_USER", kHkeyCurrentUser},
    {u"HKCU", kHkeyCurrentUser},
    {u"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {u"HKLM", kHkeyLocalMachine},
    {u"HKEY_USERS", kHkeyUsers},
    {u"HKU", kHkeyUsers},
    {u"HKEY_PERFORMANCE_DATA", kHkeyPerformanceData},
    {u"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
    {u"HKCC", kHkeyCurrentConfig},
    {u"HKEY_DYN_DATA", kHkeyDynData},
};

bool isBlank(char16_t c) noexcept {
  return c == u' ' || c == u'\t';
}

View trimLeft(View text) noexcept {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}
View trimRight(View text) noexcept {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Nothing but blanks or a comment left on the line.
bool restIsEmpty(View rest) noexcept {
  rest = trimLeft(rest);
  return rest.empty() || rest.front() == u';';
}

int hexDigit(char16_t c) noexcept {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// 1 to 8 hex digits at the start of `text`; `text` is left after them.
std::optional<std::uint32_t> readHexNumber(View& text) noexcept {
  std::size_t count = 0;
  std::uint32_t value = 0;
  while (count < text.size() && hexDigit(text[count]) >= 0) {
    if (count == 8) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(hexDigit(text[count]));
    ++count;
  }
  if (count == 0) return std::nullopt;
  text.remove_prefix(count);
  return value;
}

// A quoted text at the start of `text` (which begins with the quote): its
// content with \\ and \" undone; `text` is left after the closing quote.
std::optional<std::u16string> readQuoted(View& text) {
  std::u16string out;
  std::size_t i = 1;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (c == u'"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
      out.push_back(text[i + 1]);
      i += 2;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return std::nullopt;
}

std::string utf16leWithNul(std::u16string_view text) {
  std::string bytes = textToUtf16le(text);
  bytes.append(2, '\0');
  return bytes;
}

// One line's share of a hex byte list ("01,02,\"): the bytes go to `out`.
struct HexSegment {
  bool ok = true;
  bool continues = false;
};
HexSegment readHexSegment(View segment, std::string& out) {
  HexSegment result;
  if (const auto comment = segment.find(u';'); comment != View::npos) {
    segment = segment.substr(0, comment);
  }
  segment = trimRight(segment);
  if (!segment.empty() && segment.back() == u'\\') {
    result.continues = true;
    segment.remove_suffix(1);
  }
  std::size_t position = 0;
  while (true) {
    const std::size_t comma = segment.find(u',', position);
    const View token = trimRight(
        trimLeft(segment.substr(position, comma == View::npos ? View::npos : comma - position)));
    if (token.empty()) {
      // Only the last token may be empty: a trailing comma or no data at all.
      if (comma != View::npos) result.ok = false;
      return result;
    }
    if (token.size() > 2 || hexDigit(token[0]) < 0 ||
        (token.size() == 2 && hexDigit(token[1]) < 0)) {
      result.ok = false;
      return result;
    }
    int value = hexDigit(token[0]);
    if (token.size() == 2) value = value * 16 + hexDigit(token[1]);
    out.push_back(static_cast<char>(value));
    if (comma == View::npos) return result;
    position = comma + 1;
  }
}

// The file's text, however it was saved.
std::u16string decodeText(std::string_view bytes, std::uint32_t ansiCodePage) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return utf16leToText(bytes.substr(2));
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return utf8ToUtf16(bytes.substr(3));
  std::u16string text = utf8ToUtf16(bytes);
  // Valid UTF-8 survives the round trip unchanged; anything else is ANSI.
  if (utf16ToUtf8(text) == bytes) return text;
  return codePageToUtf16(bytes, ansiCodePage);
}

std::vector<View> splitLines(View text) {
  std::vector<View> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

class Parser {
 public:
  Parser(std::vector<View> lines, std::uint32_t ansiCodePage)
      : lines_(std::move(lines)), ansiCodePage_(ansiCodePage) {}

  RegFile run() {
    bool headerSeen = false;
    for (index_ = 0; index_ < lines_.size(); ++index_) {
      const View line = trimLeft(lines_[index_]);
      if (line.empty()) continue;
      if (!headerSeen) {
        headerSeen = true;
        const View header = trimRight(line);
        if (header == u"Windows Registry Editor Version 5.00") continue;
        if (header == u"REGEDIT4") {
          ansiFormat_ = true;
          continue;
        }
        bad(index_);  // no header: say so, and read on as version 5.00
      }
      if (line.front() == u';') continue;
      if (line.front() == u'[') {
        keyLine(line);
      } else if (line.front() == u'"' || line.front() == u'@') {
        valueLine(line);
      } else {
        bad(index_);
      }
    }
    std::sort(result_.badLines.begin(), result_.badLines.end());
    result_.badLines.erase(std::unique(result_.badLines.begin(), result_.badLines.end()),
                           result_.badLines.end());
    return std::move(result_);
  }

 private:
  void bad(std::size_t index) { result_.badLines.push_back(index + 1); }

  void keyLine(View line) {
    currentKey_.reset();
    const std::size_t close = line.rfind(u']');
    if (close == View::npos || !restIsEmpty(line.substr(close + 1))) return bad(index_);
    View path = line.substr(1, close - 1);
    const bool deletion = !path.empty() && path.front() == u'-';
    if (deletion) path.remove_prefix(1);
    if (!regRootFromName(path.substr(0, path.find(u'\\')))) return bad(index_);
    RegFileEdit edit;
    edit.kind = deletion ? RegFileEdit::Kind::deleteKey : RegFileEdit::Kind::createKey;
    edit.keyPath = std::u16string(path);
    edit.line = index_ + 1;
    result_.edits.push_back(std::move(edit));
    if (!deletion) currentKey_ = std::u16string(path);
  }

  void valueLine(View rest) {
    const std::size_t first = index_;
    RegFileEdit edit;
    edit.line = first + 1;
    bool ok = true;
    if (rest.front() == u'@') {
      rest.remove_prefix(1);
    } else if (auto name = readQuoted(rest)) {
      edit.valueName = std::move(*name);
    } else {
      ok = false;
    }
    if (ok) {
      rest = trimLeft(rest);
      ok = !rest.empty() && rest.front() == u'=';
      if (ok) rest = trimLeft(rest.substr(1));
    }
    if (ok) ok = readData(rest, edit);  // consumes continuation lines even when bad
    if (!ok || !currentKey_) return bad(first);
    edit.keyPath = *currentKey_;
    result_.edits.push_back(std::move(edit));
  }

  bool readData(View rest, RegFileEdit& edit) {
    if (!rest.empty() && rest.front() == u'-') {
      edit.kind = RegFileEdit::Kind::deleteValue;
      return restIsEmpty(rest.substr(1));
    }
    edit.kind = RegFileEdit::Kind::setValue;
    if (!rest.empty() && rest.front() == u'"') {
      auto text = readQuoted(rest);
      if (!text || !restIsEmpty(rest)) return false;
      edit.type = kRegSz;
      edit.data = utf16leWithNul(*text);
      return true;
    }
    if (startsWithNoCase(rest, u"dword:")) {
      rest.remove_prefix(6);
      const auto number = readHexNumber(rest);
      if (!number || !restIsEmpty(rest)) return false;
      edit.type = kRegDword;
      for (int shift = 0; shift < 32; shift += 8) {
        edit.data.push_back(static_cast<char>((*number >> shift) & 0xFF));
      }
      return true;
    }
    if (startsWithNoCase(rest, u"hex")) return readHexData(rest.substr(3), edit);
    return false;
  }

  bool readHexData(View rest, RegFileEdit& edit) {
    bool ok = true;
    edit.type = kRegBinary;
    if (!rest.empty() && rest.front() == u'(') {
      rest.remove_prefix(1);
      const auto type = readHexNumber(rest);
      ok = type && !rest.empty() && rest.front() == u')';
      if (ok) {
        edit.type = *type;
        rest.remove_prefix(1);
      }
    }
    ok = ok && !rest.empty() && rest.front() == u':';
    if (!ok) return false;
    HexSegment segment = readHexSegment(rest.substr(1), edit.data);
    ok = segment.ok;
    while (segment.continues && index_ + 1 < lines_.size()) {
      ++index_;
      segment = readHexSegment(trimLeft(lines_[index_]), edit.data);
      ok = ok && segment.ok;
    }
    if (ok && ansiFormat_ && (edit.type == kRegExpandSz || edit.type == kRegMultiSz)) {
      // Version 4 files hold these as ANSI text; the registry holds UTF-16.
      edit.data = textToUtf16le(codePageToUtf16(edit.data, ansiCodePage_));
    }
    return ok;
  }

  std::vector<View> lines_;
  std::uint32_t ansiCodePage_;
  std::size_t index_ = 0;
  bool ansiFormat_ = false;
  std::optional<std::u16string> currentKey_;
  RegFile result_;
};

}  // namespace

std::optional<RegKeyHandle> regRootFromName(std::u16string_view name) noexcept {
  for (const RootName& entry : kRootNames) {
    if (equalsNoCase(name, entry.name)) return entry.root;
  }
  return std::nullopt;
}

RegFile parseRegFile(std::string_view bytes, std::uint32_t ansiCodePage) {
  const std::u16string text = decodeText(bytes, ansiCodePage);
  return Parser(splitLines(text), ansiCodePage).run();
}

}  // namespace tolvaran::platform::sim
