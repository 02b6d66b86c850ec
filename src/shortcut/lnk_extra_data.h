#pragma once
// Extra data blocks: what follows the strings of a shortcut, one block after
// another. Every block is kept as the bytes it was read from, so blocks this
// program never looks at come back unchanged; the blocks it understands are
// read and made through the typed views below.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shortcut/lnk_format.h"
#include "shortcut/lnk_id_list.h"

namespace tolvaran::lnk {

struct ExtraBlock {
  std::uint32_t signature = 0;
  std::string data;  // the bytes after the size and signature fields
  friend bool operator==(const ExtraBlock&, const ExtraBlock&) = default;
};

// The block's bytes as they stand in the file: size, signature, data.
std::string encodeExtraBlock(const ExtraBlock& block);

// EnvironmentVariables, IconEnvironment and Darwin blocks: one string twice,
// in the code page and in UTF-16, each in a MAX_PATH buffer.
struct ExpandableString {
  std::string ansi;
  std::u16string unicode;
  friend bool operator==(const ExpandableString&, const ExpandableString&) = default;
};

struct TrackerData {
  std::uint32_t length = 0x58;
  std::uint32_t version = 0;
  std::string machineId;  // NetBIOS name, at most 16 bytes
  Guid droidVolume{};
  Guid droidFile{};
  Guid birthDroidVolume{};
  Guid birthDroidFile{};
  friend bool operator==(const TrackerData&, const TrackerData&) = default;
};

struct ConsoleData {
  std::uint16_t fillAttributes = 0;
  std::uint16_t popupFillAttributes = 0;
  std::int16_t screenBufferSizeX = 0;
  std::int16_t screenBufferSizeY = 0;
  std::int16_t windowSizeX = 0;
  std::int16_t windowSizeY = 0;
  std::int16_t windowOriginX = 0;
  std::int16_t windowOriginY = 0;
  std::uint32_t unused1 = 0;
  std::uint32_t unused2 = 0;
  std::uint32_t fontSize = 0;
  std::uint32_t fontFamily = 0;
  std::uint32_t fontWeight = 0;
  std::u16string faceName;  // at most 32 units
  std::uint32_t cursorSize = 0;
  std::uint32_t fullScreen = 0;
  std::uint32_t quickEdit = 0;
  std::uint32_t insertMode = 0;
  std::uint32_t autoPosition = 0;
  std::uint32_t historyBufferSize = 0;
  std::uint32_t numberOfHistoryBuffers = 0;
  std::uint32_t historyNoDup = 0;
  std::array<std::uint32_t, 16> colorTable{};
  friend bool operator==(const ConsoleData&, const ConsoleData&) = default;
};

struct KnownFolderData {
  Guid folderId{};
  std::uint32_t offset = 0;  // into the target ID list
  friend bool operator==(const KnownFolderData&, const KnownFolderData&) = default;
};

struct SpecialFolderData {
  std::uint32_t folderId = 0;  // a CSIDL
  std::uint32_t offset = 0;    // into the target ID list
  friend bool operator==(const SpecialFolderData&, const SpecialFolderData&) = default;
};

// Each view answers nothing when the block has another signature or a size
// its kind does not have. Strings are cut at their first NUL.
std::optional<ExpandableString> readExpandableString(const ExtraBlock& block);
std::optional<TrackerData> readTracker(const ExtraBlock& block);
std::optional<ConsoleData> readConsole(const ExtraBlock& block);
std::optional<std::uint32_t> readConsoleFeCodePage(const ExtraBlock& block);
std::optional<KnownFolderData> readKnownFolder(const ExtraBlock& block);
std::optional<SpecialFolderData> readSpecialFolder(const ExtraBlock& block);
std::optional<std::u16string> readShimLayerName(const ExtraBlock& block);
std::optional<IdList> readVistaIdList(const ExtraBlock& block);
bool isPropertyStore(const ExtraBlock& block) noexcept;

// The blocks Windows writes. Strings longer than their buffer are cut so
// that the terminator still fits.
ExtraBlock makeExpandableString(std::uint32_t signature, const ExpandableString& value);
ExtraBlock makeTracker(const TrackerData& value);
ExtraBlock makeConsole(const ConsoleData& value);
ExtraBlock makeConsoleFe(std::uint32_t codePage);
ExtraBlock makeKnownFolder(const KnownFolderData& value);
ExtraBlock makeSpecialFolder(const SpecialFolderData& value);
ExtraBlock makeShim(std::u16string_view layerName);
ExtraBlock makeVistaIdList(const IdList& list);

}  // namespace tolvaran::lnk
