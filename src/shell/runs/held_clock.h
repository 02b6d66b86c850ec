#pragma once
// A clock that can be stopped at one moment. The start-up run writes its
// report only after its inputs were cured, but the report's name (and with
// it the folder where the cure keeps the originals of what it changes) must
// be the one of the run's start: the report is dated by this clock, held at
// that moment while it is created.
#include <optional>

#include "platform/clock.h"

namespace tolvaran {

class HeldClock final : public platform::Clock {
 public:
  explicit HeldClock(platform::Clock& clock) noexcept : clock_(clock) {}

  platform::SystemTime localTime() override { return held_ ? *held_ : clock_.localTime(); }
  std::uint64_t monotonicMilliseconds() override { return clock_.monotonicMilliseconds(); }
  void sleep(std::uint32_t milliseconds) override { clock_.sleep(milliseconds); }
  platform::Result<std::uint64_t> fileTimeToLocalFileTime(std::uint64_t fileTime) override {
    return clock_.fileTimeToLocalFileTime(fileTime);
  }

  void hold(const platform::SystemTime& at) noexcept { held_ = at; }
  void release() noexcept { held_.reset(); }

 private:
  platform::Clock& clock_;
  std::optional<platform::SystemTime> held_;
};

// Holds the clock for as long as it lives.
class ClockHold {
 public:
  ClockHold(HeldClock& clock, const platform::SystemTime& at) noexcept : clock_(clock) {
    clock_.hold(at);
  }
  ~ClockHold() { clock_.release(); }
  ClockHold(const ClockHold&) = delete;
  ClockHold& operator=(const ClockHold&) = delete;

 private:
  HeldClock& clock_;
};

}  // namespace tolvaran
