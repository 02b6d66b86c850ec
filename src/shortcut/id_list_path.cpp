#include "shortcut/id_list_path.h"

#include <cstdint>
#include <string_view>

#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_format.h"

namespace tolvaran::lnk {
namespace {

// {20D04FE0-3AEA-1069-A2D8-08002B30309D} and {208D2C60-3AEA-1069-A2D7-08002B30309D}
// as root items store them.
constexpr Guid kMyComputer = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                              0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr Guid kNetwork = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                           0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

constexpr std::uint8_t kRootFolder = 0x1F;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;

enum class Kind : std::uint8_t { kOther, kVolume, kFileEntry, kNetwork };

Kind kindOf(std::uint8_t type) {
  switch (type & 0x70) {
    case 0x20: return Kind::kVolume;
    case 0x30: return Kind::kFileEntry;
    case 0x40: return Kind::kNetwork;
    default: return Kind::kOther;
  }
}

// The NUL-terminated narrow text at `offset`; a missing terminator ends it
// with the bytes.
std::string_view narrowAt(std::string_view bytes, std::size_t offset) {
  if (offset >= bytes.size()) return {};
  const std::string_view rest = bytes.substr(offset);
  return rest.substr(0, rest.find('\0'));
}

// The NUL-terminated UTF-16 text at `offset`; a missing terminator ends it
// with the bytes.
std::u16string wideAt(std::string_view bytes, std::size_t offset) {
  std::u16string text;
  std::size_t at = offset;
  while (const auto unit = readU16(bytes, at)) {
    at += 2;
    if (*unit == 0) break;
    text.push_back(static_cast<char16_t>(*unit));
  }
  return text;
}

bool isFileEntryExtension(std::string_view data, std::size_t at) {
  const auto size = readU16(data, at);
  const auto signature = readU32(data, at + 4);
  return size && signature && *signature == kFileEntryExtension && *size >= 20 &&
         at + *size <= data.size();
}

// Where the item's 0xBEEF0004 block starts: the item's last 16-bit field
// gives its offset in the item; failing that, the first block found on an
// even offset after the fixed fields.
std::optional<std::size_t> extensionOffset(std::string_view data, std::size_t namesFrom) {
  if (data.size() >= 2) {
    const auto itemOffset = readU16(data, data.size() - 2);
    if (itemOffset && *itemOffset >= 2 + namesFrom &&
        isFileEntryExtension(data, *itemOffset - 2u)) {
      return *itemOffset - 2u;
    }
  }
  for (std::size_t at = namesFrom; at + 8 <= data.size(); at += 2) {
    if (isFileEntryExtension(data, at)) return at;
  }
  return std::nullopt;
}

// A folder or file item. Its data (the item without its size field):
// type, a byte, size (4), modification time (4), attributes (2), then the
// primary name, narrow or (type bit 2) UTF-16, then extension blocks. The
// long name lies in the 0xBEEF0004 block, at the offset its 16-bit field at
// 16 gives (20, 38, 42 or 46 by the block's version); the primary name is
// the short one where a long one exists.
std::optional<std::u16string> fileEntryName(std::string_view data, const AnsiCodec& codec) {
  constexpr std::size_t kNameOffset = 12;
  if (data.size() <= kNameOffset) return std::nullopt;
  const auto extension = extensionOffset(data, kNameOffset);
  if (extension) {
    const std::string_view block = data.substr(*extension, readU16(data, *extension).value_or(0));
    const auto nameOffset = readU16(block, 16);
    if (nameOffset && *nameOffset >= 20 && *nameOffset < block.size()) {
      std::u16string longName = wideAt(block, *nameOffset);
      if (!longName.empty()) return longName;
    }
  }
  const std::string_view names = data.substr(0, extension.value_or(data.size()));
  const bool unicode = (static_cast<std::uint8_t>(data[0]) & 0x04) != 0;
  std::u16string primary =
      unicode ? wideAt(names, kNameOffset) : codec.toText(narrowAt(names, kNameOffset));
  if (primary.empty()) return std::nullopt;
  return primary;
}

bool isDriveRoot(std::u16string_view text) {
  const bool letter = !text.empty() && ((text[0] >= u'A' && text[0] <= u'Z') ||
                                        (text[0] >= u'a' && text[0] <= u'z'));
  return letter && text.size() >= 2 && text[1] == u':';
}

void appendComponent(std::u16string& path, std::u16string_view name) {
  if (!path.empty() && path.back() != u'\\') path.push_back(u'\\');
  path += name;
}

}  // namespace

std::optional<std::u16string> idListFileSystemPath(const IdList& list, const AnsiCodec& codec) {
  const std::vector<std::string_view> items = itemIds(list);
  if (items.empty()) return std::nullopt;
  const std::string_view root = items.front();
  if (root.size() < 18 || static_cast<std::uint8_t>(root[0]) != kRootFolder) return std::nullopt;
  Guid folder{};
  for (std::size_t i = 0; i < folder.size(); ++i)
    folder[i] = static_cast<std::uint8_t>(root[2 + i]);
  const bool computer = folder == kMyComputer;
  if (!computer && folder != kNetwork) return std::nullopt;

  std::u16string path;
  bool located = false;  // a drive or a share has been named
  for (std::size_t i = 1; i < items.size(); ++i) {
    const std::string_view item = items[i];
    if (item.empty()) return std::nullopt;
    const Kind kind = kindOf(static_cast<std::uint8_t>(item[0]));
    if (!located) {
      if (computer && kind == Kind::kVolume) {
        // "C:\" from byte 1. Volume-class items that hold a GUID instead
        // (the known-folder roots of newer Windows) are not read here.
        path = codec.toText(narrowAt(item, 1));
        if (!isDriveRoot(path)) return std::nullopt;
      } else if (!computer && kind == Kind::kNetwork) {
        // Domain, server and share items in turn; each names its full UNC
        // path from byte 3, and the share's is the one a file path starts with.
        const std::u16string name = codec.toText(narrowAt(item, 3));
        if (name.empty()) return std::nullopt;
        path = name;
        const bool share = name.size() > 2 && name.find(u'\\', 2) != std::u16string::npos;
        if (!share) continue;
      } else {
        return std::nullopt;
      }
      if (path.empty()) return std::nullopt;
      located = true;
      continue;
    }
    if (kind != Kind::kFileEntry) return std::nullopt;
    const auto name = fileEntryName(item, codec);
    if (!name) return std::nullopt;
    appendComponent(path, *name);
  }
  if (!located) return std::nullopt;
  return path;
}

}  // namespace tolvaran::lnk
