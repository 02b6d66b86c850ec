#pragma once
// FILETIME <-> SYSTEMTIME, as FileTimeToSystemTime and SystemTimeToFileTime
// convert them: 100-nanosecond ticks since 1601-01-01 and calendar fields.
#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace tolvaran {

// Nothing for a value Windows refuses (2^63 and above).
std::optional<platform::SystemTime> fileTimeToSystemTime(std::uint64_t fileTime);
// Nothing for an impossible date or one outside 1601 to 30827; the day of
// the week is ignored.
std::optional<std::uint64_t> systemTimeToFileTime(const platform::SystemTime& time);

}  // namespace tolvaran
