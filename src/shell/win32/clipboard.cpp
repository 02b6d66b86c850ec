#include "shell/win32/clipboard.h"

#include <cstddef>
#include <span>

#include "shell/window_actions.h"

namespace tolvaran::win32 {
namespace {

constexpr LCID kRussianLocale = 1049;

// Open for as long as it lives: every path closes the clipboard again.
class OpenClipboard {
 public:
  explicit OpenClipboard(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
  ~OpenClipboard() {
    if (open_) ::CloseClipboard();
  }
  OpenClipboard(const OpenClipboard&) = delete;
  OpenClipboard& operator=(const OpenClipboard&) = delete;
  [[nodiscard]] bool open() const noexcept { return open_; }

 private:
  bool open_;
};

class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL block) noexcept
      : block_(block), data_(block ? ::GlobalLock(block) : nullptr) {}
  ~LockedBlock() {
    if (data_) ::GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  [[nodiscard]] std::span<const std::byte> bytes() const noexcept {
    if (!data_) return {};
    return {static_cast<const std::byte*>(data_), ::GlobalSize(block_)};
  }

 private:
  HGLOBAL block_;
  void* data_;
};

}  // namespace

std::u16string GetClipboard_UnicodeText(FailureRecorder& recorder) {
  return guarded(
      recorder, std::u16string(),
      [] {
        const OpenClipboard clipboard(nullptr);
        if (!clipboard.open()) return std::u16string();
        const LockedBlock block(::GetClipboardData(CF_UNICODETEXT));
        return unicodeBlockText(block.bytes());
      },
      [] { return ErrorContext(u"frmMain.GetClipboard_UnicodeText"); });
}

bool addRussianLocale(HWND owner) {
  const OpenClipboard clipboard(owner);
  if (!clipboard.open()) return false;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(LCID));
  if (!block) return true;
  if (void* data = ::GlobalLock(block)) {
    *static_cast<LCID*>(data) = kRussianLocale;
    ::GlobalUnlock(block);
    // On success the clipboard owns the block.
    if (::SetClipboardData(CF_LOCALE, block)) return true;
  }
  ::GlobalFree(block);
  return true;
}

}  // namespace tolvaran::win32
