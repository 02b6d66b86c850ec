#pragma once
// A file port that passes every call to another one, except that one named
// call may throw (as an allocation failure would) and GetFileSizeEx may
// report a size no simulated disk can hold.
#include <new>
#include <optional>
#include <string>

#include "platform/files.h"

namespace tolvaran {

class ForwardingFiles final : public platform::Files {
 public:
  explicit ForwardingFiles(platform::Files& inner) : inner_(inner) {}

  // "getFileAttributes", "findNextFile", ...: that call throws std::bad_alloc.
  void throwIn(std::string call) { throwIn_ = std::move(call); }
  void reportSize(std::uint64_t size) { size_ = size; }

  using R32 = platform::Result<std::uint32_t>;
  using Text = platform::Result<std::u16string>;
  using Status = platform::Status;
  using Path = std::u16string_view;

  R32 getFileAttributes(Path p) override { return at("getFileAttributes").getFileAttributes(p); }
  Status setFileAttributes(Path p, std::uint32_t a) override {
    return at("setFileAttributes").setFileAttributes(p, a);
  }
  Status deleteFile(Path p) override { return at("deleteFile").deleteFile(p); }
  Status createDirectory(Path p) override { return at("createDirectory").createDirectory(p); }
  Status removeDirectory(Path p) override { return at("removeDirectory").removeDirectory(p); }
  Status moveFile(Path a, Path b) override { return at("moveFile").moveFile(a, b); }
  Status copyFile(Path a, Path b, bool f) override { return at("copyFile").copyFile(a, b, f); }
  Text getFullPathName(Path p) override { return at("getFullPathName").getFullPathName(p); }
  Text getLongPathName(Path p) override { return at("getLongPathName").getLongPathName(p); }
  platform::Result<platform::FindFirst> findFirstFile(Path p) override {
    return at("findFirstFile").findFirstFile(p);
  }
  platform::Result<platform::FindData> findNextFile(platform::FindHandle h) override {
    return at("findNextFile").findNextFile(h);
  }
  Status findClose(platform::FindHandle h) override { return at("findClose").findClose(h); }
  platform::Result<platform::FileHandle> createFile(Path p, std::uint32_t a, std::uint32_t s,
                                                    platform::Disposition d) override {
    return at("createFile").createFile(p, a, s, d);
  }
  R32 readFile(platform::FileHandle h, std::span<std::byte> b) override {
    return at("readFile").readFile(h, b);
  }
  R32 writeFile(platform::FileHandle h, std::span<const std::byte> d) override {
    return at("writeFile").writeFile(h, d);
  }
  platform::Result<std::uint64_t> getFileSize(platform::FileHandle h) override {
    auto size = at("getFileSize").getFileSize(h);
    if (size.ok() && size_) size.value = *size_;
    return size;
  }
  platform::Result<std::uint64_t> seekFile(platform::FileHandle h, std::uint64_t o) override {
    return at("seekFile").seekFile(h, o);
  }
  platform::Result<platform::FileTimes> getFileTime(platform::FileHandle h) override {
    return at("getFileTime").getFileTime(h);
  }
  Status closeHandle(platform::FileHandle h) override { return at("closeHandle").closeHandle(h); }
  platform::Result<bool> pathFileExists(Path p) override {
    return at("pathFileExists").pathFileExists(p);
  }
  platform::Result<bool> shellPathFileExists(Path p) override {
    return at("shellPathFileExists").shellPathFileExists(p);
  }
  platform::Result<platform::Wow64RedirectionValue> disableWow64FsRedirection() override {
    return at("disableWow64FsRedirection").disableWow64FsRedirection();
  }
  Status revertWow64FsRedirection(platform::Wow64RedirectionValue v) override {
    return at("revertWow64FsRedirection").revertWow64FsRedirection(v);
  }

 private:
  platform::Files& at(std::string_view call) {
    if (call == throwIn_) throw std::bad_alloc();
    return inner_;
  }

  platform::Files& inner_;
  std::string throwIn_;
  std::optional<std::uint64_t> size_;
};

}  // namespace tolvaran
