#include "shortcut/lnk_id_list.h"

#include <cstdint>

#include "shortcut/lnk_bytes.h"

namespace tolvaran::lnk {

ItemScan scanItemIds(std::string_view list) {
  ItemScan scan;
  std::size_t offset = 0;
  while (offset + 2 <= list.size()) {
    const std::uint16_t size = u16At(list, offset);
    if (size == 0) {
      scan.terminated = true;
      break;
    }
    if (size < 2 || size > list.size() - offset) {
      scan.errorOffset = offset;
      return scan;
    }
    offset += size;
  }
  scan.ok = true;
  scan.itemsEnd = offset;
  return scan;
}

std::vector<std::string_view> itemIds(const IdList& list) {
  std::vector<std::string_view> items;
  const std::string_view bytes = list.items;
  std::size_t offset = 0;
  while (offset + 2 <= bytes.size()) {
    const std::uint16_t size = u16At(bytes, offset);
    if (size < 2 || size > bytes.size() - offset) break;
    items.push_back(bytes.substr(offset + 2, size - 2u));
    offset += size;
  }
  return items;
}

std::optional<IdList> idListFromItems(const std::vector<std::string>& itemData) {
  IdList list;
  for (const std::string& data : itemData) {
    if (data.size() > 0xFFFF - 2) return std::nullopt;
    appendU16(list.items, static_cast<std::uint16_t>(data.size() + 2));
    list.items += data;
  }
  return list;
}

std::string encodeIdList(const IdList& list) {
  std::string bytes = list.items;
  appendU16(bytes, 0);
  return bytes;
}

std::optional<IdList> decodeIdList(std::string_view list) {
  const ItemScan scan = scanItemIds(list);
  if (!scan.ok) return std::nullopt;
  IdList decoded;
  decoded.items.assign(list.substr(0, scan.itemsEnd));
  decoded.origin.bytes = std::string(list);
  return decoded;
}

}  // namespace tolvaran::lnk
