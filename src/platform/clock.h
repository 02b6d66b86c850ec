#pragma once
// The clock port: local time, a monotonic counter and sleeping. Tests use a
// virtual clock where a sleep advances time at once.
#include <cstdint>

#include "support/file_time.h"
#include "support/result.h"

namespace tolvaran::platform {

// SystemTime, the Win32 SYSTEMTIME, is defined beside its conversions.
class Clock {
 public:
  virtual ~Clock() = default;
  // GetLocalTime.
  virtual SystemTime localTime() = 0;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual std::uint64_t monotonicMilliseconds() = 0;
  // Sleep.
  virtual void sleep(std::uint32_t milliseconds) = 0;
  // FileTimeToLocalFileTime: a FILETIME (UTC) moved by the time zone's
  // present bias, as the system does it (not the bias at that date).
  virtual Result<std::uint64_t> fileTimeToLocalFileTime(std::uint64_t fileTime) = 0;
};

}  // namespace tolvaran::platform
