#pragma once
// FILETIME <-> SYSTEMTIME, as FileTimeToSystemTime and SystemTimeToFileTime
// convert them: 100-nanosecond ticks since 1601-01-01 and calendar fields.
#include <cstdint>
#include <optional>

namespace tolvaran {

namespace platform {
// Win32 SYSTEMTIME, field for field: a plain value the clock port returns,
// kept here with its conversions so that they need no port.
struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};
}  // namespace platform

// Nothing for a value Windows refuses (2^63 and above).
std::optional<platform::SystemTime> fileTimeToSystemTime(std::uint64_t fileTime);
// Nothing for an impossible date or one outside 1601 to 30827; the day of
// the week is ignored.
std::optional<std::uint64_t> systemTimeToFileTime(const platform::SystemTime& time);

}  // namespace tolvaran
