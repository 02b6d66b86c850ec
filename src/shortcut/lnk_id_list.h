#pragma once
// Item ID lists: the target's shell namespace path, item by item. Items are
// kept as the bytes the shell wrote; nothing here interprets them.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shortcut/lnk_origin.h"

namespace tolvaran::lnk {

struct IdList {
  // The items one after the other, each with its own 2-byte size, without
  // the terminating zero size.
  std::string items;
  Origin origin;  // the whole list as read (IDListSize's bytes)
  friend bool operator==(const IdList&, const IdList&) = default;
};

// Where a walk over item IDs stopped.
struct ItemScan {
  bool ok = false;
  std::size_t itemsEnd = 0;  // bytes taken by the items
  bool terminated = false;   // a zero size followed them
  std::size_t errorOffset = 0;
};
// Walks the items of `list` up to a zero size or the end of the bytes. An
// item shorter than its own size field or longer than what is left is an
// error: the bytes after it cannot be placed.
ItemScan scanItemIds(std::string_view list);

// Each item's data, without its size field.
std::vector<std::string_view> itemIds(const IdList& list);
// A list of the given items; nothing when one is too long for its 16-bit size.
std::optional<IdList> idListFromItems(const std::vector<std::string>& itemData);
// The items followed by the terminating zero size.
std::string encodeIdList(const IdList& list);
// What the list's bytes decode to; nothing when they are not a list.
std::optional<IdList> decodeIdList(std::string_view list);

}  // namespace tolvaran::lnk
