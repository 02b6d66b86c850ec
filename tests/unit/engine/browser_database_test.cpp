// The browser database: the shipped resource decodes to exactly its source,
// the decoder survives damaged bytes, and the escapes and folder macros.
#include "engine/browser_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "browser_test_rig.h"
#include "support/embedded_resources.h"

namespace tolvaran {
namespace {

using browser_test::makeResource;
using browser_test::Rig;
using browser_test::tenFolders;

struct ExpectedRecord {
  const char16_t* name;
  const char16_t* title;
  const char16_t* client;
  const char16_t* exe;
  const char16_t* defaultArgs;
  const char16_t* legitArgs;
  const char16_t* appPaths;
  const char16_t* note;
  bool clientIsFolder;
  bool keepExePath;
  const char16_t* regPath;
  const char16_t* regFolder;
  bool masked;
  const char16_t* family;
  const char16_t* helpers;
};

constexpr ExpectedRecord kShippedRecords[] = {
#include "resources/browser_records.inc"
};

std::vector<std::u16string> splitBars(std::u16string_view text) {
  std::vector<std::u16string> parts;
  std::size_t from = 0;
  while (true) {
    const std::size_t bar = text.find(u'|', from);
    parts.emplace_back(text.substr(from, bar == std::u16string_view::npos ? bar : bar - from));
    if (bar == std::u16string_view::npos) return parts;
    from = bar + 1;
  }
}

// On the test machine nothing is installed, so a program-files macro ends on
// the folder it did not prefer (the path with it does not exist either).
std::u16string expandOnEmptyMachine(std::u16string_view path) {
  const BrowserFolders f = tenFolders();
  const std::pair<std::u16string_view, std::u16string> macros[] = {
      {u"<AppData>", f.AppDataDir}, {u"<LocalAppData>", f.LocalAppDataDir},
      {u"<ProgramFiles>", f.PF64},  {u"<PF32>", f.PF64},
      {u"<PF64>", f.PF32},          {u"<SysDrive>", f.SysDrive},
      {u"<Desktop>", f.DesktopDir}, {u"<UserProfile>", f.UserProfileDir}};
  std::size_t first = std::u16string_view::npos;
  const std::pair<std::u16string_view, std::u16string>* chosen = nullptr;
  for (const auto& macro : macros) {
    const std::size_t at = path.find(macro.first);
    if (at < first) {
      first = at;
      chosen = &macro;
    }
  }
  return chosen ? replaceAll(path, chosen->first, chosen->second) : std::u16string(path);
}

TEST(BrowserDatabase, ShippedResourceDecodesToItsSource) {
  Rig rig;
  rig.loadBuiltIn();
  ASSERT_GT(std::size(kShippedRecords), 300u);

  std::vector<std::u16string> names;
  for (const ExpectedRecord& e : kShippedRecords) {
    if (names.empty() || names.back() != e.name) names.emplace_back(e.name);
  }
  EXPECT_EQ(rig.database->names(), names);
  EXPECT_EQ(rig.database->browserCount(), static_cast<BrowserID>(names.size()));

  std::size_t next = 0;
  for (const std::u16string& name : names) {
    SCOPED_TRACE(utf16ToUtf8(name));
    const BrowserID id = rig.database->DecryptBrowserString(name);
    ASSERT_NE(id, 0);
    EXPECT_EQ(rig.database->DecryptBrowserString(foldCase(name)), id);
    for (const BrowserInfo& got : rig.database->records(id)) {
      ASSERT_LT(next, std::size(kShippedRecords));
      const ExpectedRecord& e = kShippedRecords[next++];
      BrowserInfo want;
      want.Key = e.name;
      want.Title = e.title;
      want.InetClass = e.client;
      want.ExePath = expandOnEmptyMachine(e.exe);
      want.DefaultArgs = e.defaultArgs;
      want.LegitArgs = splitBars(e.legitArgs);
      want.AppPathsName = e.appPaths;
      want.Field7 = e.note;
      want.InetClassIsFolder = e.clientIsFolder;
      want.KeepExePath = e.keepExePath;
      want.RegPathValue = e.regPath;
      want.RegFolderValue = e.regFolder;
      want.IsMasked = e.masked;
      want.Family = e.family;
      if (*e.helpers != u'\0') want.Helpers = splitBars(e.helpers);
      EXPECT_EQ(got, want) << utf16ToUtf8(got.ExePath);
    }
  }
  EXPECT_EQ(next, std::size(kShippedRecords));
  EXPECT_EQ(rig.database->DecryptBrowserString(u"not a browser"), 0);
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(BrowserDatabase, NamesAndTitlesOutsideTheCodePageSurviveAsEscapes) {
  Rig rig;
  rig.loadBuiltIn();
  const BrowserID id = rig.database->DecryptBrowserString(u"猎豹安全浏览器");
  ASSERT_NE(id, 0);
  EXPECT_EQ(rig.database->records(id).front().Title, u"猎豹安全浏览器");
  // A de-masked form is a name of its own, with the same records.
  const BrowserID masked = rig.database->DecryptBrowserString(DeMaskName(u"opera"));
  ASSERT_NE(masked, 0);
  EXPECT_EQ(rig.database->records(masked).front().Title, u"Opera");
}

// A browser's channels and side items share its family; Tor Browser, built
// on Firefox, and the other browsers are families of their own.
TEST(BrowserDatabase, ChannelsShareTheirBrowsersFamily) {
  Rig rig;
  rig.loadBuiltIn();
  struct Case {
    std::u16string_view name;
    std::u16string_view family;
  };
  for (const Case& c : {Case{u"Google", u"chrome"}, Case{u"Chrome Canary", u"chrome"},
                        Case{u"Chrome App Launcher", u"chrome"}, Case{u"Edge", u"edge"},
                        Case{u"Microsoft Edge Dev", u"edge"}, Case{u"Nightly", u"firefox"},
                        Case{u"Firefox Private Browsing", u"firefox"}, Case{u"Opera GX", u"opera"},
                        Case{u"Brave Nightly", u"brave"}, Case{u"Tor Browser", u""},
                        Case{u"Chromium", u""}, Case{u"Vivaldi", u""}}) {
    const BrowserID id = rig.database->DecryptBrowserString(c.name);
    ASSERT_NE(id, 0) << utf16ToUtf8(c.name);
    for (const BrowserInfo& record : rig.database->records(id)) {
      EXPECT_EQ(record.Family, c.family)
          << utf16ToUtf8(c.name) << " " << utf16ToUtf8(record.ExePath);
    }
  }
}

// --- the cipher --------------------------------------------------------------------

TEST(BrowserCipher, KeystreamIsFixedBySeedAndCryptProcessIsRepeatable) {
  EXPECT_EQ(makeBrowserKeystream(7), makeBrowserKeystream(7));
  EXPECT_NE(makeBrowserKeystream(7), makeBrowserKeystream(8));

  Rig rig;
  rig.database->cryptInit(kBrowserDatabaseSeed);
  const auto data = embeddedResource(resource::kBrowserDatabase);
  ASSERT_GT(data.size(), 1000u);
  for (const std::int32_t start : {0, 2, 255, 256, 700}) {
    std::int32_t first = start;
    std::int32_t second = start;
    const std::u16string a = rig.database->cryptProcess(data, first, 300);
    const std::u16string b = rig.database->cryptProcess(data, second, 300);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), 300u);
    EXPECT_EQ(first, (start + 300) % 256);
  }
  // A block read from a later start is the same bytes as the tail of an
  // earlier one: the key depends on the absolute position only.
  std::int32_t whole = 0;
  std::int32_t tail = 100;
  EXPECT_EQ(rig.database->cryptProcess(data, whole, 400).substr(100),
            rig.database->cryptProcess(data, tail, 300));
  EXPECT_TRUE(rig.recorder.empty());

  for (const auto& [offset, length] : std::vector<std::pair<std::int32_t, std::int32_t>>{
           {-1, 2},
           {0, -1},
           {static_cast<std::int32_t>(data.size()), 1},
           {static_cast<std::int32_t>(data.size()) - 1, 2},
           {2'000'000'000, 2'000'000'000}}) {
    std::int32_t at = offset;
    EXPECT_EQ(rig.database->cryptProcess(data, at, length), u"");
    EXPECT_EQ(at, offset);
  }
  EXPECT_EQ(rig.recorder.size(), 5u);
  EXPECT_EQ(rig.recorder.records().front().context.front(), u"Crypt.cryptProcess");
}

// --- the index and the records ---------------------------------------------------------

constexpr std::u16string_view kFullRecord =
    u"x;Title One;Client;<AppData>\\A\\a.exe;\"  -x  \";\"-a | -b|| \";a.exe;seven;true;FALSE;"
    u"HKCU\\P\\v;HKCU\\F\\v;-1; fam ; a_proxy.exe || b.exe ";

TEST(BrowserDatabase, EachAppearanceOfANameAddsARecordDecipheredOnFirstUse) {
  Rig rig;
  const auto resource = makeResource(
      {{u"Alpha", 0}, {u"Beta", 1}, {u"alpha", 1}, {u"ALPHA", 2}, {u"\\0041\\0062c", 0}},
      {std::u16string(kFullRecord), u"0;Two;;b.exe;;;;;0;1;;;0",
       u"0;Three;;c.exe;;;;;0;0;;;2.5;f"});
  rig.load(resource);
  ASSERT_EQ(rig.database->browserCount(), 3);
  EXPECT_EQ(rig.database->names(), (std::vector<std::u16string>{u"Alpha", u"Beta", u"Abc"}));

  const BrowserID alpha = rig.database->DecryptBrowserString(u"aLpHa");
  ASSERT_EQ(alpha, 1);
  const std::vector<BrowserInfo>& records = rig.database->records(alpha);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].Title, u"Two");
  EXPECT_TRUE(records[1].KeepExePath);
  // The family and helpers fields came later: a record without them, or
  // with the family alone, is whole.
  EXPECT_EQ(records[1].Family, u"");
  EXPECT_TRUE(records[1].Helpers.empty());
  EXPECT_TRUE(records[2].IsMasked);  // a non-zero number is true
  EXPECT_EQ(records[2].Family, u"f");
  EXPECT_TRUE(records[2].Helpers.empty());

  const BrowserInfo& r = records[0];
  EXPECT_EQ(r.Key, u"Alpha");
  EXPECT_EQ(r.Title, u"Title One");
  EXPECT_EQ(r.InetClass, u"Client");
  EXPECT_EQ(r.ExePath, u"C:\\Users\\User\\AppData\\Roaming\\A\\a.exe");
  EXPECT_EQ(r.DefaultArgs, u"-x");
  EXPECT_EQ(r.LegitArgs, (std::vector<std::u16string>{u"-a", u"-b", u"", u""}));
  EXPECT_EQ(r.AppPathsName, u"a.exe");
  EXPECT_EQ(r.Field7, u"seven");
  EXPECT_TRUE(r.InetClassIsFolder);
  EXPECT_FALSE(r.KeepExePath);
  EXPECT_EQ(r.RegPathValue, u"HKCU\\P\\v");
  EXPECT_EQ(r.RegFolderValue, u"HKCU\\F\\v");
  EXPECT_TRUE(r.IsMasked);
  EXPECT_EQ(r.Family, u"fam");
  EXPECT_EQ(r.Helpers, (std::vector<std::u16string>{u"a_proxy.exe", u"b.exe"}));
  EXPECT_TRUE(rig.recorder.empty());
}

// Enciphered bytes with one plain byte changed: the first `from` after the
// length header becomes `to`.
std::vector<std::byte> withPlainByteReplaced(std::vector<std::byte> bytes, char from, char to) {
  const auto key = makeBrowserKeystream(kBrowserDatabaseSeed);
  for (std::size_t p = 2; p < bytes.size(); ++p) {
    const auto k = key[(p + 1) % 256];
    if (static_cast<char>(std::to_integer<std::uint8_t>(bytes[p]) ^ k) == from) {
      bytes[p] = static_cast<std::byte>(static_cast<std::uint8_t>(to) ^ k);
      break;
    }
  }
  return bytes;
}

TEST(BrowserDatabase, DamagedIndexIsRecordedAndKeepsTheNamesBeforeTheDamage) {
  const std::u16string good = u"0;T;;a.exe;;;;;0;0;;;0";
  const auto intact = makeResource({{u"A", 0}, {u"B", 0}, {u"C", 0}}, {good});
  auto cut = intact;
  cut.resize(5);  // the index runs past the end
  auto shortLength = intact;
  shortLength[0] ^= std::byte{0xFF};  // some other length
  shortLength[1] ^= std::byte{0xFF};
  struct Case {
    const char* what;
    std::vector<std::byte> bytes;
    std::vector<std::u16string> names;
    std::size_t failures;
  };
  const Case cases[] = {
      {"intact", intact, {u"A", u"B", u"C"}, 0},
      {"empty", {}, {}, 1},
      {"one byte", {std::byte{1}}, {}, 1},
      {"index cut short", cut, {}, 1},
      {"length beyond the data", shortLength, {}, 1},
      {"entry without comma", withPlainByteReplaced(intact, ',', '.'), {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    rig.load(c.bytes);
    EXPECT_EQ(rig.database->names(), c.names);
    EXPECT_EQ(rig.recorder.size(), c.failures);
    if (!rig.recorder.empty()) {
      EXPECT_EQ(rig.recorder.records().front().context.front(), u"Crypt.GetBrowserCryptOffset");
    }
  }
  // The damage after the first entry: the first name stays.
  Rig rig;
  const auto bytes = makeResource({{u"A", 0}, {u"B;C", 0}}, {good});
  rig.load(bytes);
  EXPECT_EQ(rig.database->names(), std::vector<std::u16string>{u"A"});
  EXPECT_EQ(rig.recorder.size(), 1u);
}

TEST(BrowserDatabase, DamagedRecordsKeepTheirFilledFieldsAndTheOtherRecords) {
  Rig rig;
  rig.load(makeResource({{u"A", 0}, {u"A", 1}, {u"A", 2}, {u"B", 3}},
                        {u"0;Short;Client;a.exe", u"0;Fine;;b.exe;;;;;0;0;;;0",
                         u"0;BadFlag;;c.exe;;;;;maybe;0;;;0", u"0;Far"}));
  const BrowserID a = rig.database->DecryptBrowserString(u"A");
  ASSERT_EQ(a, 1);
  const auto& records = rig.database->records(a);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Title, u"Short");
  EXPECT_EQ(records[0].InetClass, u"Client");
  EXPECT_EQ(records[0].ExePath, u"a.exe");
  EXPECT_EQ(records[0].DefaultArgs, u"");
  EXPECT_EQ(records[1].Title, u"Fine");
  EXPECT_EQ(records[2].ExePath, u"c.exe");
  ASSERT_EQ(rig.recorder.size(), 2u);
  for (const auto& record : rig.recorder.records()) {
    EXPECT_EQ(record.context.front(), u"Crypt.DecryptBrowserString");
  }
  // Deciphered once: asking again records nothing new.
  EXPECT_EQ(rig.database->DecryptBrowserString(u"a"), a);
  EXPECT_EQ(rig.recorder.size(), 2u);
}

TEST(BrowserDatabase, LocationsOutsideTheDataOrNotNumbersAreFailures) {
  // A location is offset * 10000 + length: the largest record is 9999 bytes.
  for (const std::u16string index : {u"Z,12x;;", u"Z,99999999999;;", u"Z,99990000;;"}) {
    SCOPED_TRACE(utf16ToUtf8(index));
    std::string plain = utf16ToCodePage(index, 1251);
    const std::size_t length = plain.size() + 2;
    plain.insert(0, 1, static_cast<char>(length >> 8));
    plain.insert(0, 1, static_cast<char>(length & 0xFF));
    const auto key = makeBrowserKeystream(kBrowserDatabaseSeed);
    std::vector<std::byte> data(plain.size());
    for (std::size_t p = 0; p < plain.size(); ++p) {
      data[p] = static_cast<std::byte>(static_cast<std::uint8_t>(plain[p]) ^ key[(p + 1) % 256]);
    }
    Rig damaged;
    damaged.load(data);
    const BrowserID z = damaged.database->DecryptBrowserString(u"Z");
    EXPECT_TRUE(z == 0 || damaged.database->records(z).front().Title.empty());
    EXPECT_FALSE(damaged.recorder.empty());
  }
}

TEST(BrowserDatabase, TruncatedShippedResourceNeverFails) {
  const auto whole = embeddedResource(resource::kBrowserDatabase);
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{2}, std::size_t{100}, whole.size() / 3, whole.size() - 1}) {
    Rig rig;
    rig.load(whole.first(size));
    for (const std::u16string& name : rig.database->names()) {
      const BrowserID id = rig.database->DecryptBrowserString(name);
      EXPECT_NE(id, 0);
      EXPECT_LE(rig.database->records(id).size(), kMaxRecordsPerBrowser);
    }
  }
}

// --- escapes and macros -------------------------------------------------------------------

TEST(BrowserDatabase, EscapeCodeToString) {
  Rig rig;
  struct Case {
    std::u16string_view in;
    std::u16string_view out;
  };
  for (const Case& c :
       {Case{u"\\0041", u"A"}, Case{u"x\\00e9y\\00E9", u"xéyé"}, Case{u"\\041", u"\\041"},
        Case{u"\\00412", u"A2"}, Case{u"\\zz41", u"\\zz41"}, Case{u"\\\\0041", u"\\A"},
        Case{u"end\\004", u"end\\004"}, Case{u"\\D83D\\DE00", u"\U0001F600"}, Case{u"", u""}}) {
    EXPECT_EQ(rig.database->EscapeCodeToString(c.in), c.out) << utf16ToUtf8(c.in);
  }
}

TEST(BrowserDatabase, ExpandMacroPath) {
  const std::u16string pf32 = u"C:\\Program Files (x86)";
  const std::u16string pf64 = u"C:\\Program Files";
  Rig rig;
  rig.addFile(pf32 + u"\\A\\a.exe");  // only the 32-bit folder holds it
  rig.addFile(pf64 + u"\\B\\b.exe");  // only the native folder holds it
  BrowserDatabase& db = *rig.database;
  struct Case {
    std::u16string in;
    std::u16string out;
  };
  for (const Case& c : {
           Case{u"<PF64>\\A\\a.exe", pf32 + u"\\A\\a.exe"},
           Case{u"<PF64>\\B\\b.exe", pf64 + u"\\B\\b.exe"},
           Case{u"<PF32>\\B\\b.exe", pf64 + u"\\B\\b.exe"},
           Case{u"<ProgramFiles>\\A\\a.exe", pf32 + u"\\A\\a.exe"},
           Case{u"<pf32>\\missing.exe", pf64 + u"\\missing.exe"},  // the other, even missing
           Case{u"<PF64>\\missing.exe", pf32 + u"\\missing.exe"},
           Case{u"<APPDATA>\\x;<AppData>\\y",
                u"C:\\Users\\User\\AppData\\Roaming\\x;"
                u"C:\\Users\\User\\AppData\\Roaming\\y"},
           Case{u"<Desktop>\\<AppData>", u"C:\\Users\\User\\Desktop\\<AppData>"},
           Case{u"<UserProfile>\\<Desktop>", u"C:\\Users\\User\\<Desktop>"},
           Case{u"<SysDrive>\\x.exe", u"C:\\x.exe"},
           Case{u"<LocalAppData>\\x.exe", u"C:\\Users\\User\\AppData\\Local\\x.exe"},
           Case{u"C:\\plain\\<Unknown>\\x.exe", u"C:\\plain\\<Unknown>\\x.exe"},
       }) {
    EXPECT_EQ(db.ExpandMacroPath(c.in), c.out) << utf16ToUtf8(c.in);
  }

  BrowserFolders xp = tenFolders();
  xp.Family = u"XP";
  xp.Bitness = u"x32";
  xp.PF64 = xp.PF32 = u"C:\\Program Files";
  Rig old(xp);
  old.addFile(u"C:\\Program Files (x86)\\A\\a.exe");  // not looked at on 32-bit Windows
  EXPECT_EQ(old.database->ExpandMacroPath(u"<PF64>\\A\\a.exe"), u"C:\\Program Files\\A\\a.exe");
  EXPECT_EQ(old.database->ExpandMacroPath(u"<LocalAppData>\\x"),
            u"C:\\Users\\User\\AppData\\Roaming\\x");
  EXPECT_TRUE(rig.recorder.empty());
}

}  // namespace
}  // namespace tolvaran
