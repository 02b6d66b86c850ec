#pragma once
// Numbers of the shell-link binary format: flag bits, structure sizes and
// the signatures of the extra data blocks.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvaran::lnk {

using Guid = std::array<std::uint8_t, 16>;

// {00021401-0000-0000-C000-000000000046} as the file stores it.
inline constexpr Guid kShellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

inline constexpr std::size_t kHeaderSize = 0x4C;

// LinkFlags of the header.
namespace flag {
inline constexpr std::uint32_t kHasLinkTargetIdList = 1u << 0;
inline constexpr std::uint32_t kHasLinkInfo = 1u << 1;
inline constexpr std::uint32_t kHasName = 1u << 2;
inline constexpr std::uint32_t kHasRelativePath = 1u << 3;
inline constexpr std::uint32_t kHasWorkingDir = 1u << 4;
inline constexpr std::uint32_t kHasArguments = 1u << 5;
inline constexpr std::uint32_t kHasIconLocation = 1u << 6;
inline constexpr std::uint32_t kIsUnicode = 1u << 7;
inline constexpr std::uint32_t kForceNoLinkInfo = 1u << 8;
inline constexpr std::uint32_t kHasExpString = 1u << 9;
inline constexpr std::uint32_t kHasDarwinId = 1u << 12;
inline constexpr std::uint32_t kRunAsUser = 1u << 13;
inline constexpr std::uint32_t kHasExpIcon = 1u << 14;
inline constexpr std::uint32_t kRunWithShimLayer = 1u << 17;
inline constexpr std::uint32_t kPreferEnvironmentPath = 1u << 25;
// The bits that say which optional sections follow the header; the writer
// derives them from the sections the model holds.
inline constexpr std::uint32_t kSectionBits = kHasLinkTargetIdList | kHasLinkInfo | kHasName |
                                              kHasRelativePath | kHasWorkingDir | kHasArguments |
                                              kHasIconLocation;
}  // namespace flag

// ShowCommand values the shell honours; anything else reads as normal.
namespace show {
inline constexpr std::uint32_t kNormal = 1;
inline constexpr std::uint32_t kMaximized = 3;
inline constexpr std::uint32_t kMinNoActive = 7;
}  // namespace show

// LinkInfo.
inline constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
inline constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
namespace linkinfo {
inline constexpr std::uint32_t kVolumeIdAndLocalBasePath = 1u << 0;
inline constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 1u << 1;
}  // namespace linkinfo
inline constexpr std::uint32_t kVolumeIdHeaderSize = 0x10;
inline constexpr std::uint32_t kVolumeIdHeaderSizeUnicode = 0x14;
inline constexpr std::uint32_t kNetworkLinkHeaderSize = 0x14;
inline constexpr std::uint32_t kNetworkLinkHeaderSizeUnicode = 0x1C;
namespace netlink {
inline constexpr std::uint32_t kValidDevice = 1u << 0;
inline constexpr std::uint32_t kValidNetType = 1u << 1;
}  // namespace netlink

// Drive types of the VolumeID (GetDriveType's numbers).
namespace drive {
inline constexpr std::uint32_t kUnknown = 0;
inline constexpr std::uint32_t kRemovable = 2;
inline constexpr std::uint32_t kFixed = 3;
inline constexpr std::uint32_t kRemote = 4;
}  // namespace drive

// Extra data blocks: a block whose size field is below 4 ends the list.
inline constexpr std::uint32_t kTerminalBlockLimit = 4;
inline constexpr std::size_t kBlockHeaderSize = 8;
namespace sig {
inline constexpr std::uint32_t kEnvironmentVariables = 0xA0000001;
inline constexpr std::uint32_t kConsole = 0xA0000002;
inline constexpr std::uint32_t kTracker = 0xA0000003;
inline constexpr std::uint32_t kConsoleFe = 0xA0000004;
inline constexpr std::uint32_t kSpecialFolder = 0xA0000005;
inline constexpr std::uint32_t kDarwin = 0xA0000006;
inline constexpr std::uint32_t kIconEnvironment = 0xA0000007;
inline constexpr std::uint32_t kShim = 0xA0000008;
inline constexpr std::uint32_t kPropertyStore = 0xA0000009;
inline constexpr std::uint32_t kKnownFolder = 0xA000000B;
inline constexpr std::uint32_t kVistaAndAboveIdList = 0xA000000C;
}  // namespace sig

// Whole-block sizes (size field included) of the fixed-size blocks.
inline constexpr std::uint32_t kExpandableStringBlockSize = 0x314;
inline constexpr std::uint32_t kConsoleBlockSize = 0xCC;
inline constexpr std::uint32_t kConsoleFeBlockSize = 0x0C;
inline constexpr std::uint32_t kTrackerBlockSize = 0x60;
inline constexpr std::uint32_t kSpecialFolderBlockSize = 0x10;
inline constexpr std::uint32_t kKnownFolderBlockSize = 0x1C;
inline constexpr std::uint32_t kShimBlockMinSize = 0x88;
inline constexpr std::uint32_t kVistaIdListBlockMinSize = 0x0A;
inline constexpr std::uint32_t kPropertyStoreBlockMinSize = 0x0C;

// The ANSI and Unicode halves of an expandable-string block hold MAX_PATH
// characters each, terminator included.
inline constexpr std::size_t kMaxPath = 260;

}  // namespace tolvaran::lnk
