#include "engine/arguments/browser_switches.h"

#include <utility>

#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {

namespace {

bool isBlank(char16_t unit) noexcept {
  return unit == u' ' || unit == u'\t';
}

// Decodes one argument starting at `position` and returns where it ends: at
// the first blank outside quotes when `stopAtBlank`, else at the end of the
// text (an item of the switch list is one argument, blanks and all).
std::size_t decodeArgument(std::u16string_view text, std::size_t position, bool stopAtBlank,
                           std::u16string& value) {
  bool quoted = false;
  while (position < text.size()) {
    const char16_t unit = text[position];
    if (unit == u'\\') {
      std::size_t runEnd = position;
      while (runEnd < text.size() && text[runEnd] == u'\\') ++runEnd;
      const std::size_t count = runEnd - position;
      if (runEnd < text.size() && text[runEnd] == u'"') {
        value.append(count / 2, u'\\');
        if (count % 2 == 1) {
          value.push_back(u'"');
        } else {
          quoted = !quoted;
        }
        position = runEnd + 1;
      } else {
        value.append(count, u'\\');
        position = runEnd;
      }
    } else if (unit == u'"') {
      quoted = !quoted;
      ++position;
    } else if (stopAtBlank && !quoted && isBlank(unit)) {
      break;
    } else {
      value.push_back(unit);
      ++position;
    }
  }
  return position;
}

std::u16string decodeItemText(std::u16string_view text) {
  std::u16string value;
  decodeArgument(text, 0, false, value);
  return value;
}

enum class ValueClass { kProfile, kAppId, kName, kUnknown };

ValueClass valueClassNamed(std::u16string_view name) noexcept {
  if (name == u"<profile>") return ValueClass::kProfile;
  if (name == u"<app-id>") return ValueClass::kAppId;
  if (name == u"<name>") return ValueClass::kName;
  return ValueClass::kUnknown;
}

bool isDecimalDigit(char16_t unit) noexcept {
  return unit >= u'0' && unit <= u'9';
}

// The folder names a Chromium browser gives its profiles.
bool isProfileFolder(std::u16string_view value) noexcept {
  if (equalsNoCase(value, u"Default") || equalsNoCase(value, u"Guest Profile") ||
      equalsNoCase(value, u"System Profile")) {
    return true;
  }
  constexpr std::u16string_view kNumbered = u"Profile ";
  if (!startsWithNoCase(value, kNumbered)) return false;
  const std::u16string_view number = value.substr(kNumbered.size());
  if (number.empty() || number.size() > 9) return false;
  for (const char16_t unit : number) {
    if (!isDecimalDigit(unit)) return false;
  }
  return true;
}

// Chromium writes an app id as 32 letters from "a" to "p" (a hash in hex
// with the digits moved to letters).
bool isAppId(std::u16string_view value) noexcept {
  if (value.size() != 32) return false;
  for (const char16_t unit : value) {
    if (unit < u'a' || unit > u'p') return false;
  }
  return true;
}

bool isLineBreak(char16_t unit) noexcept {
  return (unit >= u'\n' && unit <= u'\r') || unit == u'\u0085' || unit == u'\u2028' ||
         unit == u'\u2029';
}

// A profile or sandbox name: never a switch of its own, never an address.
bool isPlainName(std::u16string_view value) noexcept {
  constexpr std::size_t kMaxName = 260;
  if (value.empty() || value.size() > kMaxName) return false;
  if (value.front() == u'-' || value.front() == u'/') return false;
  for (const char16_t unit : value) {
    if (isLineBreak(unit)) return false;
  }
  return !containsWebAddress(value);
}

bool belongsTo(std::u16string_view value, ValueClass valueClass) noexcept {
  switch (valueClass) {
    case ValueClass::kProfile: return isProfileFolder(value);
    case ValueClass::kAppId: return isAppId(value);
    case ValueClass::kName: return isPlainName(value);
    case ValueClass::kUnknown: return false;
  }
  return false;
}

// One item of the legitimate-switch list, read once per judgement.
struct SwitchItem {
  enum class Form { kLiteral, kPrefix, kSwitchAndValue };
  Form form = Form::kLiteral;
  std::u16string text;  // the literal, the prefix or the switch, decoded
  ValueClass valueClass = ValueClass::kUnknown;
};

SwitchItem readItem(std::u16string_view item) {
  SwitchItem read;
  const std::size_t classStart = item.rfind(u'<');
  if (item.empty() || item.back() != u'>' || classStart == std::u16string_view::npos) {
    read.text = decodeItemText(item);
    return read;
  }
  read.valueClass = valueClassNamed(item.substr(classStart));
  std::u16string_view head = item.substr(0, classStart);
  if (!head.empty() && head.back() == u' ') {
    read.form = SwitchItem::Form::kSwitchAndValue;
    head.remove_suffix(1);
  } else {
    read.form = SwitchItem::Form::kPrefix;
  }
  read.text = decodeItemText(head);
  return read;
}

// How many arguments from `index` on the item allows: 0, 1 or 2.
std::size_t argumentsAllowed(const SwitchItem& item, const std::vector<CommandArgument>& arguments,
                             std::size_t index) noexcept {
  const std::u16string_view value = arguments[index].value;
  switch (item.form) {
    case SwitchItem::Form::kLiteral:
      // An empty item would otherwise keep every "" argument.
      return !item.text.empty() && equalsNoCase(value, item.text) ? 1 : 0;
    case SwitchItem::Form::kPrefix:
      return startsWithNoCase(value, item.text) &&
                     belongsTo(value.substr(item.text.size()), item.valueClass)
                 ? 1
                 : 0;
    case SwitchItem::Form::kSwitchAndValue: {
      if (item.text.empty() || index + 1 >= arguments.size() || !equalsNoCase(value, item.text)) {
        return 0;
      }
      const std::u16string_view next = arguments[index + 1].value;
      return !containsWebAddress(next) && belongsTo(next, item.valueClass) ? 2 : 0;
    }
  }
  return 0;
}

}  // namespace

std::vector<CommandArgument> splitCommandArguments(std::u16string_view text) {
  std::vector<CommandArgument> arguments;
  std::size_t position = 0;
  while (true) {
    while (position < text.size() && isBlank(text[position])) ++position;
    if (position == text.size()) break;
    CommandArgument argument{position, position, {}};
    argument.end = decodeArgument(text, position, true, argument.value);
    position = argument.end;
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

SwitchVerdict judgeBrowserSwitches(std::u16string_view arguments,
                                   const std::vector<std::u16string>& legitSwitches) {
  std::vector<SwitchItem> items;
  items.reserve(legitSwitches.size());
  for (const std::u16string& item : legitSwitches) items.push_back(readItem(item));

  const std::vector<CommandArgument> split = splitCommandArguments(arguments);
  SwitchVerdict verdict;
  auto keep = [&](const CommandArgument& argument) {
    if (!verdict.kept.empty()) verdict.kept.push_back(u' ');
    verdict.kept.append(arguments.substr(argument.begin, argument.end - argument.begin));
  };
  std::size_t index = 0;
  while (index < split.size()) {
    std::size_t allowed = 0;
    if (!containsWebAddress(split[index].value)) {
      for (const SwitchItem& item : items) {
        allowed = argumentsAllowed(item, split, index);
        if (allowed != 0) break;
      }
    }
    if (allowed == 0) {
      verdict.dropped = true;
      ++index;
      continue;
    }
    for (std::size_t k = 0; k < allowed; ++k) keep(split[index + k]);
    index += allowed;
  }
  return verdict;
}

bool containsHijackSwitch(std::u16string_view text) noexcept {
  static constexpr std::u16string_view kHijackSwitches[] = {
      u"--load-extension",
      u"--disable-extensions-except",
      u"DisableLoadExtensionCommandLineSwitch",
      u"--remote-debugging-",
      u"--user-data-dir",
      u"--proxy-server",
      u"--proxy-pac-url",
      u"--no-sandbox",
      u"--gpu-launcher",
      u"--disable-gpu-sandbox"};
  for (const std::u16string_view hijack : kHijackSwitches) {
    if (findNoCase(text, hijack) != std::u16string_view::npos) return true;
  }
  return false;
}

}  // namespace tolvaran
