#pragma once
// The only way to <windows.h>, included before any other Windows header.
// The build pins _WIN32_WINNT (XP) and defines WIN32_LEAN_AND_MEAN and
// NOMINMAX (defined here too, for a build that does not). An API newer than
// XP is never imported statically: look it up with systemFunction() (or in
// a DLL from loadSystemLibrary()) and fail with ERROR_CALL_NOT_IMPLEMENTED
// when it is absent.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/result.h"

namespace tolvaran::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// UTF-16 text crosses to the API unchanged: same code units, NUL-terminated
// by std::wstring (an embedded NUL ends the text for the API, as it would).
inline std::wstring toWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string fromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string fromWide(const wchar_t* text) {
  return text ? fromWide(text, std::wcslen(text)) : std::u16string();
}

inline std::uint64_t fromFileTime(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Owns one handle of a kind that Traits describes: starts invalid, closes in
// its destructor, moves but never copies.
template <class Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() noexcept = default;
  explicit ScopedHandle(Handle handle) noexcept : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { reset(); }

  [[nodiscard]] bool valid() const noexcept { return handle_ != Traits::invalid(); }
  [[nodiscard]] Handle get() const noexcept { return handle_; }
  Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) noexcept {
    if (valid()) Traits::close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {  // processes, threads, mutexes, tokens: NULL when absent
  using Handle = HANDLE;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle handle) noexcept { ::CloseHandle(handle); }
};
struct FileHandleTraits {  // CreateFileW: INVALID_HANDLE_VALUE when absent
  using Handle = HANDLE;
  static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) noexcept { ::CloseHandle(handle); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) noexcept { ::FindClose(handle); }
};
struct LibraryHandleTraits {
  using Handle = HMODULE;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle handle) noexcept { ::FreeLibrary(handle); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedLibrary = ScopedHandle<LibraryHandleTraits>;

// The error a failed call left; never "success", so that a failure cannot
// read as an answer.
inline Win32Code lastErrorOr(Win32Code fallback) {
  const DWORD code = ::GetLastError();
  return code != ERROR_SUCCESS ? code : fallback;
}

// A function of a loaded module by name (or ordinal, MAKEINTRESOURCEA), or
// nullptr where there is no module or it lacks the function.
template <class Function>
Function moduleFunction(HMODULE module, const char* nameOrOrdinal) {
  if (!module) return nullptr;
  const FARPROC address = ::GetProcAddress(module, nameOrOrdinal);
  // Through a generic function pointer: the cast GCC accepts without warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// A function of a system DLL that is already loaded (kernel32, ntdll, user32),
// or nullptr where this Windows lacks it.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
  return moduleFunction<Function>(::GetModuleHandleW(module), name);
}

// A system DLL taken from the system folder by its full path, never by the
// search path: an elevated program must never load a copy planted beside
// it. The reference is held until the library is reset; `code` is
// kErrorSuccess or why the folder or the DLL could not be had.
inline ScopedLibrary loadSystemLibrary(const wchar_t* name, Win32Code& code) {
  std::vector<wchar_t> folder(MAX_PATH + 1);
  const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) {
    code = lastErrorOr(ERROR_PATH_NOT_FOUND);
    return ScopedLibrary();
  }
  std::wstring path(folder.data(), length);
  path += L'\\';
  path += name;
  ScopedLibrary library(::LoadLibraryW(path.c_str()));
  code = library.valid() ? kErrorSuccess : lastErrorOr(ERROR_MOD_NOT_FOUND);
  return library;
}

}  // namespace tolvaran::platform::win32
