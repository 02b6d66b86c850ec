// The simulated profile reader and editor over arbitrary file bytes: no crash,
// and a value written is the value read back.
#include "platform/sim/ini_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  const std::u16string text =
      utf16leToText(std::string_view(reinterpret_cast<const char*>(data), size));
  (void)platform::sim::iniLookup(text, u"Tolvaran", u"LastHash");
  const std::u16string edited = platform::sim::iniSet(text, u"Tolvaran", u"TodayTimes", u"7");
  const auto back = platform::sim::iniLookup(edited, u"Tolvaran", u"TodayTimes");
  if (!back || *back != u"7") __builtin_trap();
  return 0;
}
