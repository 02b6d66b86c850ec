// The raw LinkInfo target reader over an arbitrary file on the simulated
// machine: no crash, no handle left open, and at most one failure recorded.
#include "shortcut/link_info_target.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "counting_recorder.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  constexpr std::u16string_view kPath = u"C:\\Users\\User\\Desktop\\Shortcut.lnk";
  // Only the file system and the code page take part; a whole machine per
  // input would cost more than the reading.
  platform::sim::SimClock clock;
  platform::sim::SimFiles files(clock);
  platform::sim::SimSystem system;
  if (!files.addFile(kPath, std::string_view(reinterpret_cast<const char*>(data), size))) {
    __builtin_trap();
  }
  CountingRecorder recorder;
  const std::u16string target = GetLinkInfoTarget(files, system, recorder, kPath);
  if (recorder.count > 1 || (recorder.count == 1 && !target.empty())) __builtin_trap();
  if (files.openHandleCount() != 0) __builtin_trap();
  return 0;
}
