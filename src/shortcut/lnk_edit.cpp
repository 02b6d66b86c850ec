#include "shortcut/lnk_edit.h"

#include <algorithm>
#include <utility>

namespace tolvaran::lnk {

namespace {

void setFlag(LnkFile& file, std::uint32_t bit, bool on) {
  if (on) {
    file.header.linkFlags |= bit;
  } else {
    file.header.linkFlags &= ~bit;
  }
}

bool namesEnvironmentVariable(std::u16string_view text) {
  const std::size_t open = text.find(u'%');
  return open != std::u16string_view::npos &&
         text.find(u'%', open + 1) != std::u16string_view::npos;
}

ExpandableString bothHalves(std::u16string_view text, const AnsiCodec& codec) {
  return ExpandableString{codec.toBytes(text), std::u16string(text)};
}

}  // namespace

void setString(LnkFile& file, StringField field, std::u16string_view text, const AnsiCodec& codec) {
  const auto index = static_cast<std::size_t>(field);
  if (text.empty()) {
    file.strings.values[index].reset();
  } else {
    file.strings.values[index] = std::u16string(text);
    if (!file.isUnicode() && !fitsCodePage(codec, text)) setFlag(file, flag::kIsUnicode, true);
  }
  setFlag(file, kStringFieldFlags[index], !text.empty());
}

void setDescription(LnkFile& file, std::u16string_view text, const AnsiCodec& codec) {
  setString(file, StringField::kName, text, codec);
}

void setArguments(LnkFile& file, std::u16string_view text, const AnsiCodec& codec) {
  setString(file, StringField::kArguments, text, codec);
}

void setWorkingDirectory(LnkFile& file, std::u16string_view text, const AnsiCodec& codec) {
  setString(file, StringField::kWorkingDir, text, codec);
}

void setIconLocation(LnkFile& file, std::u16string_view location, std::int32_t index,
                     const AnsiCodec& codec) {
  setString(file, StringField::kIconLocation, location, codec);
  file.header.iconIndex = index;
  const bool expandable = namesEnvironmentVariable(location);
  if (expandable) {
    putBlock(file, makeExpandableString(sig::kIconEnvironment, bothHalves(location, codec)),
             {sig::kEnvironmentVariables});
  } else {
    removeBlocks(file, sig::kIconEnvironment);
  }
  setFlag(file, flag::kHasExpIcon, expandable);
}

void setHotKey(LnkFile& file, std::uint16_t hotKey) {
  file.header.hotKey = hotKey;
}

void setShowCommand(LnkFile& file, std::uint32_t showCommand) {
  file.header.showCommand = showCommand;
}

void setTargetPath(LnkFile& file, std::u16string_view path, const AnsiCodec& codec) {
  VolumeId volume;
  if (file.linkInfo && file.linkInfo->local) volume = file.linkInfo->local->volume;
  file.idList.reset();
  file.linkInfo.reset();
  if (!path.empty()) file.linkInfo = linkInfoForPath(path, codec, volume);
  // A relative path left over would let the shell find the old target again.
  setString(file, StringField::kRelativePath, {}, codec);
  for (const std::uint32_t signature :
       {sig::kTracker, sig::kSpecialFolder, sig::kKnownFolder, sig::kVistaAndAboveIdList,
        sig::kEnvironmentVariables, sig::kDarwin}) {
    removeBlocks(file, signature);
  }
  setFlag(file, flag::kHasExpString, false);
  setFlag(file, flag::kHasDarwinId, false);
  setFlag(file, flag::kForceNoLinkInfo, false);
  setFlag(file, flag::kHasLinkTargetIdList, false);
  setFlag(file, flag::kHasLinkInfo, file.linkInfo.has_value());
}

void setEnvironmentTarget(LnkFile& file, std::u16string_view unexpanded,
                          std::u16string_view expanded, const AnsiCodec& codec) {
  setTargetPath(file, expanded, codec);
  if (unexpanded.empty()) return;
  putBlock(file, makeExpandableString(sig::kEnvironmentVariables, bothHalves(unexpanded, codec)));
  setFlag(file, flag::kHasExpString, true);
}

void removeBlocks(LnkFile& file, std::uint32_t signature) {
  std::erase_if(file.extraData,
                [signature](const ExtraBlock& block) { return block.signature == signature; });
}

void putBlock(LnkFile& file, ExtraBlock block, std::initializer_list<std::uint32_t> after) {
  auto& blocks = file.extraData;
  const auto same = std::find_if(blocks.begin(), blocks.end(), [&](const ExtraBlock& existing) {
    return existing.signature == block.signature;
  });
  if (same != blocks.end()) {
    *same = std::move(block);
    return;
  }
  auto position = blocks.begin();
  for (auto it = blocks.begin(); it != blocks.end(); ++it) {
    if (std::find(after.begin(), after.end(), it->signature) != after.end()) position = it + 1;
  }
  blocks.insert(position, std::move(block));
}

}  // namespace tolvaran::lnk
