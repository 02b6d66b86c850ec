#pragma once
// Owns one handle of the file port and closes it on every path.
#include <utility>

#include "platform/files.h"

namespace tolvaran::platform {

class ScopedFile {
 public:
  ScopedFile() = default;
  ScopedFile(Files& files, FileHandle handle) : files_(&files), handle_(handle) {}
  ScopedFile(ScopedFile&& other) noexcept
      : files_(other.files_), handle_(std::exchange(other.handle_, kInvalidFileHandle)) {}
  ScopedFile& operator=(ScopedFile&& other) noexcept {
    if (this != &other) {
      reset();
      files_ = other.files_;
      handle_ = std::exchange(other.handle_, kInvalidFileHandle);
    }
    return *this;
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  ~ScopedFile() { reset(); }

  // Opens for reading with every share mode, so that a file another program
  // holds open can still be read.
  static ScopedFile openForReading(Files& files, std::u16string_view path,
                                   Win32Code* code = nullptr) {
    auto opened =
        files.createFile(path, access::kGenericRead, share::kRead | share::kWrite | share::kDelete,
                         Disposition::kOpenExisting);
    if (code) *code = opened.code;
    return opened.ok() ? ScopedFile(files, opened.value) : ScopedFile();
  }

  [[nodiscard]] bool valid() const noexcept { return handle_ != kInvalidFileHandle; }
  [[nodiscard]] FileHandle get() const noexcept { return handle_; }

  void reset() noexcept {
    if (valid()) (void)files_->closeHandle(handle_);
    handle_ = kInvalidFileHandle;
  }

 private:
  Files* files_ = nullptr;
  FileHandle handle_ = kInvalidFileHandle;
};

}  // namespace tolvaran::platform
