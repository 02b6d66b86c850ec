#pragma once
// COM helpers of the Win32 adapters: an interface pointer that releases
// itself, and a single-threaded apartment held for as long as an object
// made in it lives.
#include "platform/win32/windows_gateway.h"

#include <objbase.h>

#include <utility>

namespace tolvaran::platform::win32 {

template <class Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  [[nodiscard]] Interface* get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }
  // For the out-parameter of CoCreateInstance and QueryInterface.
  void** out() noexcept {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  void reset() noexcept {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

// CoInitializeEx(COINIT_APARTMENTTHREADED) for the calling thread, undone
// on destruction when it took effect. A thread already in another
// apartment keeps it (RPC_E_CHANGED_MODE): COM works there too.
class ComApartment {
 public:
  ComApartment() noexcept
      : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

inline HWND toWindow(std::uint64_t window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
inline std::uint64_t fromWindow(HWND window) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace tolvaran::platform::win32
