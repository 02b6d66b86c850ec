// Every registry operation of the program over one value of any type and any
// bytes: no crash, no failure recorded, every key closed. Input: four bytes
// of type (little-endian), then the value's data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "counting_recorder.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "system/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  if (size < 4) return 0;
  const std::uint32_t type =
      static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
      static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 4, size - 4);
  constexpr std::u16string_view kKey = u"HKCU\\Software\\Fuzz";

  platform::sim::SimRegistry registry;
  (void)registry.setValue(kKey, u"Value", type, bytes);
  platform::sim::SimSystem system;
  CountingRecorder recorder;
  clsRegistry reader(registry, system, recorder);

  const RegData fallback = std::u16string(u"<default>");
  const RegData value = reader.GetRegData(kKey, u"Value", fallback);
  (void)regDataText(value);
  if (reader.ValueType(kKey, u"Value") != type) __builtin_trap();
  if (!reader.ValueExists(kKey, u"Value")) __builtin_trap();
  std::vector<std::u16string> names;
  if (reader.GetRegValueNames(kKey, names) != 1) __builtin_trap();
  (void)reader.GetRegSubKeys(kKey, names);
  (void)reader.KeyExists(kKey);
  (void)reader.FindSubKey(kKey, u"Value");
  std::u16string keyName, valueName;
  reader.SplitRegString(std::u16string(kKey) + u"\\Value", keyName, valueName);
  // The text types are read, never the default, once there are two bytes.
  const bool text = type == 1 || type == 2 || type == 7;
  if (text && bytes.size() >= 2 && value == fallback) __builtin_trap();
  if (recorder.count != 0 || registry.openHandleCount() != 0) __builtin_trap();
  return 0;
}
