#include "platform/sim/sim_clock.h"

#include "support/civil_date.h"

namespace tolvaran::platform::sim {
namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10'000;
constexpr std::uint64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr std::uint64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
constexpr std::int64_t kLastYear = 30827;

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

// 2026-03-14 09:30:00, a Saturday: a fixed, unremarkable start.
constexpr SystemTime kStartTime{2026, 3, 6, 14, 9, 30, 0, 0};

}  // namespace

std::optional<SystemTime> fileTimeToSystemTime(std::uint64_t fileTime) {
  const auto days = static_cast<std::int64_t>(fileTime / kTicksPerDay);
  const std::uint64_t rest = fileTime % kTicksPerDay;
  const CivilDate date = civilFromDays(days - kDaysFrom1601To1970);
  if (date.year > kLastYear) return std::nullopt;
  SystemTime time;
  time.year = static_cast<std::uint16_t>(date.year);
  time.month = static_cast<std::uint16_t>(date.month);
  time.day = static_cast<std::uint16_t>(date.day);
  time.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
  time.hour = static_cast<std::uint16_t>(rest / (3600 * kTicksPerSecond));
  time.minute = static_cast<std::uint16_t>(rest / (60 * kTicksPerSecond) % 60);
  time.second = static_cast<std::uint16_t>(rest / kTicksPerSecond % 60);
  time.milliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond % 1000);
  return time;
}

std::optional<std::uint64_t> systemTimeToFileTime(const SystemTime& t) {
  if (t.year < 1601 || t.year > kLastYear || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > daysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59 ||
      t.milliseconds > 999) {
    return std::nullopt;
  }
  const std::int64_t days = daysFromCivil(t.year, t.month, t.day) + kDaysFrom1601To1970;
  return static_cast<std::uint64_t>(days) * kTicksPerDay +
         ((t.hour * 60ull + t.minute) * 60ull + t.second) * kTicksPerSecond +
         t.milliseconds * kTicksPerMillisecond;
}

SimClock::SimClock() : now_(*systemTimeToFileTime(kStartTime)), monotonic_(3'600'000) {}

SystemTime SimClock::localTime() { return fileTimeToSystemTime(now_).value_or(SystemTime{}); }

void SimClock::sleep(std::uint32_t milliseconds) {
  ++sleeps_;
  slept_ += milliseconds;
  advance(milliseconds);
}

bool SimClock::setLocalTime(const SystemTime& time) {
  const auto fileTime = systemTimeToFileTime(time);
  if (!fileTime) return false;
  now_ = *fileTime;
  return true;
}

void SimClock::advance(std::uint64_t milliseconds) {
  now_ += milliseconds * kTicksPerMillisecond;
  monotonic_ += milliseconds;
}

}  // namespace tolvaran::platform::sim
