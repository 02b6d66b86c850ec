#include "support/hash_table.h"

#include <bit>
#include <cmath>

#include "support/text.h"

namespace tolvaran {

namespace {

constexpr std::u16string_view kAdd = u"Add";
constexpr std::u16string_view kItemGet = u"Item Get";
constexpr std::u16string_view kItemLet = u"Item Let";
constexpr std::u16string_view kItemSet = u"Item Set";
constexpr std::u16string_view kKeySet = u"Key_ Set";
constexpr std::u16string_view kExists = u"Exists";
constexpr std::u16string_view kRemove = u"Remove";
constexpr std::u16string_view kHashValue = u"HashValue";

constexpr std::u16string_view kUnhashable = u"Error 5. Line: ";
constexpr std::u16string_view kUnhashableKey = u"Error 5 (1). Line: ";
constexpr std::u16string_view kMissingKey = u"Error 5 (2). Line: ";
constexpr std::u16string_view kMissingKeyForSet = u"Error 5 (2).  Line: ";
constexpr std::u16string_view kUnhashableNewKey = u"Error 5 (3). Line: ";
constexpr std::u16string_view kDuplicateKey = u"Error 457. Key is already exists. Line: ";
constexpr std::u16string_view kDuplicateNewKey = u"Error 457. Line: ";
constexpr std::u16string_view kUnhashableValue = u"Error 5. Value: ";

// Numbers beyond this magnitude all fall in bucket 0.
constexpr double kHashableMagnitude = 9999999.0;

std::uint64_t mix(std::uint64_t x) noexcept {
  // splitmix64's finaliser: spreads nearby integers over the whole range.
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ull;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebull;
  x ^= x >> 31;
  return x;
}

std::int32_t textBucket(std::u16string_view text) noexcept {
  std::uint32_t h = 0;
  for (const char16_t c : text) h = (h * 37 + c) % 65536;
  return static_cast<std::int32_t>(h % clsBrenloHashTable::kBucketCount);
}

std::int32_t numberBucket(double value) noexcept {
  if (!(value <= kHashableMagnitude && value >= -kHashableMagnitude)) {
    // Out of range; NaN also lands here, as it has no single bit pattern.
    return 0;
  }
  const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(value)) & 0x7FFFFFFFu;
  return static_cast<std::int32_t>(bits % clsBrenloHashTable::kBucketCount);
}

}  // namespace

std::optional<clsBrenloHashTable::LookupKey> clsBrenloHashTable::lookupKey(
    const Variant& key) const {
  auto finished = [](LookupKey lookup) {
    lookup.hash =
        static_cast<std::size_t>(mix(lookup.payload ^ static_cast<std::uint64_t>(lookup.kind)));
    if (lookup.kind == LookupKey::Kind::kText)
      lookup.hash ^= std::hash<std::u16string>{}(lookup.text);
    return std::optional<LookupKey>(std::move(lookup));
  };
  LookupKey lookup;
  switch (key.type()) {
    case Variant::Type::kEmpty:
      lookup.kind = LookupKey::Kind::kEmpty;
      return finished(std::move(lookup));
    case Variant::Type::kNull:
      lookup.kind = LookupKey::Kind::kNull;
      return finished(std::move(lookup));
    case Variant::Type::kText:
      lookup.kind = LookupKey::Kind::kText;
      lookup.text = textMode() ? foldCase(key.text()) : std::u16string(key.text());
      return finished(std::move(lookup));
    case Variant::Type::kInteger:
      lookup.kind = LookupKey::Kind::kInteger;
      lookup.payload = static_cast<std::uint64_t>(key.integer());
      return finished(std::move(lookup));
    case Variant::Type::kBoolean:
    case Variant::Type::kReal:
    case Variant::Type::kDate: {
      // 1, True (-1), 1.0 and the date 1.0 must be the keys their numeric
      // values say: a whole number becomes the integer it equals exactly.
      const double value = key.number();
      constexpr double kTwoTo63 = 9223372036854775808.0;
      if (std::isnan(value)) {
        lookup.kind = LookupKey::Kind::kReal;
        lookup.payload = 0x7FF8000000000000ull;  // every NaN is one key
      } else if (value == std::trunc(value) && value >= -kTwoTo63 && value < kTwoTo63) {
        lookup.kind = LookupKey::Kind::kInteger;
        lookup.payload = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
      } else {
        lookup.kind = LookupKey::Kind::kReal;
        lookup.payload = std::bit_cast<std::uint64_t>(value);
      }
      return finished(std::move(lookup));
    }
    case Variant::Type::kObject:
      lookup.kind = LookupKey::Kind::kObject;
      lookup.payload =
          static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key.object().get()));
      return finished(std::move(lookup));
    case Variant::Type::kArray: break;
  }
  return std::nullopt;
}

void clsBrenloHashTable::record(std::int32_t number, std::u16string_view member,
                                std::u16string_view message,
                                const Variant& subject) const noexcept {
  try {
    std::u16string procedure = u"clsBrenloHashTable.";
    procedure += member;
    std::u16string line(message);
    line += subject.toText();
    recorder_->recordError(runtimeFailure(number),
                           ErrorContext(procedure, line, u"LastProcedure: ", u""));
  } catch (...) {
    // Out of memory while describing a misuse: the misuse itself did nothing.
  }
}

void clsBrenloHashTable::Add(const Variant& key, const Variant& value) {
  auto lookup = lookupKey(key);
  if (!lookup) return record(rt::kInvalidProcedureCall, kAdd, kUnhashable, key);
  if (index_.contains(*lookup)) return record(rt::kKeyAlreadyAssociated, kAdd, kDuplicateKey, key);
  entries_.push_back(Entry{key, value});
  try {
    index_.emplace(std::move(*lookup), std::prev(entries_.end()));
  } catch (...) {
    // Not ignored: the entry is taken back and the failure goes on.
    entries_.pop_back();
    throw;
  }
}

Variant clsBrenloHashTable::Item(const Variant& key) const {
  const auto lookup = lookupKey(key);
  if (!lookup) {
    record(rt::kInvalidProcedureCall, kItemGet, kUnhashableKey, key);
    return {};
  }
  const auto found = index_.find(*lookup);
  if (found == index_.end()) {
    record(rt::kInvalidProcedureCall, kItemGet, kMissingKey, key);
    return {};
  }
  return found->second->value;
}

void clsBrenloHashTable::replaceValue(const Variant& key, Variant value, std::u16string_view member,
                                      std::u16string_view missingMessage) {
  const auto lookup = lookupKey(key);
  if (!lookup) return record(rt::kInvalidProcedureCall, member, kUnhashableKey, key);
  const auto found = index_.find(*lookup);
  if (found == index_.end()) return record(rt::kInvalidProcedureCall, member, missingMessage, key);
  found->second->value = std::move(value);
}

void clsBrenloHashTable::LetItem(const Variant& key, const Variant& value) {
  replaceValue(key, value, kItemLet, kMissingKey);
}

void clsBrenloHashTable::SetItem(const Variant& key, ObjectRef object) {
  replaceValue(key, Variant(std::move(object)), kItemSet, kMissingKeyForSet);
}

void clsBrenloHashTable::Key(const Variant& oldKey, const Variant& newKey) {
  const auto oldLookup = lookupKey(oldKey);
  if (!oldLookup) return record(rt::kInvalidProcedureCall, kKeySet, kUnhashableKey, oldKey);
  const auto oldFound = index_.find(*oldLookup);
  if (oldFound == index_.end())
    return record(rt::kInvalidProcedureCall, kKeySet, kMissingKey, oldKey);
  auto newLookup = lookupKey(newKey);
  if (!newLookup) return record(rt::kInvalidProcedureCall, kKeySet, kUnhashableNewKey, oldKey);

  const Entries::iterator entry = oldFound->second;
  if (*newLookup == oldFound->first) {
    // The same key in another spelling (another letter case in text mode):
    // not a clash with some other entry, so the entry takes the new spelling.
    entry->key = newKey;
  } else {
    if (index_.contains(*newLookup)) {
      return record(rt::kKeyAlreadyAssociated, kKeySet, kDuplicateNewKey, oldKey);
    }
    index_.emplace(std::move(*newLookup), entry);
    index_.erase(oldFound);
    entry->key = newKey;
  }
  entries_.splice(entries_.end(), entries_, entry);
}

bool clsBrenloHashTable::Exists(const Variant& key) const {
  const auto lookup = lookupKey(key);
  if (!lookup) {
    record(rt::kInvalidProcedureCall, kExists, kUnhashable, key);
    return false;
  }
  return index_.contains(*lookup);
}

void clsBrenloHashTable::Remove(const Variant& key) {
  const auto lookup = lookupKey(key);
  if (!lookup) return record(rt::kInvalidProcedureCall, kRemove, kUnhashableKey, key);
  const auto found = index_.find(*lookup);
  if (found == index_.end()) return record(rt::kInvalidProcedureCall, kRemove, kMissingKey, key);
  entries_.erase(found->second);
  index_.erase(found);
}

void clsBrenloHashTable::RemoveAll() noexcept {
  index_.clear();
  entries_.clear();
}

std::vector<Variant> clsBrenloHashTable::Keys() const {
  std::vector<Variant> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(entry.key);
  return keys;
}

std::vector<Variant> clsBrenloHashTable::Items() const {
  std::vector<Variant> items;
  items.reserve(entries_.size());
  for (const Entry& entry : entries_) items.push_back(entry.value);
  return items;
}

std::int32_t clsBrenloHashTable::HashValue(const Variant& value) const {
  switch (value.type()) {
    case Variant::Type::kEmpty:
    case Variant::Type::kNull: return 0;
    case Variant::Type::kText:
      return textMode() ? textBucket(foldCase(value.text())) : textBucket(value.text());
    case Variant::Type::kInteger:
    case Variant::Type::kBoolean:
    case Variant::Type::kReal:
    case Variant::Type::kDate: return numberBucket(value.number());
    case Variant::Type::kObject: {
      const auto address = reinterpret_cast<std::uintptr_t>(value.object().get());
      const std::uintptr_t withoutSign = address & (~std::uintptr_t{0} >> 1);
      return static_cast<std::int32_t>(withoutSign % kBucketCount);
    }
    case Variant::Type::kArray: break;
  }
  record(rt::kInvalidProcedureCall, kHashValue, kUnhashableValue, value);
  return 0;
}

void clsBrenloHashTable::CompareMode(std::int32_t mode) {
  if (!entries_.empty()) {
    try {
      recorder_->recordError(
          runtimeFailure(rt::kInvalidProcedureCall),
          ErrorContext(u"clsBrenloHashTable.CompareMode",
                       u"Compare mode can be changed when there are no items only!"));
    } catch (...) {
      // As in record(): nothing more can be said.
    }
    return;
  }
  compareMode_ = mode;
}

}  // namespace tolvaran
