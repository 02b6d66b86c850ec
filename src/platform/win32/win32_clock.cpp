#include "platform/win32/win32_clock.h"

#include "platform/win32/windows_gateway.h"

namespace tolvaran::platform::win32 {

Win32Clock::Win32Clock()
    : tickCount64_(systemFunction<TickCount64>(L"kernel32.dll", "GetTickCount64")) {}

SystemTime Win32Clock::localTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return SystemTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                    now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::uint64_t Win32Clock::monotonicMilliseconds() {
  if (tickCount64_) return tickCount64_();
  const std::uint32_t tick = ::GetTickCount();
  if (tick < lastTick_) ++wraps_;
  lastTick_ = tick;
  return (wraps_ << 32) | tick;
}

void Win32Clock::sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

Result<std::uint64_t> Win32Clock::fileTimeToLocalFileTime(std::uint64_t fileTime) {
  FILETIME utc{};
  utc.dwLowDateTime = static_cast<DWORD>(fileTime);
  utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  FILETIME local{};
  if (!::FileTimeToLocalFileTime(&utc, &local)) {
    const DWORD code = ::GetLastError();
    return {0, code != ERROR_SUCCESS ? code : static_cast<DWORD>(ERROR_INVALID_PARAMETER)};
  }
  return {fromFileTime(local), kErrorSuccess};
}

}  // namespace tolvaran::platform::win32
