#include "platform/win32/win32_os_info.h"

#include "platform/win32/windows_gateway.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using ConvertSidToStringSidWFn = BOOL(WINAPI*)(PSID, LPWSTR*);

struct LocalFreeDeleter {
  void operator()(wchar_t* text) const noexcept { ::LocalFree(text); }
};

HANDLE processHandle(ProcessHandle process) {
  return process == kCurrentProcess ? ::GetCurrentProcess() : reinterpret_cast<HANDLE>(process);
}

// The last error of a call that reported failure; never "success", so that
// a failure is not mistaken for an answer.
Win32Code failureCode(Win32Code fallback = ERROR_INVALID_PARAMETER) {
  const DWORD code = ::GetLastError();
  return code != ERROR_SUCCESS ? code : fallback;
}

// GetTokenInformation into a buffer aligned for the structure it returns,
// sized by asking first.
Result<std::vector<std::uint64_t>> readToken(ProcessHandle process, TOKEN_INFORMATION_CLASS kind,
                                             std::size_t minimumBytes) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(processHandle(process), TOKEN_QUERY, &raw)) return {{}, failureCode()};
  const ScopedKernelHandle token(raw);
  DWORD needed = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (!::GetTokenInformation(token.get(), kind, nullptr, 0, &needed)) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_INSUFFICIENT_BUFFER) return {{}, failureCode()};
  }
  if (needed < minimumBytes) return {{}, ERROR_INVALID_DATA};
  std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
  if (!::GetTokenInformation(token.get(), kind, buffer.data(), size, &needed)) {
    return {{}, failureCode()};
  }
  return {std::move(buffer), kErrorSuccess};
}

}  // namespace

Result<OsVersionInfo> Win32OsInfo::getVersionEx() {
  OSVERSIONINFOEXW info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return {{}, failureCode()};
  OsVersionInfo version;
  version.majorVersion = info.dwMajorVersion;
  version.minorVersion = info.dwMinorVersion;
  version.buildNumber = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.csdVersion = fromWide(info.szCSDVersion, ::wcsnlen(info.szCSDVersion, 128));
  version.servicePackMajor = info.wServicePackMajor;
  version.servicePackMinor = info.wServicePackMinor;
  version.suiteMask = info.wSuiteMask;
  version.productType = info.wProductType;
  return {std::move(version), kErrorSuccess};
}

Result<std::uint32_t> Win32OsInfo::getProductInfo(std::uint32_t osMajor, std::uint32_t osMinor,
                                                  std::uint32_t spMajor, std::uint32_t spMinor) {
  const auto getProductInfo = systemFunction<GetProductInfoFn>(L"kernel32.dll", "GetProductInfo");
  if (!getProductInfo) return {0, ERROR_CALL_NOT_IMPLEMENTED};
  DWORD type = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (!getProductInfo(osMajor, osMinor, spMajor, spMinor, &type)) return {type, failureCode()};
  return {type, kErrorSuccess};
}

int Win32OsInfo::getSystemMetrics(int index) {
  return ::GetSystemMetrics(index);
}

Result<bool> Win32OsInfo::isWow64Process(ProcessHandle process) {
  const auto isWow64 = systemFunction<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
  if (!isWow64) return {false, ERROR_CALL_NOT_IMPLEMENTED};
  BOOL wow64 = FALSE;
  if (!isWow64(processHandle(process), &wow64)) return {false, failureCode()};
  return {wow64 != FALSE, kErrorSuccess};
}

std::uint32_t Win32OsInfo::processPointerSize() {
  return sizeof(void*);
}

std::uint16_t Win32OsInfo::getUserDefaultUILanguage() {
  return ::GetUserDefaultUILanguage();
}
std::uint16_t Win32OsInfo::getSystemDefaultUILanguage() {
  return ::GetSystemDefaultUILanguage();
}
std::uint32_t Win32OsInfo::getSystemDefaultLcid() {
  return ::GetSystemDefaultLCID();
}

Result<std::u16string> Win32OsInfo::getLocaleInfo(std::uint32_t lcid, std::uint32_t lcType) {
  const int needed = ::GetLocaleInfoW(lcid, lcType, nullptr, 0);
  if (needed <= 0) return {{}, failureCode()};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(needed) + 1, L'\0');
  const int copied = ::GetLocaleInfoW(lcid, lcType, buffer.data(), needed);
  if (copied <= 0) return {{}, failureCode()};
  // The count includes the terminating NUL.
  return {fromWide(buffer.data(), ::wcsnlen(buffer.data(), static_cast<std::size_t>(copied))),
          kErrorSuccess};
}

Result<std::uint32_t> Win32OsInfo::tokenElevation(ProcessHandle process) {
  const auto read = readToken(process, TokenElevation, sizeof(TOKEN_ELEVATION));
  if (!read.ok()) return {0, read.code};
  TOKEN_ELEVATION elevation;
  std::memcpy(&elevation, read.value.data(), sizeof elevation);
  return {elevation.TokenIsElevated, kErrorSuccess};
}

Result<std::uint32_t> Win32OsInfo::tokenIntegrityLevel(ProcessHandle process) {
  const auto read = readToken(process, TokenIntegrityLevel, sizeof(TOKEN_MANDATORY_LABEL));
  if (!read.ok()) return {0, read.code};
  const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(read.value.data());
  const PSID sid = label->Label.Sid;
  if (sid == nullptr || !::IsValidSid(sid)) return {0, ERROR_INVALID_DATA};
  const UCHAR count = *::GetSidSubAuthorityCount(sid);
  if (count == 0) return {0, ERROR_INVALID_DATA};
  return {*::GetSidSubAuthority(sid, count - 1u), kErrorSuccess};
}

Result<std::vector<std::u16string>> Win32OsInfo::tokenGroups(ProcessHandle process) {
  const auto toText =
      systemFunction<ConvertSidToStringSidWFn>(L"advapi32.dll", "ConvertSidToStringSidW");
  if (!toText) return {{}, ERROR_CALL_NOT_IMPLEMENTED};
  const auto read = readToken(process, TokenGroups, sizeof(TOKEN_GROUPS));
  if (!read.ok()) return {{}, read.code};
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(read.value.data());
  const std::size_t bytes = read.value.size() * sizeof(std::uint64_t);
  const std::size_t fits = (bytes - offsetof(TOKEN_GROUPS, Groups)) / sizeof(SID_AND_ATTRIBUTES);
  const std::size_t count = groups->GroupCount < fits ? groups->GroupCount : fits;
  const SID_AND_ATTRIBUTES* entries = groups->Groups;
  std::vector<std::u16string> sids;
  sids.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    wchar_t* raw = nullptr;
    if (!toText(entries[i].Sid, &raw)) return {{}, failureCode()};
    const std::unique_ptr<wchar_t, LocalFreeDeleter> text(raw);
    sids.push_back(fromWide(text.get()));
  }
  return {std::move(sids), kErrorSuccess};
}

}  // namespace tolvaran::platform::win32
