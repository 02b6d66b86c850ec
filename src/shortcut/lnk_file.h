#pragma once
// A shortcut file as a value: header, target ID list, LinkInfo, strings and
// extra data blocks, in file order. A model read from bytes and written back
// unchanged gives those bytes again; a model changed through lnk_edit.h is
// written consistently.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_extra_data.h"
#include "shortcut/lnk_format.h"
#include "shortcut/lnk_id_list.h"
#include "shortcut/lnk_link_info.h"
#include "shortcut/lnk_origin.h"

namespace tolvaran::lnk {

// ShellLinkHeader, every field of it. The section bits of linkFlags
// (flag::kSectionBits) follow the sections the file holds: the reader sets
// them from the file, the writer from the model.
struct Header {
  Guid clsid = kShellLinkClsid;
  std::uint32_t linkFlags = flag::kIsUnicode;
  std::uint32_t fileAttributes = 0;
  std::uint64_t creationTime = 0;  // FILETIMEs
  std::uint64_t accessTime = 0;
  std::uint64_t writeTime = 0;
  std::uint32_t fileSize = 0;
  std::int32_t iconIndex = 0;
  std::uint32_t showCommand = show::kNormal;
  std::uint16_t hotKey = 0;  // low byte virtual key, high byte HOTKEYF_* modifiers
  std::uint16_t reserved1 = 0;
  std::uint32_t reserved2 = 0;
  std::uint32_t reserved3 = 0;
  friend bool operator==(const Header&, const Header&) = default;
};

// The five counted strings, in file order. A string is present exactly
// when its Has* flag is written; a present string may be empty.
enum class StringField : std::size_t {
  kName = 0,  // the description
  kRelativePath,
  kWorkingDir,
  kArguments,
  kIconLocation,
};
inline constexpr std::size_t kStringFieldCount = 5;
// The LinkFlags bit of each string, in StringField order.
inline constexpr std::array<std::uint32_t, kStringFieldCount> kStringFieldFlags = {
    flag::kHasName, flag::kHasRelativePath, flag::kHasWorkingDir, flag::kHasArguments,
    flag::kHasIconLocation};

struct StringData {
  std::array<std::optional<std::u16string>, kStringFieldCount> values;
  // Each string's bytes as read (count and characters).
  std::array<Origin, kStringFieldCount> origins;

  std::optional<std::u16string>& operator[](StringField field) {
    return values[static_cast<std::size_t>(field)];
  }
  const std::optional<std::u16string>& operator[](StringField field) const {
    return values[static_cast<std::size_t>(field)];
  }
  friend bool operator==(const StringData&, const StringData&) = default;
};

struct LnkFile {
  Header header;
  std::optional<IdList> idList;
  std::optional<LinkInfo> linkInfo;
  StringData strings;
  std::vector<ExtraBlock> extraData;
  // The value of the terminal block's size field (0 to 3); nothing when the
  // file ended after its last block without one.
  std::optional<std::uint32_t> terminalBlock = 0;
  // Bytes after the terminal block.
  std::string trailing;
  friend bool operator==(const LnkFile&, const LnkFile&) = default;

  [[nodiscard]] bool isUnicode() const noexcept {
    return (header.linkFlags & flag::kIsUnicode) != 0;
  }
  [[nodiscard]] bool hasFlag(std::uint32_t bit) const noexcept {
    return (header.linkFlags & bit) != 0;
  }
  // The first block with this signature, or nullptr.
  [[nodiscard]] const ExtraBlock* findBlock(std::uint32_t signature) const noexcept {
    for (const ExtraBlock& block : extraData) {
      if (block.signature == signature) return &block;
    }
    return nullptr;
  }
};

// LinkFlags with the section bits set from what the model holds.
std::uint32_t effectiveLinkFlags(const LnkFile& file) noexcept;

// A counted string as the file holds it: a 16-bit count of characters (of
// bytes for code-page strings) and the characters. Nothing when the text is
// too long for the count.
std::optional<std::string> encodeCountedString(std::u16string_view text, bool unicode,
                                               const AnsiCodec& codec);
// The text of such bytes, all of them: embedded NULs are kept.
std::u16string decodeCountedString(std::string_view counted, bool unicode, const AnsiCodec& codec);
// The number of bytes the counted string at `offset` takes; nothing when
// its count or characters run past the end of `bytes`.
std::optional<std::size_t> countedStringSize(std::string_view bytes, std::size_t offset,
                                             bool unicode) noexcept;

}  // namespace tolvaran::lnk
