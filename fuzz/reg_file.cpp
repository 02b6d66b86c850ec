// The .reg reader over arbitrary bytes: no crash, reported lines in order and
// inside the file, and whatever it reads loads into the simulated registry
// and reads back through the program's registry class.
#include "platform/sim/reg_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "counting_recorder.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "system/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const platform::sim::RegFile file = platform::sim::parseRegFile(bytes);
  for (std::size_t i = 0; i < file.badLines.size(); ++i) {
    if (file.badLines[i] == 0 || (i > 0 && file.badLines[i] <= file.badLines[i - 1])) {
      __builtin_trap();
    }
  }
  for (const auto& edit : file.edits) {
    if (edit.line == 0) __builtin_trap();
  }

  platform::sim::SimRegistry registry;
  (void)registry.loadRegFile(bytes);
  platform::sim::SimSystem system;
  CountingRecorder recorder;
  clsRegistry reader(registry, system, recorder);
  // A bounded share of the edits: reading every value of every key is
  // quadratic, and the reader is what is under test here.
  constexpr std::size_t kReadBack = 16;
  for (std::size_t i = 0; i < file.edits.size() && i < kReadBack; ++i) {
    const auto& edit = file.edits[i];
    std::vector<std::u16string> names;
    reader.GetRegSubKeys(edit.keyPath, names);
    reader.GetRegValueNames(edit.keyPath, names);
    for (std::size_t j = 0; j < names.size() && j < kReadBack; ++j) {
      (void)reader.GetRegData(edit.keyPath, names[j], RegData{});
    }
    (void)reader.FindSubKey(edit.keyPath, edit.valueName);
  }
  // Ordinary keys and values are never failures, and every key is closed.
  if (recorder.count != 0 || registry.openHandleCount() != 0) __builtin_trap();
  return 0;
}
