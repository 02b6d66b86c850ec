#include "fileops/file_bytes.h"

#include <algorithm>
#include <span>

#include "platform/scoped_file.h"
#include "support/failure.h"

namespace tolvaran {
namespace {

[[noreturn]] void fail(std::int32_t number, platform::Win32Code code) {
  throw RuntimeError(runtimeFailure(number, static_cast<std::int32_t>(code)));
}

}  // namespace

std::string readFileBytes(platform::Files& files, std::u16string_view path, std::uint64_t limit,
                          OverLimit overLimit) {
  platform::Win32Code code = platform::kErrorSuccess;
  const platform::ScopedFile file = platform::ScopedFile::openForReading(files, path, &code);
  if (!file.valid()) throw RuntimeError(fileCallFailure(code));
  const auto size = files.getFileSize(file.get());
  if (!size.ok()) fail(rt::kDeviceIoError, size.code);
  if (size.value > limit && overLimit == OverLimit::kRefuse) {
    fail(rt::kOutOfMemory, platform::kErrorSuccess);
  }
  std::string bytes(static_cast<std::size_t>(std::min(size.value, limit)), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk =
        std::span(reinterpret_cast<std::byte*>(bytes.data()) + done, bytes.size() - done);
    const auto read = files.readFile(file.get(), chunk);
    if (!read.ok()) {
      fail(read.code == platform::kErrorLockViolation ? rt::kPermissionDenied : rt::kDeviceIoError,
           read.code);
    }
    if (read.value == 0) break;  // the file shrank meanwhile
    done += std::min<std::size_t>(read.value, chunk.size());
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace tolvaran
