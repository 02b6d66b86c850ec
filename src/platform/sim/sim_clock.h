#pragma once
// A virtual clock: local time and the monotonic counter move only when a test
// sets them or the program sleeps, and a sleep returns at once. The simulated
// machine's time zone is UTC, so local time and file times agree.
#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace tolvaran::platform::sim {

// FILETIME (100-nanosecond intervals since 1601-01-01) <-> SYSTEMTIME, as
// FileTimeToSystemTime and SystemTimeToFileTime do it; nothing for a date
// outside 1601..30827 or a field out of range.
std::optional<SystemTime> fileTimeToSystemTime(std::uint64_t fileTime);
std::optional<std::uint64_t> systemTimeToFileTime(const SystemTime& time);

class SimClock final : public Clock {
 public:
  SimClock();

  SystemTime localTime() override;
  std::uint64_t monotonicMilliseconds() override { return monotonic_; }
  void sleep(std::uint32_t milliseconds) override;

  // False (and no change) for an impossible date; the day of the week is
  // worked out from the date.
  bool setLocalTime(const SystemTime& time);
  void advance(std::uint64_t milliseconds);
  [[nodiscard]] std::uint64_t fileTimeNow() const noexcept { return now_; }
  [[nodiscard]] std::uint64_t totalSlept() const noexcept { return slept_; }
  [[nodiscard]] std::uint32_t sleepCount() const noexcept { return sleeps_; }

 private:
  std::uint64_t now_;
  std::uint64_t monotonic_;
  std::uint64_t slept_ = 0;
  std::uint32_t sleeps_ = 0;
};

}  // namespace tolvaran::platform::sim
