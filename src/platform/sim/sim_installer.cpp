#include "platform/sim/sim_installer.h"

#include <vector>

#include "platform/sim/sim_path.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

std::u16string spaces(std::size_t count) {
  return std::u16string(count, u' ');
}

}  // namespace

SimInstaller::SimInstaller(const SimFiles& files) : files_(files), faults_(sameSimPath) {}

bool SimInstaller::matches(const AdvertisedShortcut& entry, std::u16string_view path) const {
  if (sameSimPath(entry.shortcut, path)) return true;
  if (entry.shortcut.empty()) return false;
  const auto bytes = files_.readFileBytes(path);
  if (!bytes) return false;
  std::string ascii;
  for (const char16_t c : entry.shortcut) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return bytes->find(ascii) != std::string::npos ||
         bytes->find(textToUtf16le(entry.shortcut)) != std::string::npos;
}

void SimInstaller::addComponent(InstalledComponent component) {
  std::erase_if(components_, [&](const InstalledComponent& known) {
    return equalsNoCase(known.productCode, component.productCode) &&
           equalsNoCase(known.componentCode, component.componentCode);
  });
  components_.push_back(std::move(component));
}

Result<ShortcutTargetBuffers> SimInstaller::getShortcutTarget(std::u16string_view path) {
  Result<ShortcutTargetBuffers> answer{
      {spaces(kGuidBufferChars - 1), spaces(kGuidBufferChars - 1), spaces(kGuidBufferChars - 1)},
      kErrorFunctionFailed};
  if (!available_) {
    answer = {{}, kErrorCallNotImplemented};
  } else if (const Win32Code fault = faults_.check(InstallerOp::kGetShortcutTarget, path)) {
    answer.code = fault;
  } else {
    for (const auto& shortcut : shortcuts_) {
      if (!matches(shortcut, path)) continue;
      answer.value = {shortcut.productCode, shortcut.featureId, shortcut.componentCode};
      answer.code = kErrorSuccess;
      break;
    }
  }
  journal_.push_back({InstallerOp::kGetShortcutTarget, std::u16string(path), {}, answer.code});
  return answer;
}

Result<ComponentPathAnswer> SimInstaller::getComponentPath(std::u16string_view productCode,
                                                           std::u16string_view componentCode,
                                                           std::uint32_t bufferChars) {
  Result<ComponentPathAnswer> answer;
  answer.value.buffer = spaces(bufferChars);
  answer.value.size = bufferChars;
  if (!available_) {
    answer = {{}, kErrorCallNotImplemented};
  } else if (const Win32Code fault = faults_.check(InstallerOp::kGetComponentPath, componentCode)) {
    answer.code = fault;
  } else {
    for (const auto& component : components_) {
      if (!equalsNoCase(component.productCode, productCode) ||
          !equalsNoCase(component.componentCode, componentCode)) {
        continue;
      }
      answer.value.state = component.state;
      const bool hasPath =
          component.state == install_state::kLocal || component.state == install_state::kSource;
      if (!hasPath) break;
      if (component.path.size() >= bufferChars) {
        answer.value.state = install_state::kMoreData;
      } else {
        answer.value.buffer.replace(0, component.path.size() + 1, component.path + u'\0');
      }
      answer.value.size = static_cast<std::uint32_t>(component.path.size());
      break;
    }
  }
  journal_.push_back(
      {InstallerOp::kGetComponentPath, std::u16string(componentCode), {}, answer.code});
  return answer;
}

}  // namespace tolvaran::platform::sim
