#include "system/checksums.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "platform/scoped_file.h"

namespace tolvaran {

namespace {

using platform::Win32Code;

// Large enough to keep the number of port calls low, small enough that a
// multi-gigabyte file never has to fit in memory.
constexpr std::size_t kChunkSize = 64 * 1024;

std::int32_t openFailureNumber(Win32Code code) noexcept {
  switch (code) {
    case platform::kErrorFileNotFound: return rt::kFileNotFound;
    case platform::kErrorPathNotFound: return rt::kPathNotFound;
    case platform::kErrorSharingViolation:
    case platform::kErrorLockViolation: return rt::kPermissionDenied;
    default: return rt::kPathFileAccessError;
  }
}

std::int32_t readFailureNumber(Win32Code code) noexcept {
  return code == platform::kErrorLockViolation ? rt::kPermissionDenied : rt::kDeviceIoError;
}

[[noreturn]] void fail(std::int32_t number, Win32Code code) {
  throw RuntimeError(runtimeFailure(number, static_cast<std::int32_t>(code)));
}

// Feeds the file's bytes to `consume` chunk by chunk. Throws RuntimeError
// when the file cannot be opened or a read fails; the handle is closed on
// every path.
void readFileInChunks(platform::Files& files, std::u16string_view path,
                      const std::function<void(std::span<const std::byte>)>& consume) {
  Win32Code code = platform::kErrorSuccess;
  const auto file = platform::ScopedFile::openForReading(files, path, &code);
  if (!file.valid()) {
    fail(openFailureNumber(code),
         code == platform::kErrorSuccess ? platform::kErrorInvalidHandle : code);
  }

  std::vector<std::byte> buffer(kChunkSize);
  for (;;) {
    const auto read = files.readFile(file.get(), buffer);
    if (!read.ok()) fail(readFailureNumber(read.code), read.code);
    // A port must not claim more than it was given room for.
    const std::size_t count = std::min<std::size_t>(read.value, buffer.size());
    if (count == 0) break;
    consume(std::span<const std::byte>(buffer.data(), count));
  }
}

bool isSurrogate(char16_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

}  // namespace

std::string ansiBytePerUnit(std::u16string_view text,
                            const std::function<std::string(std::u16string_view)>& toAnsi) {
  std::string whole = toAnsi(text);
  // Every unit that is not a surrogate gives at least one byte, so equal
  // lengths mean a single-byte conversion: the bytes are the codes.
  if (whole.size() == text.size() && std::none_of(text.begin(), text.end(), isSurrogate)) {
    return whole;
  }
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      bytes.push_back(static_cast<char>(unit));  // ASCII is itself in every ANSI code page
      continue;
    }
    const std::string code = toAnsi(std::u16string_view(&unit, 1));
    bytes.push_back(code.empty() ? '?' : code.back());
  }
  return bytes;
}

// --- clsCRC32 ---------------------------------------------------------------

clsCRC32::clsCRC32(platform::System& system, platform::Files& files) noexcept
    : system_(&system), files_(&files) {}

std::uint32_t clsCRC32::Shr(std::uint32_t value, std::int32_t count) noexcept {
  if (count >= 32) return 0;
  if (count <= 0) return value;
  return value >> count;
}

std::u16string clsCRC32::CalcCRC(std::u16string_view text) {
  return ignoringFailures(std::u16string(), [&] {
    crc_.reset();
    crc_.update(ansiBytePerUnit(
        text, [this](std::u16string_view part) { return system_->wideToAnsi(part); }));
    return crc32ToHex(crc_.value());
  });
}

std::u16string clsCRC32::CalcFileCRC(std::u16string_view path) {
  return ignoringFailures(std::u16string(), [&] {
    crc_.reset();
    readFileInChunks(*files_, path,
                     [this](std::span<const std::byte> chunk) { crc_.update(chunk); });
    return crc32ToHex(crc_.value());
  });
}

// --- clsMD5_hash --------------------------------------------------------------

clsMD5_hash::clsMD5_hash(platform::System& system, platform::Files& files,
                         FailureRecorder& recorder) noexcept
    : system_(&system), files_(&files), recorder_(&recorder) {}

std::u16string clsMD5_hash::DigestStrToHexStr(std::u16string_view text) {
  Md5 md5;
  guardedStep(
      *recorder_, [&] { md5.update(system_->wideToAnsi(text)); },
      [&] { return ErrorContext(u"clsMD5_hash.DigestStrToHexStr", u"String=", text); });
  return md5ToHex(md5.finish());
}

std::u16string clsMD5_hash::DigestFileToHexStr(std::u16string_view path) {
  Md5 md5;
  guardedStep(
      *recorder_,
      [&] {
        readFileInChunks(*files_, path,
                         [&](std::span<const std::byte> chunk) { md5.update(chunk); });
      },
      [&] { return ErrorContext(u"clsMD5_hash.DigestFileToHexStr", u"File=", path); });
  return md5ToHex(md5.finish());
}

}  // namespace tolvaran
