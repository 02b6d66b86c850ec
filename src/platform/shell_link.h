#pragma once
// The shell's shortcut services: the shell-link object (IShellLinkW and
// IPersistFile of one CLSID_ShellLink instance), the Windows Installer's two
// calls for advertised shortcuts, and the notifications that make the shell
// and the desktop show changed shortcuts. COM calls answer their HRESULT.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/processes.h"
#include "support/result.h"

namespace tolvaran::platform {

// An HRESULT, as the bits Windows returns. Failure is the sign bit.
using HResult = std::uint32_t;

inline constexpr HResult kHresultOk = 0;                        // S_OK
inline constexpr HResult kHresultFalse = 1;                     // S_FALSE: success, nothing to give
inline constexpr HResult kHresultNotImplemented = 0x80004001u;  // E_NOTIMPL
inline constexpr HResult kHresultNoInterface = 0x80004002u;     // E_NOINTERFACE
inline constexpr HResult kHresultUnexpected = 0x8000FFFFu;      // E_UNEXPECTED
inline constexpr HResult kHresultAccessDenied = 0x80070005u;    // E_ACCESSDENIED
inline constexpr HResult kHresultOutOfMemory = 0x8007000Eu;     // E_OUTOFMEMORY
inline constexpr HResult kHresultClassNotRegistered = 0x80040154u;  // REGDB_E_CLASSNOTREG
// E_FAIL and E_INVALIDARG: platform/system.h (kHresultFail, kHresultInvalidArg).

[[nodiscard]] constexpr bool hresultFailed(HResult hr) noexcept {
  return (hr & 0x80000000u) != 0;
}

// HRESULT_FROM_WIN32.
[[nodiscard]] constexpr HResult hresultFromWin32(Win32Code code) noexcept {
  return (code == kErrorSuccess || hresultFailed(code)) ? code : (0x80070000u | (code & 0xFFFFu));
}

template <class T>
struct [[nodiscard]] ComResult {
  T value{};
  HResult hr = kHresultOk;
  [[nodiscard]] bool failed() const noexcept { return hresultFailed(hr); }
  [[nodiscard]] bool succeeded() const noexcept { return !failed(); }
};

struct [[nodiscard]] ComStatus {
  HResult hr = kHresultOk;
  [[nodiscard]] bool failed() const noexcept { return hresultFailed(hr); }
  [[nodiscard]] bool succeeded() const noexcept { return !failed(); }
};

namespace shell_link {
inline constexpr std::uint32_t kStgmRead = 0;
// IShellLinkW::GetPath flags (SLGP_*).
inline constexpr std::uint32_t kSlgpShortPath = 0x1;
inline constexpr std::uint32_t kSlgpUncPriority = 0x2;
inline constexpr std::uint32_t kSlgpRawPath = 0x4;
}  // namespace shell_link

struct IconLocation {
  std::u16string path;
  std::int32_t index = 0;
  friend bool operator==(const IconLocation&, const IconLocation&) = default;
};

// One shell-link object through both of its interfaces. A text getter fills
// a buffer of `bufferChars` characters that holds only NULs before the call
// and answers what the buffer then holds up to its first NUL: Windows cuts a
// longer text to bufferChars - 1 characters, and a size of 0 or less leaves
// the buffer alone (empty text).
class ShellLink {
 public:
  virtual ~ShellLink() = default;

  // IPersistFile::Load. A file that cannot be opened leaves the object as it
  // was; a file that is no shortcut gives E_FAIL.
  virtual ComStatus load(std::u16string_view path, std::uint32_t mode) = 0;
  // IPersistFile::Save(path, remember) and SaveCompleted(path).
  virtual ComStatus save(std::u16string_view path, bool remember) = 0;
  virtual ComStatus saveCompleted(std::u16string_view path) = 0;

  // IShellLinkW getters. GetPath answers S_FALSE and empty text when the
  // shortcut has no file-system target; its WIN32_FIND_DATAW is not passed on.
  virtual ComResult<std::u16string> getPath(std::int32_t bufferChars, std::uint32_t flags) = 0;
  virtual ComResult<std::u16string> getArguments(std::int32_t bufferChars) = 0;
  virtual ComResult<std::u16string> getDescription(std::int32_t bufferChars) = 0;
  virtual ComResult<std::uint16_t> getHotkey() = 0;
  virtual ComResult<IconLocation> getIconLocation(std::int32_t bufferChars) = 0;
  virtual ComResult<std::int32_t> getShowCmd() = 0;
  virtual ComResult<std::u16string> getWorkingDirectory(std::int32_t bufferChars) = 0;

  // IShellLinkW setters. SetPath may answer S_FALSE (the target does not
  // exist); an empty path removes the target.
  virtual ComStatus setPath(std::u16string_view path) = 0;
  virtual ComStatus setArguments(std::u16string_view arguments) = 0;
  virtual ComStatus setWorkingDirectory(std::u16string_view folder) = 0;
  virtual ComStatus setIconLocation(std::u16string_view path, std::int32_t index) = 0;
  virtual ComStatus setShowCmd(std::int32_t showCmd) = 0;
  virtual ComStatus setHotkey(std::uint16_t hotkey) = 0;
  virtual ComStatus setDescription(std::u16string_view description) = 0;
};

class ShellLinks {
 public:
  virtual ~ShellLinks() = default;
  // CoCreateInstance(CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IUnknown),
  // then QueryInterface for IPersistFile and IShellLinkW: one object, both
  // interfaces, released with the returned object. No object and the
  // failing HRESULT when any step fails.
  virtual ComResult<std::unique_ptr<ShellLink>> createShellLink() = 0;
};

// --- Windows Installer -------------------------------------------------------

// MsiGetComponentPathW's INSTALLSTATE answers.
namespace install_state {
inline constexpr std::int32_t kNotUsed = -7;
inline constexpr std::int32_t kBadConfig = -6;
inline constexpr std::int32_t kIncomplete = -5;
inline constexpr std::int32_t kSourceAbsent = -4;
inline constexpr std::int32_t kMoreData = -3;
inline constexpr std::int32_t kInvalidArg = -2;
inline constexpr std::int32_t kUnknown = -1;
inline constexpr std::int32_t kBroken = 0;
inline constexpr std::int32_t kAdvertised = 1;
inline constexpr std::int32_t kAbsent = 2;
inline constexpr std::int32_t kLocal = 3;
inline constexpr std::int32_t kSource = 4;
inline constexpr std::int32_t kDefault = 5;
}  // namespace install_state

// MsiGetShortcutTargetW's answer for a shortcut that is not advertised.
inline constexpr Win32Code kErrorFunctionFailed = 1627;

// The three GUID buffers of MsiGetShortcutTargetW (38 characters and a NUL).
inline constexpr std::size_t kGuidBufferChars = 39;
struct ShortcutTargetBuffers {
  std::u16string productCode;
  std::u16string featureId;
  std::u16string componentCode;
};

struct ComponentPathAnswer {
  std::int32_t state = install_state::kUnknown;
  std::u16string buffer;   // the whole buffer as the call left it
  std::uint32_t size = 0;  // what the call wrote back into its size argument
};

class Installer {
 public:
  virtual ~Installer() = default;
  // MsiGetShortcutTargetW(path, product, feature, component) into buffers
  // that hold 38 spaces and a NUL before the call: its return code, and each
  // buffer up to its first NUL (the spaces when the call left it alone).
  // ERROR_CALL_NOT_IMPLEMENTED where msi.dll or the call cannot be had.
  virtual Result<ShortcutTargetBuffers> getShortcutTarget(std::u16string_view path) = 0;
  // MsiGetComponentPathW(product, component, buffer, &size) with a buffer of
  // `bufferChars` spaces and size = bufferChars: the state it answers, the
  // buffer and the size afterwards. Code ERROR_CALL_NOT_IMPLEMENTED as above,
  // otherwise 0.
  virtual Result<ComponentPathAnswer> getComponentPath(std::u16string_view productCode,
                                                       std::u16string_view componentCode,
                                                       std::uint32_t bufferChars) = 0;
};

// --- Refreshing the shell and the desktop -----------------------------------

namespace shell_notify {
inline constexpr std::uint32_t kAdApplyRefresh = 0x4;
inline constexpr std::uint32_t kAdApplyForce = 0x8;
inline constexpr std::uint32_t kGwChild = 5;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint64_t kVkF5 = 116;
}  // namespace shell_notify

// The Active Desktop object (CLSID_ActiveDesktop), created through IUnknown.
class ActiveDesktop {
 public:
  virtual ~ActiveDesktop() = default;
  // QueryInterface for IActiveDesktop, kept until the object is released.
  virtual ComStatus queryActiveDesktop() = 0;
  // IActiveDesktop::ApplyChanges; E_NOINTERFACE before queryActiveDesktop succeeded.
  virtual ComStatus applyChanges(std::uint32_t flags) = 0;
};

class ShellNotify {
 public:
  virtual ~ShellNotify() = default;
  // CoCreateInstance(CLSID_ActiveDesktop, CLSCTX_INPROC_SERVER, IID_IUnknown).
  virtual ComResult<std::unique_ptr<ActiveDesktop>> createActiveDesktop() = 0;
  // FindWindowW: 0 when there is no such window.
  virtual WindowHandle findWindow(std::u16string_view className,
                                  std::u16string_view windowName) = 0;
  // GetWindow: 0 when there is none.
  virtual WindowHandle getWindow(WindowHandle window, std::uint32_t command) = 0;
  // PostMessageA: its success and the error it left (kErrorInvalidWindowHandle,
  // platform/processes.h, for a window that does not exist).
  virtual Status postMessage(WindowHandle window, std::uint32_t message, std::uint64_t wParam,
                             std::int64_t lParam) = 0;
};

}  // namespace tolvaran::platform
