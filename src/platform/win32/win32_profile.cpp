#include "platform/win32/win32_profile.h"

#include "platform/win32/windows_gateway.h"

#include <string>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {
// The API needs NUL-terminated strings; views are not.
std::wstring terminated(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}
}  // namespace

Result<std::u16string> Win32Profile::getPrivateProfileString(std::u16string_view section,
                                                             std::u16string_view key,
                                                             std::u16string_view defaultValue,
                                                             std::uint32_t bufferChars,
                                                             std::u16string_view fileName) {
  if (bufferChars == 0) return {{}, kErrorSuccess};
  std::vector<wchar_t> buffer(bufferChars, L'\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD copied = GetPrivateProfileStringW(
      terminated(section).c_str(), terminated(key).c_str(), terminated(defaultValue).c_str(),
      buffer.data(), bufferChars, terminated(fileName).c_str());
  const DWORD code = GetLastError();
  return {std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), copied), code};
}

Status Win32Profile::writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                               std::u16string_view value,
                                               std::u16string_view fileName) {
  if (WritePrivateProfileStringW(terminated(section).c_str(), terminated(key).c_str(),
                                 terminated(value).c_str(), terminated(fileName).c_str())) {
    return {kErrorSuccess};
  }
  return {GetLastError()};
}

}  // namespace tolvaran::platform::win32
