#pragma once
// The clock port over GetLocalTime, the tick counter, Sleep and
// FileTimeToLocalFileTime.
#include "platform/clock.h"

namespace tolvaran::platform::win32 {

class Win32Clock final : public Clock {
 public:
  Win32Clock();
  SystemTime localTime() override;
  // GetTickCount64 where Windows has it (Vista on); on XP GetTickCount,
  // carried past its 49.7-day wrap.
  std::uint64_t monotonicMilliseconds() override;
  void sleep(std::uint32_t milliseconds) override;
  Result<std::uint64_t> fileTimeToLocalFileTime(std::uint64_t fileTime) override;

 private:
  using TickCount64 = unsigned long long(__stdcall*)();
  TickCount64 tickCount64_ = nullptr;
  std::uint32_t lastTick_ = 0;
  std::uint64_t wraps_ = 0;
};

}  // namespace tolvaran::platform::win32
