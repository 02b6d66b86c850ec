#include "shortcut/link_info_target.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/scoped_file.h"
#include "shortcut/lnk_bytes.h"
#include "support/text.h"

namespace tolvaran {

namespace {

using platform::Win32Code;

constexpr std::uint64_t kHeaderLength = 76;
constexpr std::uint64_t kLinkInfoFieldsLength = 36;
constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr std::uint32_t kUnicodeHeaderSize = 0x24;

[[noreturn]] void fail(std::int32_t number, Win32Code code = platform::kErrorSuccess) {
  throw RuntimeError(runtimeFailure(number, static_cast<std::int32_t>(code)));
}

// Reads byte ranges of one open file. A range is given the bytes the file
// has there; what lies past the end reads as NUL bytes.
class LinkFileBytes {
 public:
  LinkFileBytes(platform::Files& files, std::u16string_view path) : files_(files) {
    Win32Code code = platform::kErrorSuccess;
    file_ = platform::ScopedFile::openForReading(files, path, &code);
    if (!file_.valid()) throw RuntimeError(fileCallFailure(code));
    const auto size = files.getFileSize(file_.get());
    if (!size.ok()) fail(rt::kDeviceIoError, size.code);
    size_ = size.value;
  }

  // Exactly `length` bytes (a fixed-size structure).
  std::string readFixed(std::uint64_t position, std::uint64_t length) {
    std::string bytes = readExisting(position, length);
    bytes.resize(length, '\0');
    return bytes;
  }

  // A string's bytes: those that exist, and when the range runs past the
  // end, enough NUL bytes to end the string there (one, or two so that a
  // UTF-16 string with an odd byte left also ends).
  std::string readString(std::uint64_t position, std::uint64_t length) {
    std::string bytes = readExisting(position, length);
    bytes.append(static_cast<std::size_t>(std::min<std::uint64_t>(length - bytes.size(), 2)), '\0');
    return bytes;
  }

 private:
  std::string readExisting(std::uint64_t position, std::uint64_t length) {
    if (position >= size_) return {};
    const auto count = static_cast<std::size_t>(std::min(length, size_ - position));
    std::string bytes(count, '\0');
    if (count == 0) return bytes;
    const auto seek = files_.seekFile(file_.get(), position);
    if (!seek.ok()) fail(rt::kDeviceIoError, seek.code);
    std::size_t done = 0;
    while (done < count) {
      const auto chunk = std::span(reinterpret_cast<std::byte*>(bytes.data()) + done, count - done);
      const auto read = files_.readFile(file_.get(), chunk);
      if (!read.ok()) {
        fail(
            read.code == platform::kErrorLockViolation ? rt::kPermissionDenied : rt::kDeviceIoError,
            read.code);
      }
      if (read.value == 0) break;  // the file shrank meanwhile
      done += std::min<std::size_t>(read.value, chunk.size());
    }
    bytes.resize(done);
    return bytes;
  }

  platform::Files& files_;
  platform::ScopedFile file_;
  std::uint64_t size_ = 0;
};

std::u16string cutAtNul(std::u16string_view text) {
  return std::u16string(lnk::cutAtNul(text));
}

std::u16string readTarget(platform::Files& files, platform::System& system,
                          std::u16string_view path) {
  LinkFileBytes file(files, path);
  const std::string header = file.readFixed(0, kHeaderLength);
  const std::uint32_t linkFlags = lnk::u32At(header, 20);
  std::uint64_t linkInfoPos = kHeaderLength;
  if (linkFlags & kHasLinkTargetIdList) {
    linkInfoPos = kHeaderLength + 2 + lnk::u16At(file.readFixed(kHeaderLength, 2), 0);
  }
  if (!(linkFlags & kHasLinkInfo)) return {};

  const std::string fields = file.readFixed(linkInfoPos, kLinkInfoFieldsLength);
  const auto field = [&](std::size_t index) -> std::int64_t {
    return lnk::u32At(fields, 4 * index);
  };
  const std::int64_t linkInfoSize = field(0);
  const std::int64_t headerSize = field(1);
  const auto flags = static_cast<std::uint32_t>(field(2));
  const std::int64_t localBasePathOffset = field(4);
  const std::int64_t networkLinkOffset = field(5);
  const std::int64_t commonPathSuffixOffset = field(6);
  const std::int64_t localBasePathOffsetUnicode = field(7);
  const std::int64_t commonPathSuffixOffsetUnicode = field(8);
  if (!(flags & kVolumeIdAndLocalBasePath)) return {};

  // Offsets are unsigned and the base is small, so a position is never
  // negative; a length can be.
  const auto at = [&](std::int64_t offset) {
    return linkInfoPos + static_cast<std::uint64_t>(offset);
  };
  const std::int64_t localLength =
      ((flags & kCommonNetworkRelativeLinkAndPathSuffix) ? networkLinkOffset
                                                         : commonPathSuffixOffset) -
      localBasePathOffset;
  if (localLength - 1 < 0) fail(rt::kInvalidProcedureCall);
  std::u16string localA = system.ansiToWide(
      file.readString(at(localBasePathOffset), static_cast<std::uint64_t>(localLength - 1)));

  std::int64_t suffixLength = 0;
  std::u16string wide;
  if (headerSize >= kUnicodeHeaderSize) {
    suffixLength = localBasePathOffsetUnicode - commonPathSuffixOffset;
    const std::int64_t localSpan = commonPathSuffixOffsetUnicode - localBasePathOffsetUnicode;
    const std::int64_t suffixSpan = linkInfoSize - commonPathSuffixOffsetUnicode;
    if (localSpan + suffixSpan >= 2) {
      if (localSpan >= 2) {
        wide = cutAtNul(utf16leToText(file.readString(at(localBasePathOffsetUnicode),
                                                      static_cast<std::uint64_t>(localSpan))));
      }
      if (suffixSpan >= 2) {
        wide += cutAtNul(utf16leToText(file.readString(at(commonPathSuffixOffsetUnicode),
                                                       static_cast<std::uint64_t>(suffixSpan))));
      }
    }
  } else {
    suffixLength = linkInfoSize - commonPathSuffixOffset;
  }

  std::u16string suffixA;
  if (suffixLength > 1) {
    suffixA = system.ansiToWide(
        file.readString(at(commonPathSuffixOffset), static_cast<std::uint64_t>(suffixLength - 1)));
  }
  localA = cutAtNul(trimSpaces(localA));
  suffixA = cutAtNul(trimSpaces(suffixA));

  if (wide.size() > 1) return wide;
  if (suffixA.empty()) return localA;
  return localA + suffixA;
}

}  // namespace

std::u16string GetLinkInfoTarget(platform::Files& files, platform::System& system,
                                 FailureRecorder& recorder, std::u16string_view path) {
  return guarded(
      recorder, std::u16string(), [&] { return readTarget(files, system, path); },
      [&] { return ErrorContext(u"Parser.GetLinkInfoTarget", u"File: ", path); });
}

}  // namespace tolvaran
