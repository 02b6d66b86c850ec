#include "platform/sim/sim_clock.h"

#include "support/file_time.h"

namespace tolvaran::platform::sim {
namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10'000;
constexpr std::uint64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;

// 2026-03-14 09:30:00, a Saturday: a fixed, unremarkable start.
constexpr SystemTime kStartTime{2026, 3, 6, 14, 9, 30, 0, 0};

}  // namespace

SimClock::SimClock() : now_(*systemTimeToFileTime(kStartTime)), monotonic_(3'600'000) {}

std::int64_t SimClock::offsetTicks() const noexcept {
  return static_cast<std::int64_t>(offsetMinutes_) * 60 *
         static_cast<std::int64_t>(kTicksPerSecond);
}

SystemTime SimClock::localTime() {
  return fileTimeToSystemTime(now_ + static_cast<std::uint64_t>(offsetTicks()))
      .value_or(SystemTime{});
}

Result<std::uint64_t> SimClock::fileTimeToLocalFileTime(std::uint64_t fileTime) {
  return {fileTime + static_cast<std::uint64_t>(offsetTicks()), kErrorSuccess};
}

void SimClock::sleep(std::uint32_t milliseconds) {
  ++sleeps_;
  slept_ += milliseconds;
  advance(milliseconds);
}

bool SimClock::setLocalTime(const SystemTime& time) {
  const auto fileTime = systemTimeToFileTime(time);
  if (!fileTime) return false;
  now_ = *fileTime - static_cast<std::uint64_t>(offsetTicks());
  return true;
}

void SimClock::advance(std::uint64_t milliseconds) {
  now_ += milliseconds * kTicksPerMillisecond;
  monotonic_ += milliseconds;
}

}  // namespace tolvaran::platform::sim
