#include "platform/sim/sim_wow64.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

// System32's subfolders that WOW64 leaves native: shared by 32- and 64-bit
// programs (certificates, drivers' hosts file, logs, the spooler).
constexpr std::array<std::u16string_view, 5> kNativeSubfolders{
    u"catroot", u"catroot2", u"driverstore", u"logfiles", u"spool"};

bool staysNative(const std::vector<std::u16string>& components, std::size_t first) {
  if (first >= components.size()) return false;
  const std::u16string& name = components[first];
  for (const std::u16string_view native : kNativeSubfolders) {
    if (equalsNoCase(name, native)) return true;
  }
  return equalsNoCase(name, u"drivers") && first + 1 < components.size() &&
         equalsNoCase(components[first + 1], u"etc");
}

}  // namespace

void Wow64Redirector::configure(Wow64Setup setup) {
  setup_ = std::move(setup);
  windows_ = parseSimPath(setup_.windowsFolder, NameCheck::kStrict);
  disabled_ = false;
}

Win32Code Wow64Redirector::unavailable() const noexcept {
  if (!setup_.callsExist) return kErrorCallNotImplemented;
  if (!setup_.redirects) return kErrorInvalidFunction;
  return kErrorSuccess;
}

Result<Wow64RedirectionValue> Wow64Redirector::disable() {
  if (const Win32Code code = unavailable()) return {0, code};
  const Wow64RedirectionValue old = disabled_ ? 1 : 0;
  disabled_ = true;
  return {old, kErrorSuccess};
}

Status Wow64Redirector::revert(Wow64RedirectionValue oldValue) {
  if (const Win32Code code = unavailable()) return {code};
  disabled_ = oldValue != 0;
  return {kErrorSuccess};
}

SimPath Wow64Redirector::apply(SimPath path) const {
  if (!setup_.redirects || disabled_ || !path.ok() || !windows_.ok()) return path;
  if (!equalsNoCase(path.volume, windows_.volume)) return path;
  const std::size_t depth = windows_.components.size();
  if (path.components.size() <= depth) return path;
  for (std::size_t i = 0; i < depth; ++i) {
    if (!equalsNoCase(path.components[i], windows_.components[i])) return path;
  }
  std::u16string& folder = path.components[depth];
  if (equalsNoCase(folder, u"Sysnative")) {
    folder = u"System32";
  } else if (equalsNoCase(folder, u"System32") && !staysNative(path.components, depth + 1)) {
    folder = u"SysWOW64";
  }
  return path;
}

}  // namespace tolvaran::platform::sim
