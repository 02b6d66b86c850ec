#pragma once
// LinkInfo: where the target lived when the shortcut was made, as a local
// path on a described volume, as a network share plus suffix, or both.
// Narrow strings are kept as the code-page bytes the file holds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_format.h"
#include "shortcut/lnk_origin.h"

namespace tolvaran::lnk {

struct VolumeId {
  std::uint32_t driveType = drive::kFixed;
  std::uint32_t serialNumber = 0;
  std::string label;  // unused when labelUnicode is set
  // Set for the layout that stores the label in UTF-16 only.
  std::optional<std::u16string> labelUnicode;
  friend bool operator==(const VolumeId&, const VolumeId&) = default;
};

struct LocalTarget {
  VolumeId volume;
  std::string basePath;
  std::optional<std::u16string> basePathUnicode;
  friend bool operator==(const LocalTarget&, const LocalTarget&) = default;
};

struct NetworkNamesUnicode {
  std::u16string netName;
  std::u16string deviceName;  // with netlink::kValidDevice
  friend bool operator==(const NetworkNamesUnicode&, const NetworkNamesUnicode&) = default;
};

// CommonNetworkRelativeLink.
struct NetworkLink {
  std::uint32_t flags = netlink::kValidNetType;
  std::string netName;                      // "\\server\share"
  std::string deviceName;                   // "Z:", with netlink::kValidDevice
  std::uint32_t providerType = 0x00020000;  // WNNC_NET_LANMAN
  // Set for the layout that adds UTF-16 copies of the names.
  std::optional<NetworkNamesUnicode> unicode;
  friend bool operator==(const NetworkLink&, const NetworkLink&) = default;
};

struct LinkInfo {
  std::optional<LocalTarget> local;    // VolumeIDAndLocalBasePath
  std::optional<NetworkLink> network;  // CommonNetworkRelativeLinkAndPathSuffix
  std::string commonPathSuffix;
  std::optional<std::u16string> commonPathSuffixUnicode;
  Origin origin;
  friend bool operator==(const LinkInfo&, const LinkInfo&) = default;
};

// `bytes` are the LinkInfoSize bytes of the structure. Offsets that point
// outside it, or sizes that do not fit, make it undecodable; a string whose
// terminator is missing ends where its structure ends.
Decoded<LinkInfo> decodeLinkInfo(std::string_view bytes);
// The layout Windows writes: header, VolumeID, LocalBasePath, the network
// link on a 4-byte boundary, CommonPathSuffix, then the UTF-16 strings.
std::string encodeLinkInfo(const LinkInfo& info);

// The local path the structure records (base path followed by suffix),
// from the UTF-16 strings when it has them; empty without a local part.
std::u16string localPath(const LinkInfo& info, const AnsiCodec& codec);
// "\\server\share" followed by a backslash and the suffix, when there is
// one; empty without a network part.
std::u16string networkPath(const LinkInfo& info, const AnsiCodec& codec);

// The structure Windows records for a target path: a UNC path becomes a
// network link plus suffix, anything else a local path on `volume`. UTF-16
// copies are added when the path does not fit the code page.
LinkInfo linkInfoForPath(std::u16string_view path, const AnsiCodec& codec,
                         const VolumeId& volume = VolumeId{});

}  // namespace tolvaran::lnk
