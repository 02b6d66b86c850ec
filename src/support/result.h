#pragma once
// What every port call gives back: its value and the raw Win32 code of the
// call together, so that no GetLastError side channel crosses the boundary.
// Plain values that reach nothing, kept at the bottom so that failures can
// name Win32 codes; they keep the namespace the ports spell them in.
#include <cstdint>

namespace tolvaran::platform {

using Win32Code = std::uint32_t;

// The Win32 codes that decisions above the ports test by name.
inline constexpr Win32Code kErrorSuccess = 0;
inline constexpr Win32Code kErrorInvalidFunction = 1;
inline constexpr Win32Code kErrorFileNotFound = 2;
inline constexpr Win32Code kErrorPathNotFound = 3;
inline constexpr Win32Code kErrorAccessDenied = 5;
inline constexpr Win32Code kErrorInvalidHandle = 6;
inline constexpr Win32Code kErrorNotEnoughMemory = 8;
inline constexpr Win32Code kErrorInvalidData = 13;
inline constexpr Win32Code kErrorWriteProtect = 19;
inline constexpr Win32Code kErrorNotReady = 21;
inline constexpr Win32Code kErrorSharingViolation = 32;
inline constexpr Win32Code kErrorLockViolation = 33;
inline constexpr Win32Code kErrorHandleEof = 38;
inline constexpr Win32Code kErrorBadNetPath = 53;
inline constexpr Win32Code kErrorFileExists = 80;
inline constexpr Win32Code kErrorInvalidParameter = 87;
inline constexpr Win32Code kErrorDiskFull = 112;
inline constexpr Win32Code kErrorInsufficientBuffer = 122;
inline constexpr Win32Code kErrorInvalidName = 123;
inline constexpr Win32Code kErrorDirNotEmpty = 145;
inline constexpr Win32Code kErrorAlreadyExists = 183;
inline constexpr Win32Code kErrorFilenameExcedRange = 206;
inline constexpr Win32Code kErrorMoreData = 234;
inline constexpr Win32Code kErrorNoMoreItems = 259;
inline constexpr Win32Code kErrorDirectory = 267;
inline constexpr Win32Code kErrorCancelled = 1223;
inline constexpr Win32Code kErrorCallNotImplemented = 120;

template <class T>
struct [[nodiscard]] Result {
  T value{};
  Win32Code code = kErrorSuccess;
  [[nodiscard]] bool ok() const noexcept { return code == kErrorSuccess; }
};

struct [[nodiscard]] Status {
  Win32Code code = kErrorSuccess;
  [[nodiscard]] bool ok() const noexcept { return code == kErrorSuccess; }
};

[[nodiscard]] constexpr bool isNotFound(Win32Code code) noexcept {
  return code == kErrorFileNotFound || code == kErrorPathNotFound;
}
[[nodiscard]] constexpr bool isAccessDenied(Win32Code code) noexcept {
  return code == kErrorAccessDenied;
}

// The one thing a port throws: a simulated Ui::endProgram unwinds to the
// test with it, and guarded procedures let it pass.
struct ProgramEnded {
  std::uint32_t exitCode = 0;
};

}  // namespace tolvaran::platform
