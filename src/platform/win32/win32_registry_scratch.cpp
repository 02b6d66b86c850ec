#include "platform/win32/win32_registry_scratch.h"

#include "platform/win32/windows_gateway.h"

#include <string>
#include <vector>

namespace tolvaran::platform::win32::scratch {
namespace {

HKEY toHkey(RegKeyHandle key) {
  if (isPredefinedKey(key)) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

// RegDeleteKeyExW reaches the other view; Windows before Vista (and XP
// 32-bit) lacks it and has one view only.
using RegDeleteKeyExWFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

LSTATUS deleteSubtree(HKEY parent, const std::wstring& name, REGSAM viewFlags) {
  HKEY key = nullptr;
  LSTATUS status = ::RegOpenKeyExW(parent, name.c_str(), 0,
                                   KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | viewFlags, &key);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  std::vector<std::wstring> children;
  std::vector<wchar_t> buffer(256, L'\0');
  for (DWORD index = 0;; ++index) {
    if (::RegEnumKeyW(key, index, buffer.data(), static_cast<DWORD>(buffer.size())) !=
        ERROR_SUCCESS) {
      break;
    }
    children.emplace_back(buffer.data());
  }
  for (const auto& child : children) {
    status = deleteSubtree(key, child, viewFlags);
    if (status != ERROR_SUCCESS) break;
  }
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return status;
  const auto deleteKeyEx = systemFunction<RegDeleteKeyExWFn>(L"advapi32.dll", "RegDeleteKeyExW");
  if (deleteKeyEx) return deleteKeyEx(parent, name.c_str(), viewFlags, 0);
  return ::RegDeleteKeyW(parent, name.c_str());
}

}  // namespace

Status createKey(RegKeyHandle root, std::u16string_view path, std::uint32_t viewFlags) {
  HKEY key = nullptr;
  const LSTATUS status = ::RegCreateKeyExW(toHkey(root), toWide(path).c_str(), 0, nullptr, 0,
                                           KEY_CREATE_SUB_KEY | viewFlags, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) ::RegCloseKey(key);
  return {static_cast<Win32Code>(status)};
}

Status setValue(RegKeyHandle root, std::u16string_view path, std::u16string_view name,
                std::uint32_t type, std::string_view data, std::uint32_t viewFlags) {
  HKEY key = nullptr;
  LSTATUS status = ::RegCreateKeyExW(toHkey(root), toWide(path).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | viewFlags, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return {static_cast<Win32Code>(status)};
  // Windows lengthens string data by its NUL when the caller's count left
  // it out but the memory after the data holds one; non-zero bytes after
  // the data keep the count exact.
  std::string padded(data);
  padded.append(2, '\xFF');
  status = ::RegSetValueExW(key, toWide(name).c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(padded.data()),
                            static_cast<DWORD>(data.size()));
  ::RegCloseKey(key);
  return {static_cast<Win32Code>(status)};
}

Status deleteTree(RegKeyHandle root, std::u16string_view path, std::uint32_t viewFlags) {
  return {static_cast<Win32Code>(deleteSubtree(toHkey(root), toWide(path), viewFlags))};
}

}  // namespace tolvaran::platform::win32::scratch
