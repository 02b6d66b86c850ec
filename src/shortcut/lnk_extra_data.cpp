#include "shortcut/lnk_extra_data.h"

#include <algorithm>
#include <cstddef>

#include "shortcut/lnk_bytes.h"

namespace tolvaran::lnk {

namespace {

constexpr std::size_t kExpandableAnsiSize = kMaxPath;
constexpr std::size_t kExpandableUnicodeSize = kMaxPath * 2;
constexpr std::size_t kMachineIdSize = 16;
constexpr std::size_t kFaceNameUnits = 32;
constexpr std::size_t kShimMinDataSize = kShimBlockMinSize - kBlockHeaderSize;

// The data size a fixed-size block has.
constexpr std::size_t dataSize(std::uint32_t blockSize) {
  return blockSize - kBlockHeaderSize;
}

bool hasShape(const ExtraBlock& block, std::uint32_t signature, std::uint32_t blockSize) {
  return block.signature == signature && block.data.size() == dataSize(blockSize);
}

Guid guidAt(std::string_view bytes, std::size_t offset) {
  Guid guid{};
  for (std::size_t i = 0; i < guid.size() && offset + i < bytes.size(); ++i) {
    guid[i] = static_cast<std::uint8_t>(bytes[offset + i]);
  }
  return guid;
}

void appendGuid(std::string& out, const Guid& guid) {
  for (const std::uint8_t byte : guid) out.push_back(static_cast<char>(byte));
}

// A string in a fixed buffer: zero-filled after it; one longer than the
// buffer loses its end so that a terminator fits.
void appendNarrowBuffer(std::string& out, std::string_view text, std::size_t size) {
  if (text.size() > size) text = text.substr(0, size - 1);
  out += text;
  out.append(size - text.size(), '\0');
}

void appendUtf16Buffer(std::string& out, std::u16string_view text, std::size_t units) {
  if (text.size() > units) text = text.substr(0, units - 1);
  appendUtf16(out, text);
  out.append(2 * (units - text.size()), '\0');
}

}  // namespace

std::string encodeExtraBlock(const ExtraBlock& block) {
  std::string out;
  out.reserve(kBlockHeaderSize + block.data.size());
  appendU32(out, static_cast<std::uint32_t>(kBlockHeaderSize + block.data.size()));
  appendU32(out, block.signature);
  out += block.data;
  return out;
}

std::optional<ExpandableString> readExpandableString(const ExtraBlock& block) {
  const bool expandable = block.signature == sig::kEnvironmentVariables ||
                          block.signature == sig::kIconEnvironment ||
                          block.signature == sig::kDarwin;
  if (!expandable || block.data.size() != dataSize(kExpandableStringBlockSize)) return std::nullopt;
  const std::string_view data = block.data;
  ExpandableString value;
  value.ansi.assign(cutAtNul(data.substr(0, kExpandableAnsiSize)));
  value.unicode = utf16UntilNul(data.substr(kExpandableAnsiSize, kExpandableUnicodeSize));
  return value;
}

std::optional<TrackerData> readTracker(const ExtraBlock& block) {
  if (!hasShape(block, sig::kTracker, kTrackerBlockSize)) return std::nullopt;
  const std::string_view data = block.data;
  TrackerData value;
  value.length = u32At(data, 0);
  value.version = u32At(data, 4);
  value.machineId.assign(cutAtNul(data.substr(8, kMachineIdSize)));
  value.droidVolume = guidAt(data, 24);
  value.droidFile = guidAt(data, 40);
  value.birthDroidVolume = guidAt(data, 56);
  value.birthDroidFile = guidAt(data, 72);
  return value;
}

std::optional<ConsoleData> readConsole(const ExtraBlock& block) {
  if (!hasShape(block, sig::kConsole, kConsoleBlockSize)) return std::nullopt;
  const std::string_view data = block.data;
  ConsoleData value;
  value.fillAttributes = u16At(data, 0);
  value.popupFillAttributes = u16At(data, 2);
  value.screenBufferSizeX = static_cast<std::int16_t>(u16At(data, 4));
  value.screenBufferSizeY = static_cast<std::int16_t>(u16At(data, 6));
  value.windowSizeX = static_cast<std::int16_t>(u16At(data, 8));
  value.windowSizeY = static_cast<std::int16_t>(u16At(data, 10));
  value.windowOriginX = static_cast<std::int16_t>(u16At(data, 12));
  value.windowOriginY = static_cast<std::int16_t>(u16At(data, 14));
  value.unused1 = u32At(data, 16);
  value.unused2 = u32At(data, 20);
  value.fontSize = u32At(data, 24);
  value.fontFamily = u32At(data, 28);
  value.fontWeight = u32At(data, 32);
  value.faceName = utf16UntilNul(data.substr(36, 2 * kFaceNameUnits));
  value.cursorSize = u32At(data, 100);
  value.fullScreen = u32At(data, 104);
  value.quickEdit = u32At(data, 108);
  value.insertMode = u32At(data, 112);
  value.autoPosition = u32At(data, 116);
  value.historyBufferSize = u32At(data, 120);
  value.numberOfHistoryBuffers = u32At(data, 124);
  value.historyNoDup = u32At(data, 128);
  for (std::size_t i = 0; i < value.colorTable.size(); ++i) {
    value.colorTable[i] = u32At(data, 132 + 4 * i);
  }
  return value;
}

std::optional<std::uint32_t> readConsoleFeCodePage(const ExtraBlock& block) {
  if (!hasShape(block, sig::kConsoleFe, kConsoleFeBlockSize)) return std::nullopt;
  return u32At(block.data, 0);
}

std::optional<KnownFolderData> readKnownFolder(const ExtraBlock& block) {
  if (!hasShape(block, sig::kKnownFolder, kKnownFolderBlockSize)) return std::nullopt;
  return KnownFolderData{guidAt(block.data, 0), u32At(block.data, 16)};
}

std::optional<SpecialFolderData> readSpecialFolder(const ExtraBlock& block) {
  if (!hasShape(block, sig::kSpecialFolder, kSpecialFolderBlockSize)) return std::nullopt;
  return SpecialFolderData{u32At(block.data, 0), u32At(block.data, 4)};
}

std::optional<std::u16string> readShimLayerName(const ExtraBlock& block) {
  if (block.signature != sig::kShim || block.data.size() < kShimMinDataSize) return std::nullopt;
  return utf16UntilNul(block.data);
}

std::optional<IdList> readVistaIdList(const ExtraBlock& block) {
  if (block.signature != sig::kVistaAndAboveIdList ||
      block.data.size() < dataSize(kVistaIdListBlockMinSize)) {
    return std::nullopt;
  }
  return decodeIdList(block.data);
}

bool isPropertyStore(const ExtraBlock& block) noexcept {
  return block.signature == sig::kPropertyStore &&
         block.data.size() >= dataSize(kPropertyStoreBlockMinSize);
}

ExtraBlock makeExpandableString(std::uint32_t signature, const ExpandableString& value) {
  ExtraBlock block{signature, {}};
  block.data.reserve(dataSize(kExpandableStringBlockSize));
  appendNarrowBuffer(block.data, value.ansi, kExpandableAnsiSize);
  appendUtf16Buffer(block.data, value.unicode, kMaxPath);
  return block;
}

ExtraBlock makeTracker(const TrackerData& value) {
  ExtraBlock block{sig::kTracker, {}};
  appendU32(block.data, value.length);
  appendU32(block.data, value.version);
  appendNarrowBuffer(block.data, value.machineId, kMachineIdSize);
  appendGuid(block.data, value.droidVolume);
  appendGuid(block.data, value.droidFile);
  appendGuid(block.data, value.birthDroidVolume);
  appendGuid(block.data, value.birthDroidFile);
  return block;
}

ExtraBlock makeConsole(const ConsoleData& value) {
  ExtraBlock block{sig::kConsole, {}};
  std::string& out = block.data;
  appendU16(out, value.fillAttributes);
  appendU16(out, value.popupFillAttributes);
  for (const std::int16_t field :
       {value.screenBufferSizeX, value.screenBufferSizeY, value.windowSizeX, value.windowSizeY,
        value.windowOriginX, value.windowOriginY}) {
    appendU16(out, static_cast<std::uint16_t>(field));
  }
  for (const std::uint32_t field :
       {value.unused1, value.unused2, value.fontSize, value.fontFamily, value.fontWeight}) {
    appendU32(out, field);
  }
  appendUtf16Buffer(out, value.faceName, kFaceNameUnits);
  for (const std::uint32_t field :
       {value.cursorSize, value.fullScreen, value.quickEdit, value.insertMode, value.autoPosition,
        value.historyBufferSize, value.numberOfHistoryBuffers, value.historyNoDup}) {
    appendU32(out, field);
  }
  for (const std::uint32_t color : value.colorTable) appendU32(out, color);
  return block;
}

ExtraBlock makeConsoleFe(std::uint32_t codePage) {
  ExtraBlock block{sig::kConsoleFe, {}};
  appendU32(block.data, codePage);
  return block;
}

ExtraBlock makeKnownFolder(const KnownFolderData& value) {
  ExtraBlock block{sig::kKnownFolder, {}};
  appendGuid(block.data, value.folderId);
  appendU32(block.data, value.offset);
  return block;
}

ExtraBlock makeSpecialFolder(const SpecialFolderData& value) {
  ExtraBlock block{sig::kSpecialFolder, {}};
  appendU32(block.data, value.folderId);
  appendU32(block.data, value.offset);
  return block;
}

ExtraBlock makeShim(std::u16string_view layerName) {
  ExtraBlock block{sig::kShim, {}};
  appendUtf16(block.data, layerName);
  appendU16(block.data, 0);
  block.data.resize(std::max(block.data.size(), kShimMinDataSize), '\0');
  return block;
}

ExtraBlock makeVistaIdList(const IdList& list) {
  return ExtraBlock{sig::kVistaAndAboveIdList, encodeIdList(list)};
}

}  // namespace tolvaran::lnk
