#include "intake/device_name.h"

#include <array>

#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::array<std::u16string_view, 6> kDevices = {u"CON", u"PRN",    u"AUX",
                                                         u"NUL", u"CONIN$", u"CONOUT$"};

bool isPortDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3';
}

}  // namespace

bool namesDosDevice(std::u16string_view path) noexcept {
  if (path.starts_with(u"\\\\?\\")) return false;
  const std::size_t separator = path.find_last_of(u"\\/");
  std::u16string_view name = path;
  if (separator != std::u16string_view::npos) {
    name.remove_prefix(separator + 1);
  } else if (name.size() >= 2 && name[1] == u':') {
    name.remove_prefix(2);  // "C:NUL" is the device too
  }
  // "nul.txt", "NUL .lnk" and "nul:" all name it.
  name = trimRightSpaces(name.substr(0, name.find_first_of(u".:")));
  for (const std::u16string_view device : kDevices) {
    if (equalsNoCase(name, device)) return true;
  }
  return name.size() == 4 &&
         (equalsNoCase(name.substr(0, 3), u"COM") || equalsNoCase(name.substr(0, 3), u"LPT")) &&
         isPortDigit(name[3]);
}

}  // namespace tolvaran
