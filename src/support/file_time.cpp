#include "support/file_time.h"

#include "support/civil_date.h"

namespace tolvaran {
namespace {

using platform::SystemTime;

constexpr std::uint64_t kTicksPerMillisecond = 10'000;
constexpr std::uint64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr std::uint64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
constexpr std::int64_t kLastYear = 30827;

unsigned daysInMonth(std::int64_t year, unsigned month) {
  return static_cast<unsigned>(
      daysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
      daysFromCivil(year, month, 1));
}

}  // namespace

std::optional<SystemTime> fileTimeToSystemTime(std::uint64_t fileTime) {
  if (fileTime >= (1ull << 63)) return std::nullopt;
  const auto days = static_cast<std::int64_t>(fileTime / kTicksPerDay);
  const std::uint64_t rest = fileTime % kTicksPerDay;
  const CivilDate date = civilFromDays(days - kDaysFrom1601To1970);
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

}  // namespace tolvaran
