#include "platform/win32/win32_shell_notify.h"

#include "platform/win32/windows_gateway.h"

#include <shlobj.h>

#include "platform/win32/win32_com.h"

namespace tolvaran::platform::win32 {

// IActiveDesktop as far as it is called: ApplyChanges is its first method.
// Declared here because the SDK headers offer it only together with
// wininet.h. It must have external linkage: inside an anonymous namespace
// the compiler sees that no class of the program implements it and turns
// the call into a jump to nowhere (measured: a crash at address 0).
struct IActiveDesktopApply : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) = 0;
};

namespace {

constexpr const wchar_t* kClsidActiveDesktop = L"{75048700-EF1F-11D0-9888-006097DEACF9}";
constexpr const wchar_t* kIidActiveDesktop = L"{F490EB00-1240-11D1-9888-006097DEACF9}";

class Win32ActiveDesktop final : public ActiveDesktop {
 public:
  explicit Win32ActiveDesktop(ComPtr<IUnknown> object) : object_(std::move(object)) {}

  ComStatus queryActiveDesktop() override {
    IID iid{};
    HRESULT hr = ::IIDFromString(const_cast<wchar_t*>(kIidActiveDesktop), &iid);
    if (SUCCEEDED(hr)) hr = object_->QueryInterface(iid, desktop_.out());
    return {static_cast<HResult>(hr)};
  }
  ComStatus applyChanges(std::uint32_t flags) override {
    if (!desktop_) return {kHresultNoInterface};
    return {static_cast<HResult>(desktop_->ApplyChanges(flags))};
  }

 private:
  ComApartment apartment_;
  ComPtr<IUnknown> object_;
  ComPtr<IActiveDesktopApply> desktop_;
};

}  // namespace

ComResult<std::unique_ptr<ActiveDesktop>> Win32ShellNotify::createActiveDesktop() {
  ComApartment apartment;
  CLSID clsid{};
  HRESULT hr = ::CLSIDFromString(const_cast<wchar_t*>(kClsidActiveDesktop), &clsid);
  if (FAILED(hr)) return {nullptr, static_cast<HResult>(hr)};
  ComPtr<IUnknown> object;
  hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.out());
  if (FAILED(hr)) return {nullptr, static_cast<HResult>(hr)};
  return {std::make_unique<Win32ActiveDesktop>(std::move(object)), static_cast<HResult>(hr)};
}

WindowHandle Win32ShellNotify::findWindow(std::u16string_view className,
                                          std::u16string_view windowName) {
  return fromWindow(::FindWindowW(toWide(className).c_str(), toWide(windowName).c_str()));
}

WindowHandle Win32ShellNotify::getWindow(WindowHandle window, std::uint32_t command) {
  return fromWindow(::GetWindow(toWindow(window), command));
}

Status Win32ShellNotify::postMessage(WindowHandle window, std::uint32_t message,
                                     std::uint64_t wParam, std::int64_t lParam) {
  if (::PostMessageA(toWindow(window), message, static_cast<WPARAM>(wParam),
                     static_cast<LPARAM>(lParam))) {
    return {};
  }
  return {::GetLastError()};
}

}  // namespace tolvaran::platform::win32
