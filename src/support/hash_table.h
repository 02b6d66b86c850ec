#pragma once
// The program's keyed collection: unique keys in insertion order, optionally
// compared without regard to letter case. Misuse (a duplicate key, a missing
// key, a key that cannot be hashed) is recorded, never thrown, and leaves the
// table as it was.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/failure.h"
#include "support/variant.h"

namespace tolvaran {

class clsBrenloHashTable {
 public:
  static constexpr std::int32_t kBinaryCompare = 0;  // case-sensitive keys (the default)
  static constexpr std::int32_t kTextCompare = 1;    // keys compared through case folding
  static constexpr std::int32_t kBucketCount = 2999;

 private:
  struct Entry {
    Variant key;
    Variant value;
  };
  using Entries = std::list<Entry>;

 public:
  // Walks the entries in insertion order, yielding keys or values as
  // EnumMode said when the walk began.
  class const_iterator {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = Variant;
    using difference_type = std::ptrdiff_t;
    using pointer = const Variant*;
    using reference = const Variant&;

    const_iterator() = default;
    reference operator*() const { return yieldValues_ ? it_->value : it_->key; }
    pointer operator->() const { return &**this; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator old = *this;
      ++it_;
      return old;
    }
    const_iterator& operator--() {
      --it_;
      return *this;
    }
    const_iterator operator--(int) {
      const_iterator old = *this;
      --it_;
      return old;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      return a.it_ == b.it_;
    }

   private:
    friend class clsBrenloHashTable;
    const_iterator(Entries::const_iterator it, bool yieldValues)
        : it_(it), yieldValues_(yieldValues) {}
    Entries::const_iterator it_{};
    bool yieldValues_ = false;
  };

  explicit clsBrenloHashTable(FailureRecorder& recorder) : recorder_(&recorder) {}
  // The index points into the entry list: a copy would point into the
  // original, so there is none. Moving keeps both intact.
  clsBrenloHashTable(const clsBrenloHashTable&) = delete;
  clsBrenloHashTable& operator=(const clsBrenloHashTable&) = delete;
  clsBrenloHashTable(clsBrenloHashTable&&) noexcept = default;
  clsBrenloHashTable& operator=(clsBrenloHashTable&&) noexcept = default;

  void Add(const Variant& key, const Variant& value);

  // The value of `key`; Empty (and a record) when it is missing or unhashable.
  [[nodiscard]] Variant Item(const Variant& key) const;
  // Replaces the value of an existing key; a missing key is not added.
  void LetItem(const Variant& key, const Variant& value);
  void SetItem(const Variant& key, ObjectRef object);

  // Renames an entry, keeping its value and moving it to the end of the order.
  void Key(const Variant& oldKey, const Variant& newKey);

  [[nodiscard]] std::size_t Count() const noexcept { return entries_.size(); }
  [[nodiscard]] bool Exists(const Variant& key) const;
  void Remove(const Variant& key);
  // Keeps CompareMode and EnumMode.
  void RemoveAll() noexcept;

  [[nodiscard]] std::vector<Variant> Keys() const;
  [[nodiscard]] std::vector<Variant> Items() const;

  // The bucket (0-2998) the value falls in under the current compare mode;
  // 0 (and a record) for a value that cannot be hashed.
  [[nodiscard]] std::int32_t HashValue(const Variant& value) const;

  [[nodiscard]] std::int32_t CompareMode() const noexcept { return compareMode_; }
  // Refused (and recorded) while the table holds entries.
  void CompareMode(std::int32_t mode);
  [[nodiscard]] std::int32_t EnumMode() const noexcept { return enumMode_; }
  void EnumMode(std::int32_t mode) noexcept { enumMode_ = mode; }

  [[nodiscard]] const_iterator begin() const { return {entries_.begin(), enumMode_ != 0}; }
  [[nodiscard]] const_iterator end() const { return {entries_.end(), enumMode_ != 0}; }

 private:
  // A key reduced to what decides its identity: numbers of every kind meet
  // as one exact value, text is folded in text mode, objects by address.
  // The hash is computed once, when the key is made: a standard map may
  // rehash its neighbours' keys on every probe, and text keys are long.
  struct LookupKey {
    enum class Kind : std::uint8_t { kEmpty, kNull, kText, kInteger, kReal, kObject };
    std::size_t hash = 0;
    Kind kind = Kind::kEmpty;
    std::uint64_t payload = 0;
    std::u16string text;
    friend bool operator==(const LookupKey&, const LookupKey&) = default;
  };
  struct LookupKeyHash {
    std::size_t operator()(const LookupKey& key) const noexcept { return key.hash; }
  };
  using Index = std::unordered_map<LookupKey, Entries::iterator, LookupKeyHash>;

  [[nodiscard]] bool textMode() const noexcept { return compareMode_ == kTextCompare; }
  // Empty when the key cannot be hashed.
  [[nodiscard]] std::optional<LookupKey> lookupKey(const Variant& key) const;
  void record(std::int32_t number, std::u16string_view member, std::u16string_view message,
              const Variant& subject) const noexcept;
  void replaceValue(const Variant& key, Variant value, std::u16string_view member,
                    std::u16string_view missingMessage);

  FailureRecorder* recorder_;
  Entries entries_;
  Index index_;
  std::int32_t compareMode_ = kBinaryCompare;
  std::int32_t enumMode_ = 0;
};

}  // namespace tolvaran
