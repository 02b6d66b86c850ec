#include "platform/win32/win32_system.h"

#include "platform/win32/windows_gateway.h"

#include <shlobj.h>

#include <climits>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

SYSTEMTIME toSystemTime(const SystemTime& time) {
  SYSTEMTIME out{};
  out.wYear = time.year;
  out.wMonth = time.month;
  out.wDayOfWeek = time.dayOfWeek;
  out.wDay = time.day;
  out.wHour = time.hour;
  out.wMinute = time.minute;
  out.wSecond = time.second;
  out.wMilliseconds = time.milliseconds;
  return out;
}

// The length a size-returning call reports includes the terminating NUL.
int clampedLength(std::size_t size) {
  return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

std::u16string shortDate(const SYSTEMTIME& time) {
  const int size =
      ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size));
  const int length =
      ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer.data(), size);
  return length > 0 ? fromWide(buffer.data(), static_cast<std::size_t>(length - 1))
                    : std::u16string();
}

std::u16string longTime(const SYSTEMTIME& time) {
  const int size = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size));
  const int length = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer.data(), size);
  return length > 0 ? fromWide(buffer.data(), static_cast<std::size_t>(length - 1))
                    : std::u16string();
}

}  // namespace

Result<std::u16string> Win32System::formatMessage(std::uint32_t messageId) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, messageId, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0) return {{}, ::GetLastError()};
  std::u16string message = fromWide(text, length);
  ::LocalFree(text);
  return {std::move(message), kErrorSuccess};
}

std::uint32_t Win32System::ansiCodePage() {
  return ::GetACP();
}

std::string Win32System::wideToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  // Where the ANSI code page is UTF-8 (a Windows 10 option), the call refuses
  // both the flag and a default character.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* defaultChar = utf8 ? nullptr : "?";
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = clampedLength(text.size());
  const int size =
      ::WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, defaultChar, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  const int written =
      ::WideCharToMultiByte(CP_ACP, flags, wide, length, out.data(), size, defaultChar, nullptr);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

std::u16string Win32System::ansiToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = clampedLength(bytes.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size));
  const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, buffer.data(), size);
  return written > 0 ? fromWide(buffer.data(), static_cast<std::size_t>(written))
                     : std::u16string();
}

Result<std::u16string> Win32System::getEnvironmentVariable(std::u16string_view name) {
  const std::wstring wideName = toWide(name);
  std::vector<wchar_t> buffer(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(), size);
    if (length == 0) {
      // An empty value also answers 0, without an error.
      const DWORD code = ::GetLastError();
      return {{}, code};
    }
    if (length < size) return {fromWide(buffer.data(), length), kErrorSuccess};
    buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

Status Win32System::setEnvironmentVariable(std::u16string_view name, std::u16string_view value) {
  if (::SetEnvironmentVariableW(toWide(name).c_str(), toWide(value).c_str()))
    return {kErrorSuccess};
  return {::GetLastError()};
}

Status Win32System::deleteEnvironmentVariable(std::u16string_view name) {
  if (::SetEnvironmentVariableW(toWide(name).c_str(), nullptr)) return {kErrorSuccess};
  return {::GetLastError()};
}

Result<std::u16string> Win32System::expandEnvironmentStrings(std::u16string_view text) {
  const std::wstring source = toWide(text);
  std::vector<wchar_t> buffer(source.size() + 64);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), buffer.data(), size);
    if (needed == 0) return {{}, ::GetLastError()};
    if (needed <= size) {
      buffer.back() = L'\0';
      return {fromWide(buffer.data()), kErrorSuccess};
    }
    buffer.assign(needed, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

Result<std::u16string> Win32System::getTempPath() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetTempPathW(size, buffer.data());
    if (length == 0) return {{}, ::GetLastError()};
    if (length < size) return {fromWide(buffer.data(), length), kErrorSuccess};
    buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

Result<std::u16string> Win32System::moduleFileName() {
  // A truncated answer fills the buffer exactly (XP sets no error for it).
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  while (buffer.size() <= 32768) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {{}, ::GetLastError()};
    if (length < size) return {fromWide(buffer.data(), length), kErrorSuccess};
    buffer.assign(buffer.size() * 2, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

Result<std::u16string> Win32System::getWindowsDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const UINT size = static_cast<UINT>(buffer.size());
    const UINT length = ::GetWindowsDirectoryW(buffer.data(), size);
    if (length == 0) return {{}, ::GetLastError()};
    if (length < size) return {fromWide(buffer.data(), length), kErrorSuccess};
    buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

Result<std::u16string> Win32System::getSpecialFolderPath(std::int32_t csidl) {
  LPITEMIDLIST items = nullptr;
  const HRESULT located = ::SHGetSpecialFolderLocation(nullptr, csidl, &items);
  if (FAILED(located)) return {{}, static_cast<Win32Code>(located)};
  if (!items) return {{}, static_cast<Win32Code>(E_FAIL)};
  wchar_t buffer[MAX_PATH + 1] = {};
  const BOOL found = ::SHGetPathFromIDListW(items, buffer);
  ::CoTaskMemFree(items);
  if (!found) return {{}, static_cast<Win32Code>(E_FAIL)};
  buffer[MAX_PATH] = L'\0';
  return {fromWide(buffer), kErrorSuccess};
}

std::u16string Win32System::formatDateTime(const SystemTime& time) {
  const SYSTEMTIME st = toSystemTime(time);
  return shortDate(st) + u" " + longTime(st);
}

std::u16string Win32System::formatShortDate(const SystemTime& time) {
  return shortDate(toSystemTime(time));
}

bool isRunningOnWine() {
  using WineGetVersion = const char*(CDECL*)();
  return systemFunction<WineGetVersion>(L"ntdll.dll", "wine_get_version") != nullptr;
}

}  // namespace tolvaran::platform::win32
