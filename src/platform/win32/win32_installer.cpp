#include "platform/win32/win32_installer.h"

#include "platform/win32/windows_gateway.h"

#include <algorithm>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

using GetShortcutTargetFn = UINT(WINAPI*)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
using GetComponentPathFn = int(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, DWORD*);

// A buffer of `chars` characters: spaces, then a NUL in the last one.
std::vector<wchar_t> spaceBuffer(std::size_t chars) {
  std::vector<wchar_t> buffer(chars, L' ');
  if (!buffer.empty()) buffer.back() = L'\0';
  return buffer;
}

std::u16string upToNul(const std::vector<wchar_t>& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
  return fromWide(buffer.data(), static_cast<std::size_t>(end - buffer.begin()));
}

}  // namespace

Win32Installer::~Win32Installer() {
  if (library_) ::FreeLibrary(static_cast<HMODULE>(library_));
}

void Win32Installer::load() {
  if (loaded_) return;
  loaded_ = true;
  // Without it both calls stay unavailable, whatever kept it away.
  Win32Code ignored = kErrorSuccess;
  const HMODULE library = loadSystemLibrary(L"msi.dll", ignored).release();
  library_ = library;
  getShortcutTarget_ = moduleFunction<AnyFunction>(library, "MsiGetShortcutTargetW");
  getComponentPath_ = moduleFunction<AnyFunction>(library, "MsiGetComponentPathW");
}

Result<ShortcutTargetBuffers> Win32Installer::getShortcutTarget(std::u16string_view path) {
  load();
  const auto call = reinterpret_cast<GetShortcutTargetFn>(getShortcutTarget_);
  if (!call) return {{}, kErrorCallNotImplemented};
  auto product = spaceBuffer(kGuidBufferChars);
  auto feature = spaceBuffer(kGuidBufferChars);
  auto component = spaceBuffer(kGuidBufferChars);
  const UINT code = call(toWide(path).c_str(), product.data(), feature.data(), component.data());
  return {{upToNul(product), upToNul(feature), upToNul(component)}, code};
}

Result<ComponentPathAnswer> Win32Installer::getComponentPath(std::u16string_view productCode,
                                                             std::u16string_view componentCode,
                                                             std::uint32_t bufferChars) {
  load();
  const auto call = reinterpret_cast<GetComponentPathFn>(getComponentPath_);
  if (!call) return {{}, kErrorCallNotImplemented};
  // One character more than the caller's, always NUL, so that the buffer
  // ends even when the call writes nothing.
  std::vector<wchar_t> buffer(static_cast<std::size_t>(bufferChars) + 1, L' ');
  buffer.back() = L'\0';
  DWORD size = bufferChars;
  const int state =
      call(toWide(productCode).c_str(), toWide(componentCode).c_str(), buffer.data(), &size);
  ComponentPathAnswer answer;
  answer.state = state;
  answer.buffer = fromWide(buffer.data(), bufferChars);
  answer.size = size;
  return {std::move(answer), kErrorSuccess};
}

}  // namespace tolvaran::platform::win32
