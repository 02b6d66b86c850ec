#pragma once
// A whole simulated Windows machine: one object per port, wired together,
// and the bundle of ports the program runs on. A test builds a fresh machine,
// prepares its state through the accessors and hands `ports()` to the code
// under test.
#include "platform/ports.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_ui.h"

namespace tolvaran::platform::sim {

class SimMachine {
 public:
  SimMachine() = default;
  // The ports refer to the machine's members: it never moves.
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // The one place the bundle is assembled.
  Ports ports() noexcept { return Ports{files_, system_, clock_, profile_, ui_}; }

  SimFiles& files() noexcept { return files_; }
  SimSystem& system() noexcept { return system_; }
  SimClock& clock() noexcept { return clock_; }
  SimProfile& profile() noexcept { return profile_; }
  SimUi& ui() noexcept { return ui_; }

 private:
  // Declaration order is construction order: files take their times from the clock,
  // the profile works through files and system.
  SimClock clock_;
  SimFiles files_{clock_};
  SimSystem system_;
  SimUi ui_;
  SimProfile profile_{files_, system_};
};

}  // namespace tolvaran::platform::sim
