#include "shortcut/lnk_link_info.h"

#include <cstddef>

namespace tolvaran::lnk {

namespace {

// Field offsets inside the structures.
constexpr std::size_t kSizeField = 0;
constexpr std::size_t kHeaderSizeField = 4;
constexpr std::size_t kFlagsField = 8;
constexpr std::size_t kVolumeIdOffsetField = 12;
constexpr std::size_t kLocalBasePathOffsetField = 16;
constexpr std::size_t kNetworkLinkOffsetField = 20;
constexpr std::size_t kCommonPathSuffixOffsetField = 24;
constexpr std::size_t kLocalBasePathUnicodeOffsetField = 28;
constexpr std::size_t kCommonPathSuffixUnicodeOffsetField = 32;

// A sub-structure that starts with its own 32-bit size: its bytes, when the
// size is at least `minSize` and it fits in `outer`.
std::optional<std::string_view> sizedStructure(std::string_view outer, std::size_t offset,
                                               std::uint32_t minSize) {
  const auto size = readU32(outer, offset);
  if (!size || *size < minSize) return std::nullopt;
  return bytesAt(outer, offset, *size);
}

std::optional<std::u16string> utf16StringAt(std::string_view bytes, std::size_t offset) {
  if (offset >= bytes.size()) return std::nullopt;
  return utf16UntilNul(bytes.substr(offset));
}

Decoded<VolumeId> decodeVolumeId(std::string_view volume) {
  VolumeId decoded;
  decoded.driveType = u32At(volume, 4);
  decoded.serialNumber = u32At(volume, 8);
  const std::uint32_t labelOffset = u32At(volume, 12);
  if (labelOffset == kVolumeIdHeaderSizeUnicode) {
    const auto unicodeOffset = readU32(volume, 16);
    if (!unicodeOffset) return {std::nullopt, 12};
    auto label = utf16StringAt(volume, *unicodeOffset);
    if (!label) return {std::nullopt, 16};
    decoded.labelUnicode = std::move(*label);
  } else {
    const auto label = narrowStringAt(volume, labelOffset);
    if (!label) return {std::nullopt, 12};
    decoded.label.assign(*label);
  }
  return {std::move(decoded), 0};
}

Decoded<NetworkLink> decodeNetworkLink(std::string_view link) {
  NetworkLink decoded;
  decoded.flags = u32At(link, 4);
  const std::uint32_t netNameOffset = u32At(link, 8);
  const std::uint32_t deviceNameOffset = u32At(link, 12);
  decoded.providerType = u32At(link, 16);
  const bool validDevice = (decoded.flags & netlink::kValidDevice) != 0;

  const auto netName = narrowStringAt(link, netNameOffset);
  if (!netName) return {std::nullopt, 8};
  decoded.netName.assign(*netName);
  if (validDevice) {
    const auto deviceName = narrowStringAt(link, deviceNameOffset);
    if (!deviceName) return {std::nullopt, 12};
    decoded.deviceName.assign(*deviceName);
  }
  // The UTF-16 offsets exist exactly when the names start after them.
  if (netNameOffset > kNetworkLinkHeaderSize) {
    if (link.size() < kNetworkLinkHeaderSizeUnicode) return {std::nullopt, 8};
    NetworkNamesUnicode unicode;
    auto netNameUnicode = utf16StringAt(link, u32At(link, 20));
    if (!netNameUnicode) return {std::nullopt, 20};
    unicode.netName = std::move(*netNameUnicode);
    if (validDevice) {
      auto deviceNameUnicode = utf16StringAt(link, u32At(link, 24));
      if (!deviceNameUnicode) return {std::nullopt, 24};
      unicode.deviceName = std::move(*deviceNameUnicode);
    }
    decoded.unicode = std::move(unicode);
  }
  return {std::move(decoded), 0};
}

// Appends a sub-structure whose first field is its size, filled in last.
template <class Body>
std::uint32_t appendSized(std::string& out, Body&& body) {
  const std::size_t start = out.size();
  appendU32(out, 0);
  body();
  const auto size = static_cast<std::uint32_t>(out.size() - start);
  patchU32(out, start, size);
  return static_cast<std::uint32_t>(start);
}

void encodeVolumeId(std::string& out, const VolumeId& volume) {
  appendSized(out, [&] {
    appendU32(out, volume.driveType);
    appendU32(out, volume.serialNumber);
    if (volume.labelUnicode) {
      appendU32(out, kVolumeIdHeaderSizeUnicode);
      appendU32(out, kVolumeIdHeaderSizeUnicode);
      appendUtf16(out, *volume.labelUnicode);
      appendU16(out, 0);
    } else {
      appendU32(out, kVolumeIdHeaderSize);
      out += volume.label;
      out.push_back('\0');
    }
  });
}

void encodeNetworkLink(std::string& out, const NetworkLink& link) {
  const std::size_t start = out.size();
  const bool validDevice = (link.flags & netlink::kValidDevice) != 0;
  const auto fieldAt = [&](std::size_t field) { return start + field; };
  appendSized(out, [&] {
    appendU32(out, link.flags);
    appendU32(out, 0);  // NetNameOffset
    appendU32(out, 0);  // DeviceNameOffset
    appendU32(out, link.providerType);
    if (link.unicode) {
      appendU32(out, 0);  // NetNameOffsetUnicode
      appendU32(out, 0);  // DeviceNameOffsetUnicode
    }
    const auto here = [&] { return static_cast<std::uint32_t>(out.size() - start); };
    patchU32(out, fieldAt(8), here());
    out += link.netName;
    out.push_back('\0');
    if (validDevice) {
      patchU32(out, fieldAt(12), here());
      out += link.deviceName;
      out.push_back('\0');
    }
    if (link.unicode) {
      padTo(out, 2);
      patchU32(out, fieldAt(20), here());
      appendUtf16(out, link.unicode->netName);
      appendU16(out, 0);
      if (validDevice) {
        patchU32(out, fieldAt(24), here());
        appendUtf16(out, link.unicode->deviceName);
        appendU16(out, 0);
      }
    }
  });
}

}  // namespace

Decoded<LinkInfo> decodeLinkInfo(std::string_view bytes) {
  if (bytes.size() < kLinkInfoHeaderSize) return {std::nullopt, kSizeField};
  const std::uint32_t headerSize = u32At(bytes, kHeaderSizeField);
  if (headerSize < kLinkInfoHeaderSize || headerSize > bytes.size()) {
    return {std::nullopt, kHeaderSizeField};
  }
  const std::uint32_t flags = u32At(bytes, kFlagsField);
  const bool unicodeOffsets = headerSize >= kLinkInfoHeaderSizeUnicode;

  LinkInfo info;
  if (flags & linkinfo::kVolumeIdAndLocalBasePath) {
    const std::uint32_t volumeOffset = u32At(bytes, kVolumeIdOffsetField);
    const auto volumeBytes = sizedStructure(bytes, volumeOffset, kVolumeIdHeaderSize);
    if (!volumeBytes) return {std::nullopt, kVolumeIdOffsetField};
    auto volume = decodeVolumeId(*volumeBytes);
    if (!volume.value) return {std::nullopt, volumeOffset + volume.errorOffset};

    LocalTarget local;
    local.volume = std::move(*volume.value);
    const auto basePath = narrowStringAt(bytes, u32At(bytes, kLocalBasePathOffsetField));
    if (!basePath) return {std::nullopt, kLocalBasePathOffsetField};
    local.basePath.assign(*basePath);
    if (unicodeOffsets) {
      const std::uint32_t offset = u32At(bytes, kLocalBasePathUnicodeOffsetField);
      if (offset != 0) {
        local.basePathUnicode = utf16StringAt(bytes, offset);
        if (!local.basePathUnicode) return {std::nullopt, kLocalBasePathUnicodeOffsetField};
      }
    }
    info.local = std::move(local);
  }
  if (flags & linkinfo::kCommonNetworkRelativeLinkAndPathSuffix) {
    const std::uint32_t linkOffset = u32At(bytes, kNetworkLinkOffsetField);
    const auto linkBytes = sizedStructure(bytes, linkOffset, kNetworkLinkHeaderSize);
    if (!linkBytes) return {std::nullopt, kNetworkLinkOffsetField};
    auto link = decodeNetworkLink(*linkBytes);
    if (!link.value) return {std::nullopt, linkOffset + link.errorOffset};
    info.network = std::move(*link.value);
  }
  const auto suffix = narrowStringAt(bytes, u32At(bytes, kCommonPathSuffixOffsetField));
  if (!suffix) return {std::nullopt, kCommonPathSuffixOffsetField};
  info.commonPathSuffix.assign(*suffix);
  if (unicodeOffsets) {
    const std::uint32_t offset = u32At(bytes, kCommonPathSuffixUnicodeOffsetField);
    if (offset != 0) {
      info.commonPathSuffixUnicode = utf16StringAt(bytes, offset);
      if (!info.commonPathSuffixUnicode) return {std::nullopt, kCommonPathSuffixUnicodeOffsetField};
    }
  }
  info.origin.bytes = std::string(bytes);
  return {std::move(info), 0};
}

std::string encodeLinkInfo(const LinkInfo& info) {
  const bool unicode =
      (info.local && info.local->basePathUnicode) || info.commonPathSuffixUnicode.has_value();
  const std::uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;
  std::uint32_t flags = 0;
  if (info.local) flags |= linkinfo::kVolumeIdAndLocalBasePath;
  if (info.network) flags |= linkinfo::kCommonNetworkRelativeLinkAndPathSuffix;

  std::string out;
  appendU32(out, 0);  // LinkInfoSize, known at the end
  appendU32(out, headerSize);
  appendU32(out, flags);
  out.append(headerSize - out.size(), '\0');  // the offsets, filled in below
  const auto here = [&] { return static_cast<std::uint32_t>(out.size()); };

  if (info.local) {
    patchU32(out, kVolumeIdOffsetField, here());
    encodeVolumeId(out, info.local->volume);
    patchU32(out, kLocalBasePathOffsetField, here());
    out += info.local->basePath;
    out.push_back('\0');
  }
  if (info.network) {
    padTo(out, 4);
    patchU32(out, kNetworkLinkOffsetField, here());
    encodeNetworkLink(out, *info.network);
  }
  patchU32(out, kCommonPathSuffixOffsetField, here());
  out += info.commonPathSuffix;
  out.push_back('\0');
  if (info.local && info.local->basePathUnicode) {
    padTo(out, 2);
    patchU32(out, kLocalBasePathUnicodeOffsetField, here());
    appendUtf16(out, *info.local->basePathUnicode);
    appendU16(out, 0);
  }
  if (info.commonPathSuffixUnicode) {
    padTo(out, 2);
    patchU32(out, kCommonPathSuffixUnicodeOffsetField, here());
    appendUtf16(out, *info.commonPathSuffixUnicode);
    appendU16(out, 0);
  }
  patchU32(out, kSizeField, here());
  return out;
}

std::u16string localPath(const LinkInfo& info, const AnsiCodec& codec) {
  if (!info.local) return {};
  if (info.local->basePathUnicode) {
    return *info.local->basePathUnicode +
           info.commonPathSuffixUnicode.value_or(codec.toText(info.commonPathSuffix));
  }
  return codec.toText(info.local->basePath) + codec.toText(info.commonPathSuffix);
}

std::u16string networkPath(const LinkInfo& info, const AnsiCodec& codec) {
  if (!info.network) return {};
  std::u16string path =
      info.network->unicode ? info.network->unicode->netName : codec.toText(info.network->netName);
  const std::u16string suffix =
      info.commonPathSuffixUnicode.value_or(codec.toText(info.commonPathSuffix));
  if (!suffix.empty()) path += u'\\' + suffix;
  return path;
}

LinkInfo linkInfoForPath(std::u16string_view path, const AnsiCodec& codec, const VolumeId& volume) {
  LinkInfo info;
  const bool unc =
      path.size() > 2 && path.substr(0, 2) == u"\\\\" && path[2] != u'?' && path[2] != u'.';
  if (unc) {
    // "\\server\share" is the net name; what follows its backslash, the suffix.
    const std::size_t serverEnd = path.find(u'\\', 2);
    const std::size_t shareEnd =
        serverEnd == std::u16string_view::npos ? serverEnd : path.find(u'\\', serverEnd + 1);
    const std::u16string_view netName = path.substr(0, shareEnd);
    const std::u16string_view suffix =
        shareEnd == std::u16string_view::npos ? std::u16string_view() : path.substr(shareEnd + 1);
    NetworkLink link;
    link.netName = codec.toBytes(netName);
    info.commonPathSuffix = codec.toBytes(suffix);
    if (!fitsCodePage(codec, netName) || !fitsCodePage(codec, suffix)) {
      link.unicode = NetworkNamesUnicode{std::u16string(netName), {}};
      info.commonPathSuffixUnicode = std::u16string(suffix);
    }
    info.network = std::move(link);
    return info;
  }
  LocalTarget local;
  local.volume = volume;
  local.basePath = codec.toBytes(path);
  if (!fitsCodePage(codec, path)) {
    local.basePathUnicode = std::u16string(path);
    info.commonPathSuffixUnicode = std::u16string();
  }
  info.local = std::move(local);
  return info;
}

}  // namespace tolvaran::lnk
