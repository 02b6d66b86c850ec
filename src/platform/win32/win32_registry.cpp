#include "platform/win32/win32_registry.h"

#include "platform/win32/windows_gateway.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

// The predefined roots are 32-bit values that a 64-bit HKEY carries sign-
// extended; every other handle is the pointer's value as it is.
HKEY toHkey(RegKeyHandle key) {
  if (isPredefinedKey(key)) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

RegKeyHandle fromHkey(HKEY key) {
  const auto low = static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(key));
  if (isPredefinedKey(low) && toHkey(low) == key) return low;
  return reinterpret_cast<ULONG_PTR>(key);
}

}  // namespace

Result<RegKeyHandle> Win32Registry::regOpenKeyEx(RegKeyHandle key, std::u16string_view subKey,
                                                 std::uint32_t options, std::uint32_t samDesired) {
  HKEY opened = nullptr;
  const LSTATUS status =
      ::RegOpenKeyExW(toHkey(key), toWide(subKey).c_str(), options, samDesired, &opened);
  if (status != ERROR_SUCCESS) return {0, static_cast<Win32Code>(status)};
  return {fromHkey(opened), kErrorSuccess};
}

Result<std::u16string> Win32Registry::regEnumKey(RegKeyHandle key, std::uint32_t index,
                                                 std::uint32_t bufferChars) {
  std::vector<wchar_t> buffer(std::max<std::uint32_t>(bufferChars, 1), L'\0');
  const LSTATUS status = ::RegEnumKeyW(toHkey(key), index, buffer.data(), bufferChars);
  if (status != ERROR_SUCCESS) return {{}, static_cast<Win32Code>(status)};
  return {fromWide(buffer.data(), ::wcsnlen(buffer.data(), buffer.size())), kErrorSuccess};
}

Result<std::u16string> Win32Registry::regEnumValue(RegKeyHandle key, std::uint32_t index,
                                                   std::uint32_t nameBufferChars) {
  std::vector<wchar_t> buffer(std::max<std::uint32_t>(nameBufferChars, 1), L'\0');
  DWORD length = nameBufferChars;
  const LSTATUS status = ::RegEnumValueW(toHkey(key), index, buffer.data(), &length, nullptr,
                                         nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return {{}, static_cast<Win32Code>(status)};
  return {fromWide(buffer.data(), std::min<std::size_t>(length, buffer.size())), kErrorSuccess};
}

Result<RegKeyInfo> Win32Registry::regQueryInfoKey(RegKeyHandle key) {
  DWORD subKeys = 0, maxSubKeyLen = 0, maxClassLen = 0;
  DWORD values = 0, maxValueNameLen = 0, maxValueLen = 0;
  const LSTATUS status =
      ::RegQueryInfoKeyW(toHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen,
                         &maxClassLen, &values, &maxValueNameLen, &maxValueLen, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return {{}, static_cast<Win32Code>(status)};
  return {RegKeyInfo{subKeys, maxSubKeyLen, maxClassLen, values, maxValueNameLen, maxValueLen},
          kErrorSuccess};
}

Result<RegValueData> Win32Registry::regQueryValueEx(RegKeyHandle key, std::u16string_view valueName,
                                                    std::uint32_t bufferBytes) {
  std::string bytes(bufferBytes, '\0');
  DWORD type = 0;
  DWORD size = bufferBytes;
  const LSTATUS status =
      ::RegQueryValueExW(toHkey(key), toWide(valueName).c_str(), nullptr, &type,
                         bufferBytes ? reinterpret_cast<BYTE*>(bytes.data()) : nullptr, &size);
  RegValueData data;
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    data.type = type;
    data.size = size;
  }
  if (status == ERROR_SUCCESS && bufferBytes != 0) {
    bytes.resize(std::min<std::size_t>(size, bytes.size()));
    data.bytes = std::move(bytes);
  }
  return {std::move(data), static_cast<Win32Code>(status)};
}

Status Win32Registry::regCloseKey(RegKeyHandle key) {
  return {static_cast<Win32Code>(::RegCloseKey(toHkey(key)))};
}

}  // namespace tolvaran::platform::win32
