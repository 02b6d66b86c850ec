#pragma once
// What a cure run counts and how it tags its result lines. The cure raises
// the counters; the report and the end-of-run message print them.
#include <array>
#include <cstdint>
#include <string_view>

namespace tolvaran {

struct RunStatistics {
  std::int32_t Total = 0;
  std::int32_t Cured = 0;
  std::int32_t Deleted = 0;
  std::int32_t Renamed = 0;
  std::int32_t Omitted = 0;
  std::int32_t Blocked = 0;
  std::int32_t Warnings = 0;
  std::int32_t Errors = 0;
  friend bool operator==(const RunStatistics&, const RunStatistics&) = default;
};

// One of the counters, named as `&RunStatistics::Deleted`.
using RunCounter = std::int32_t RunStatistics::*;

// The status tags every result line starts with, in the order the report
// groups them.
namespace status {
inline constexpr std::u16string_view kOk = u"[ OK ]";
inline constexpr std::u16string_view kAttributes = u"[ATTR]";
inline constexpr std::u16string_view kDeleted = u"[DEL ]";
inline constexpr std::u16string_view kSkipped = u"[SKIP]";
inline constexpr std::u16string_view kWarning = u"[WARN]";
inline constexpr std::u16string_view kError = u"[ERR ]";
}  // namespace status

using StatusPrefixList = std::array<std::u16string_view, 6>;
inline constexpr StatusPrefixList StatusPrefixes = {status::kOk,      status::kAttributes,
                                                    status::kDeleted, status::kSkipped,
                                                    status::kWarning, status::kError};

}  // namespace tolvaran
