#pragma once
// The clock port: local time, a monotonic counter and sleeping. Tests use a
// virtual clock where a sleep advances time at once.
#include <cstdint>

namespace tolvaran::platform {

// Win32 SYSTEMTIME, field for field.
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

class Clock {
 public:
  virtual ~Clock() = default;
  // GetLocalTime.
  virtual SystemTime localTime() = 0;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual std::uint64_t monotonicMilliseconds() = 0;
  // Sleep.
  virtual void sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace tolvaran::platform
