#include "support/hash_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "support/text.h"

namespace tolvaran {

void PrintTo(const Variant& value, std::ostream* out) {
  *out << static_cast<int>(value.type()) << ":" << utf16ToUtf8(value.toText());
}

namespace {

using Texts = std::vector<std::u16string>;

std::vector<Variant> walk(const clsBrenloHashTable& table) {
  return std::vector<Variant>(table.begin(), table.end());
}

class HashTableTest : public ::testing::Test {
 protected:
  RecordingRecorder recorder;
  clsBrenloHashTable table{recorder};
};

TEST_F(HashTableTest, BinaryModeTellsLetterCaseApart) {
  table.Add(u"C:\\Users\\Ярлык.lnk", 1);
  EXPECT_FALSE(table.Exists(u"c:\\users\\ЯРЛЫК.LNK"));
  table.Add(u"c:\\users\\ЯРЛЫК.LNK", 2);
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_TRUE(recorder.empty());
}

TEST_F(HashTableTest, TextModeFoldsLetterCase) {
  table.CompareMode(clsBrenloHashTable::kTextCompare);
  table.Add(u"C:\\Users\\Ярлык.lnk", 1);
  EXPECT_TRUE(table.Exists(u"c:\\users\\ЯРЛЫК.LNK"));
  EXPECT_EQ(table.Item(u"C:\\USERS\\ярлык.Lnk"), Variant(1));
  EXPECT_EQ(table.HashValue(u"C:\\Users\\Ярлык.lnk"), table.HashValue(u"c:\\users\\ЯРЛЫК.LNK"));
  table.Add(u"c:\\users\\ЯРЛЫК.LNK", 2);
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(recorder.size(), 1u);  // the second spelling is a duplicate
}

TEST_F(HashTableTest, DuplicateKeepsTheFirstValue) {
  table.Add(u"key", u"first");
  table.Add(u"key", u"second");
  EXPECT_EQ(table.Item(u"key"), Variant(u"first"));
  EXPECT_EQ(table.Count(), 1u);
}

TEST_F(HashTableTest, NumbersOfEveryKindAreOneKey) {
  table.Add(1, u"one");
  for (const Variant& same :
       {Variant(short{1}), Variant(1L), Variant(1LL), Variant(std::uint8_t{1}), Variant(1.0),
        Variant(1.0f), Variant::date(1.0)}) {
    EXPECT_TRUE(table.Exists(same)) << static_cast<int>(same.type());
  }
  table.Add(1.0, u"again");
  EXPECT_EQ(recorder.size(), 1u);

  // True is -1; text, Empty and Null are keys of their own.
  table.Add(-1, u"minus one");
  EXPECT_TRUE(table.Exists(true));
  EXPECT_FALSE(table.Exists(false));
  EXPECT_FALSE(table.Exists(u"1"));
  table.Add(0.5, u"half");
  EXPECT_FALSE(table.Exists(0));
  EXPECT_FALSE(table.Exists(Variant()));
  EXPECT_FALSE(table.Exists(Variant::null()));
  table.Add(Variant(), u"empty");
  table.Add(Variant::null(), u"null");
  table.Add(0, u"zero");
  EXPECT_EQ(table.Item(-0.0), Variant(u"zero"));
  EXPECT_EQ(table.Item(Variant()), Variant(u"empty"));
  EXPECT_EQ(table.Item(Variant::null()), Variant(u"null"));
  EXPECT_EQ(table.Count(), 6u);
  EXPECT_EQ(recorder.size(), 1u);
}

TEST_F(HashTableTest, ObjectKeysAreTheObjectItself) {
  const ObjectRef first = std::make_shared<int>(7);
  const ObjectRef twin = std::make_shared<int>(7);
  table.Add(first, 1);
  EXPECT_TRUE(table.Exists(first));
  EXPECT_FALSE(table.Exists(twin));
  table.SetItem(first, twin);
  EXPECT_EQ(table.Item(first).object(), twin);
}

TEST_F(HashTableTest, RenameMovesTheEntryToTheEnd) {
  table.Add(u"a", 1);
  table.Add(u"b", 2);
  table.Add(u"c", 3);
  table.Key(u"a", u"z");
  EXPECT_EQ(table.Keys(), (std::vector<Variant>{u"b", u"c", u"z"}));
  EXPECT_EQ(table.Items(), (std::vector<Variant>{2, 3, 1}));
  EXPECT_FALSE(table.Exists(u"a"));

  // In text mode a key may take another spelling of itself.
  clsBrenloHashTable text(recorder);
  text.CompareMode(clsBrenloHashTable::kTextCompare);
  text.Add(u"abc", 1);
  text.Add(u"def", 2);
  text.Key(u"abc", u"ABC");
  EXPECT_EQ(text.Keys(), (std::vector<Variant>{u"def", u"ABC"}));
  EXPECT_TRUE(recorder.empty());
}

TEST_F(HashTableTest, ReplaceAndRemoveKeepTheOrder) {
  table.Add(u"a", 1);
  table.Add(u"b", 2);
  table.Add(u"c", 3);
  table.LetItem(u"b", u"two");
  table.Remove(u"a");
  EXPECT_EQ(walk(table), (std::vector<Variant>{u"b", u"c"}));
  table.EnumMode(1);
  EXPECT_EQ(walk(table), (std::vector<Variant>{u"two", 3}));
  EXPECT_TRUE(recorder.empty());
}

TEST_F(HashTableTest, EmptyTable) {
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_TRUE(table.Keys().empty());
  EXPECT_TRUE(table.Items().empty());
  EXPECT_TRUE(table.begin() == table.end());
}

TEST_F(HashTableTest, CompareModeChangesOnlyWhileEmpty) {
  table.Add(u"x", 1);
  table.CompareMode(clsBrenloHashTable::kTextCompare);
  EXPECT_EQ(table.CompareMode(), clsBrenloHashTable::kBinaryCompare);
  ASSERT_EQ(recorder.size(), 1u);

  table.RemoveAll();
  table.CompareMode(clsBrenloHashTable::kTextCompare);
  table.EnumMode(1);
  table.Add(u"X", 1);
  table.RemoveAll();
  EXPECT_EQ(table.CompareMode(), clsBrenloHashTable::kTextCompare);
  EXPECT_EQ(table.EnumMode(), 1);
  table.Add(u"Path", 2);
  EXPECT_TRUE(table.Exists(u"PATH"));
  EXPECT_EQ(recorder.size(), 1u);
}

TEST_F(HashTableTest, HashValueBuckets) {
  EXPECT_EQ(table.HashValue(u"abc"), 2447);  // ((97*37+98)*37+99) mod 65536 mod 2999
  EXPECT_EQ(table.HashValue(u"ABC"), 1966);
  EXPECT_EQ(table.HashValue(u"Ярлык"), 1555);
  EXPECT_EQ(table.HashValue(1), 452);  // 1.0f is 0x3F800000
  EXPECT_EQ(table.HashValue(1.0), 452);
  EXPECT_EQ(table.HashValue(true), 452);  // -1 with the sign bit cleared
  EXPECT_EQ(table.HashValue(0.5), 47);
  EXPECT_EQ(table.HashValue(9999999), 1698);
  EXPECT_EQ(table.HashValue(10000000), 0);
  EXPECT_EQ(table.HashValue(-10000000.5), 0);
  EXPECT_EQ(table.HashValue(Variant()), 0);
  EXPECT_EQ(table.HashValue(Variant::null()), 0);
  table.CompareMode(clsBrenloHashTable::kTextCompare);
  EXPECT_EQ(table.HashValue(u"ABC"), 2447);
  EXPECT_TRUE(recorder.empty());
}

TEST_F(HashTableTest, EveryMisuseIsRecordedAndChangesNothing) {
  const Variant unhashable = Variant::array({1, 2});
  const ObjectRef object = std::make_shared<int>(0);
  struct Case {
    const char* name;
    std::function<void(clsBrenloHashTable&)> misuse;
    std::int32_t number;
    Texts context;
  };
  auto with = [](std::u16string member, std::u16string message) {
    return Texts{u"clsBrenloHashTable." + member, message, u"LastProcedure: ", u""};
  };
  const std::vector<Case> cases = {
      {"Add duplicate", [](auto& t) { t.Add(u"a", 9); }, 457,
       with(u"Add", u"Error 457. Key is already exists. Line: a")},
      {"Add unhashable", [&](auto& t) { t.Add(unhashable, 9); }, 5,
       with(u"Add", u"Error 5. Line: ")},
      {"Item missing", [](auto& t) { (void)t.Item(u"zz"); }, 5,
       with(u"Item Get", u"Error 5 (2). Line: zz")},
      {"Item number", [](auto& t) { (void)t.Item(2.5); }, 5,
       with(u"Item Get", u"Error 5 (2). Line: 2.5")},
      {"Item truth value", [](auto& t) { (void)t.Item(true); }, 5,
       with(u"Item Get", u"Error 5 (2). Line: True")},
      {"Item unhashable", [&](auto& t) { (void)t.Item(unhashable); }, 5,
       with(u"Item Get", u"Error 5 (1). Line: ")},
      {"Let missing", [](auto& t) { t.LetItem(u"zz", 1); }, 5,
       with(u"Item Let", u"Error 5 (2). Line: zz")},
      {"Let unhashable", [&](auto& t) { t.LetItem(unhashable, 1); }, 5,
       with(u"Item Let", u"Error 5 (1). Line: ")},
      {"Set missing", [&](auto& t) { t.SetItem(u"zz", object); }, 5,
       with(u"Item Set", u"Error 5 (2).  Line: zz")},
      {"Set unhashable", [&](auto& t) { t.SetItem(unhashable, object); }, 5,
       with(u"Item Set", u"Error 5 (1). Line: ")},
      {"Key old unhashable", [&](auto& t) { t.Key(unhashable, u"n"); }, 5,
       with(u"Key_ Set", u"Error 5 (1). Line: ")},
      {"Key old missing", [](auto& t) { t.Key(u"zz", u"n"); }, 5,
       with(u"Key_ Set", u"Error 5 (2). Line: zz")},
      {"Key new present", [](auto& t) { t.Key(u"a", u"b"); }, 457,
       with(u"Key_ Set", u"Error 457. Line: a")},
      {"Key new unhashable", [&](auto& t) { t.Key(u"a", unhashable); }, 5,
       with(u"Key_ Set", u"Error 5 (3). Line: a")},
      {"Exists unhashable", [&](auto& t) { EXPECT_FALSE(t.Exists(unhashable)); }, 5,
       with(u"Exists", u"Error 5. Line: ")},
      {"Remove missing", [](auto& t) { t.Remove(u"zz"); }, 5,
       with(u"Remove", u"Error 5 (2). Line: zz")},
      {"Remove unhashable", [&](auto& t) { t.Remove(unhashable); }, 5,
       with(u"Remove", u"Error 5 (1). Line: ")},
      {"HashValue unhashable", [&](auto& t) { EXPECT_EQ(t.HashValue(unhashable), 0); }, 5,
       with(u"HashValue", u"Error 5. Value: ")},
      {"CompareMode with entries", [](auto& t) { t.CompareMode(1); }, 5,
       Texts{u"clsBrenloHashTable.CompareMode",
             u"Compare mode can be changed when there are no items only!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRecorder records;
    clsBrenloHashTable t(records);
    t.Add(u"a", 1);
    t.Add(u"b", 2);
    c.misuse(t);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records.records()[0].failure.number, c.number);
    EXPECT_EQ(records.records()[0].failure.description, runtimeErrorText(c.number));
    EXPECT_EQ(records.records()[0].context, c.context);
    EXPECT_EQ(t.Keys(), (std::vector<Variant>{u"a", u"b"}));
    EXPECT_EQ(t.Items(), (std::vector<Variant>{1, 2}));
    EXPECT_EQ(t.CompareMode(), 0);
  }
}

TEST_F(HashTableTest, HundredThousandKeys) {
  table.CompareMode(clsBrenloHashTable::kTextCompare);
  constexpr int kCount = 100000;
  for (int i = 0; i < kCount; ++i) table.Add(u"C:\\Users\\Путь\\" + toDecimal(i) + u".lnk", i);
  for (int i = 0; i < kCount; i += 2) table.Remove(u"c:\\users\\ПУТЬ\\" + toDecimal(i) + u".LNK");
  EXPECT_EQ(table.Count(), static_cast<std::size_t>(kCount / 2));
  int wrong = 0;
  for (int i = 0; i < kCount; ++i) {
    wrong += table.Exists(u"C:\\USERS\\путь\\" + toDecimal(i) + u".lnk") != (i % 2 == 1) ? 1 : 0;
  }
  EXPECT_EQ(wrong, 0);
  const std::vector<Variant> items = table.Items();
  ASSERT_EQ(items.size(), static_cast<std::size_t>(kCount / 2));
  EXPECT_EQ(items.front(), Variant(1));
  EXPECT_EQ(items.back(), Variant(kCount - 1));
  EXPECT_TRUE(recorder.empty());
}

}  // namespace
}  // namespace tolvaran
