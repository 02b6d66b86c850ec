#pragma once
// A virtual clock: local time and the monotonic counter move only when a test
// sets them or the program sleeps, and a sleep returns at once. The clock
// keeps UTC, which file times use; local time is UTC moved by a settable
// offset, 0 unless a test sets one, so that by default local time and file
// times agree.
#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace tolvaran::platform::sim {

class SimClock final : public Clock {
 public:
  SimClock();

  SystemTime localTime() override;
  std::uint64_t monotonicMilliseconds() override { return monotonic_; }
  void sleep(std::uint32_t milliseconds) override;
  // Adds the offset modulo 2^64 and never fails: the system applies its
  // bias without a range check.
  Result<std::uint64_t> fileTimeToLocalFileTime(std::uint64_t fileTime) override;

  // False (and no change) for an impossible date; the day of the week is
  // worked out from the date. Sets the clock so that local time reads `time`.
  bool setLocalTime(const SystemTime& time);
  // Minutes east of UTC (local = UTC + offset; Moscow +180, New York -300).
  // The local time moves with it; UTC, and so every file time, stays.
  void setUtcOffsetMinutes(std::int32_t minutes) noexcept { offsetMinutes_ = minutes; }
  [[nodiscard]] std::int32_t utcOffsetMinutes() const noexcept { return offsetMinutes_; }
  void advance(std::uint64_t milliseconds);
  [[nodiscard]] std::uint64_t fileTimeNow() const noexcept { return now_; }
  [[nodiscard]] std::uint64_t totalSlept() const noexcept { return slept_; }
  [[nodiscard]] std::uint32_t sleepCount() const noexcept { return sleeps_; }

 private:
  [[nodiscard]] std::int64_t offsetTicks() const noexcept;

  std::uint64_t now_;  // UTC
  std::uint64_t monotonic_;
  std::int32_t offsetMinutes_ = 0;
  std::uint64_t slept_ = 0;
  std::uint32_t sleeps_ = 0;
};

}  // namespace tolvaran::platform::sim
