#include "engine/browser_database.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "engine/path_names.h"
#include "support/embedded_resources.h"
#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {

namespace {

constexpr std::uint32_t kDatabaseCodePage = 1251;
constexpr std::int32_t kLocationFactor = 10000;
constexpr std::size_t kRecordFieldCount = 13;  // without the optional family and helpers
constexpr std::size_t kFamilyField = 13;
constexpr std::size_t kHelpersField = 14;

[[noreturn]] void fail(std::int32_t number) {
  throw RuntimeError(runtimeFailure(number));
}

std::vector<std::u16string_view> split(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> parts;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = text.find(separator, from);
    if (at == std::u16string_view::npos) {
      parts.push_back(text.substr(from));
      return parts;
    }
    parts.push_back(text.substr(from, at - from));
    from = at + 1;
  }
}

// A location: decimal digits, surrounding spaces allowed; anything else is a
// type mismatch, and a value beyond 32 bits an overflow.
std::int32_t parseLocation(std::u16string_view text) {
  const std::u16string_view digits = trimSpaces(text);
  if (digits.empty()) fail(rt::kTypeMismatch);
  std::int64_t value = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') fail(rt::kTypeMismatch);
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<std::int32_t>::max()) fail(rt::kOverflow);
  }
  return static_cast<std::int32_t>(value);
}

// "True"/"False" in any case, or a number (0 is false).
bool textToBoolean(std::u16string_view field) {
  const std::u16string_view text = trimSpaces(field);
  if (equalsNoCase(text, u"true")) return true;
  if (equalsNoCase(text, u"false")) return false;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  bool anyDigit = false;
  bool nonZero = false;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'.' && !seenPoint) {
      seenPoint = true;
    } else if (c >= u'0' && c <= u'9') {
      anyDigit = true;
      nonZero = nonZero || c != u'0';
    } else {
      fail(rt::kTypeMismatch);
    }
  }
  if (!anyDigit) fail(rt::kTypeMismatch);
  return nonZero;
}

std::vector<std::u16string> legitArgsList(std::u16string_view field) {
  const std::u16string unquoted = UnQuoteEx(field);
  std::vector<std::u16string> list;
  for (const std::u16string_view part : split(unquoted, u'|')) {
    list.emplace_back(part.empty() ? part : trimSpaces(part));
  }
  return list;
}

// Helper file names; an empty field is no helper at all.
std::vector<std::u16string> helperList(std::u16string_view field) {
  std::vector<std::u16string> list;
  for (const std::u16string_view part : split(field, u'|')) {
    const std::u16string_view name = trimSpaces(part);
    if (!name.empty()) list.emplace_back(name);
  }
  return list;
}

struct Macro {
  std::u16string_view text;
  enum class Kind {
    kAppData,
    kLocalAppData,
    kProgramFiles,
    kPF32,
    kPF64,
    kSysDrive,
    kDesktop,
    kUserProfile
  } kind;
};

constexpr std::array<Macro, 8> kMacros{{
    {u"<AppData>", Macro::Kind::kAppData},
    {u"<LocalAppData>", Macro::Kind::kLocalAppData},
    {u"<ProgramFiles>", Macro::Kind::kProgramFiles},
    {u"<PF32>", Macro::Kind::kPF32},
    {u"<PF64>", Macro::Kind::kPF64},
    {u"<SysDrive>", Macro::Kind::kSysDrive},
    {u"<Desktop>", Macro::Kind::kDesktop},
    {u"<UserProfile>", Macro::Kind::kUserProfile},
}};

}  // namespace

BrowserDatabase::BrowserDatabase(FailureRecorder& recorder, modFile& fileHelpers,
                                 BrowserFolders folders)
    : recorder_(recorder),
      fileHelpers_(fileHelpers),
      folders_(std::move(folders)),
      index_(recorder),
      entries_(1) {
  index_.CompareMode(clsBrenloHashTable::kTextCompare);
}

void BrowserDatabase::cryptInit(std::uint64_t seed) {
  guardedStep(
      recorder_, [&] { keystream_ = makeBrowserKeystream(seed); },
      [] { return ErrorContext(u"Crypt.cryptInit"); });
}

std::u16string BrowserDatabase::cryptProcess(std::span<const std::byte> data, std::int32_t& offset,
                                             std::int32_t length) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        if (offset < 0 || length < 0 || static_cast<std::size_t>(offset) > data.size() ||
            static_cast<std::size_t>(length) > data.size() - static_cast<std::size_t>(offset)) {
          fail(rt::kSubscriptOutOfRange);
        }
        const std::string bytes = decipherBytes(keystream_, data, static_cast<std::size_t>(offset),
                                                static_cast<std::size_t>(length));
        offset = static_cast<std::int32_t>((static_cast<std::int64_t>(offset) + length) % 256);
        return codePageToUtf16(bytes, kDatabaseCodePage);
      },
      [] { return ErrorContext(u"Crypt.cryptProcess"); });
}

void BrowserDatabase::GetBrowserCryptOffset(std::span<const std::byte> resource) {
  guardedStep(
      recorder_,
      [&] {
        index_.RemoveAll();
        entries_.assign(1, Entry{});
        programNames_.reset();
        data_.assign(resource.begin(), resource.end());
        if (data_.size() < 2) fail(rt::kSubscriptOutOfRange);
        // The length is binary: read it from the deciphered bytes, not
        // through the code page.
        const std::string head = decipherBytes(keystream_, data_, 0, 2);
        const std::int32_t indexLength =
            static_cast<std::uint8_t>(head[1]) * 256 + static_cast<std::uint8_t>(head[0]);
        std::int32_t offset = 2;
        if (indexLength < 2 || static_cast<std::size_t>(indexLength) > data_.size()) {
          fail(rt::kSubscriptOutOfRange);
        }
        const std::u16string text = cryptProcess(data_, offset, indexLength - 2);
        const std::vector<std::u16string_view> elements = split(text, u';');
        for (std::size_t i = 0; i + 2 < elements.size(); ++i) {
          const std::u16string_view element = elements[i];
          const std::size_t comma = element.find(u',');
          if (comma == std::u16string_view::npos) fail(rt::kInvalidProcedureCall);
          const std::u16string name = EscapeCodeToString(element.substr(0, comma));
          const std::int32_t location = parseLocation(element.substr(comma + 1));
          BrowserID id = 0;
          if (index_.Exists(name)) {
            id = static_cast<BrowserID>(index_.Item(name).integer());
          } else {
            id = static_cast<BrowserID>(entries_.size());
            entries_.push_back(Entry{name, false, {}, {}});
            index_.Add(name, id);
          }
          Entry& entry = entries_[static_cast<std::size_t>(id)];
          if (entry.locations.size() < kMaxRecordsPerBrowser) entry.locations.push_back(location);
        }
      },
      [] { return ErrorContext(u"Crypt.GetBrowserCryptOffset"); });
}

BrowserID BrowserDatabase::DecryptBrowserString(std::u16string_view name) {
  BrowserID id = 0;
  return guarded(
      recorder_, BrowserID{0},
      [&] {
        const std::u16string key(name);
        if (!index_.Exists(key)) return BrowserID{0};
        id = static_cast<BrowserID>(index_.Item(key).integer());
        if (id <= 0 || static_cast<std::size_t>(id) >= entries_.size()) return BrowserID{0};
        decipher(entries_[static_cast<std::size_t>(id)]);
        return id;
      },
      [&] { return ErrorContext(u"Crypt.DecryptBrowserString"); });
}

void BrowserDatabase::decipher(Entry& entry) {
  if (entry.deciphered) return;
  entry.deciphered = true;
  entry.records.assign(entry.locations.size(), BrowserInfo{});
  for (std::size_t j = 0; j < entry.locations.size(); ++j) {
    std::int32_t offset = entry.locations[j] / kLocationFactor;
    const std::int32_t length = entry.locations[j] % kLocationFactor;
    const std::u16string text = cryptProcess(data_, offset, length);
    BrowserInfo& record = entry.records[j];
    record.Key = entry.name;
    // A damaged record keeps what was filled before the damage and does not
    // cost the browser its other records.
    guardedStep(
        recorder_, [&] { fillRecord(record, text); },
        [&] { return ErrorContext(u"Crypt.DecryptBrowserString", u"Name:", entry.name); });
  }
}

// Fills the fields in order; a record cut short fails at its first missing
// field and keeps the fields before it. Family and helpers are optional.
void BrowserDatabase::fillRecord(BrowserInfo& record, std::u16string_view text) {
  const std::vector<std::u16string_view> fields = split(text, u';');
  const auto field = [&](std::size_t i) {
    if (i >= fields.size()) fail(rt::kSubscriptOutOfRange);
    return fields[i];
  };
  record.Title = EscapeCodeToString(field(1));
  record.InetClass = std::u16string(field(2));
  record.ExePath = ExpandMacroPath(field(3));
  record.DefaultArgs = std::u16string(trimSpaces(UnQuoteEx(field(4))));
  record.LegitArgs = legitArgsList(field(5));
  record.AppPathsName = std::u16string(field(6));
  record.Field7 = std::u16string(field(7));
  record.InetClassIsFolder = textToBoolean(field(8));
  record.KeepExePath = textToBoolean(field(9));
  record.RegPathValue = std::u16string(field(10));
  record.RegFolderValue = std::u16string(field(11));
  record.IsMasked = textToBoolean(field(kRecordFieldCount - 1));
  if (fields.size() > kFamilyField) {
    record.Family = std::u16string(trimSpaces(fields[kFamilyField]));
  }
  if (fields.size() > kHelpersField) record.Helpers = helperList(fields[kHelpersField]);
}

std::u16string BrowserDatabase::EscapeCodeToString(std::u16string_view text) {
  return guarded(
      recorder_, std::u16string(), [&] { return escapeCodeToString(text); },
      [&] {
        return ErrorContext(u"Crypt.EscapeCodeToString. Database general failure.", u"inLine:",
                            text);
      });
}

std::u16string BrowserDatabase::ExpandMacroPath(std::u16string_view path) {
  return guarded(
      recorder_, std::u16string(path),
      [&]() -> std::u16string {
        const Macro* first = nullptr;
        std::size_t firstAt = std::u16string_view::npos;
        for (const Macro& macro : kMacros) {
          const std::size_t at = findNoCase(path, macro.text);
          if (at < firstAt) {
            firstAt = at;
            first = &macro;
          }
        }
        if (first == nullptr) return std::u16string(path);
        const auto with = [&](std::u16string_view folder) {
          return replaceAllNoCase(path, first->text, folder);
        };
        switch (first->kind) {
          case Macro::Kind::kAppData: return with(folders_.AppDataDir);
          case Macro::Kind::kLocalAppData:
            return with(folders_.Family == u"Vista" ? folders_.LocalAppDataDir
                                                    : folders_.AppDataDir);
          case Macro::Kind::kSysDrive: return with(folders_.SysDrive);
          case Macro::Kind::kDesktop: return with(folders_.DesktopDir);
          case Macro::Kind::kUserProfile: return with(folders_.UserProfileDir);
          case Macro::Kind::kProgramFiles:
          case Macro::Kind::kPF32:
          case Macro::Kind::kPF64: break;
        }
        if (folders_.Bitness == u"x32") return with(folders_.PF32);
        // On 64-bit Windows a program may sit in either program-files folder:
        // take the one the macro names (PF32 for the neutral one) when the
        // file is there, the other otherwise.
        const bool wants64 = first->kind == Macro::Kind::kPF64;
        std::u16string candidate = with(wants64 ? folders_.PF64 : folders_.PF32);
        if (fileHelpers_.isFileExists(candidate)) return candidate;
        return with(wants64 ? folders_.PF32 : folders_.PF64);
      },
      [] { return ErrorContext(u"Crypt.ExpandMacroPath"); });
}

const std::vector<BrowserInfo>& BrowserDatabase::records(BrowserID id) {
  static const std::vector<BrowserInfo> kNone;
  if (id <= 0 || static_cast<std::size_t>(id) >= entries_.size()) return kNone;
  Entry& entry = entries_[static_cast<std::size_t>(id)];
  guardedStep(
      recorder_, [&] { decipher(entry); },
      [] { return ErrorContext(u"Crypt.DecryptBrowserString"); });
  return entry.records;
}

const BrowserDatabase::Outline& BrowserDatabase::outline(BrowserID id) {
  static const Outline kNone;
  if (id <= 0 || static_cast<std::size_t>(id) >= entries_.size()) return kNone;
  Entry& entry = entries_[static_cast<std::size_t>(id)];
  if (entry.outline) return *entry.outline;
  Outline& read = entry.outline.emplace();
  for (std::size_t j = 0; j < entry.locations.size(); ++j) {
    std::int32_t offset = entry.locations[j] / kLocationFactor;
    const std::u16string text = cryptProcess(data_, offset, entry.locations[j] % kLocationFactor);
    const std::vector<std::u16string_view> fields = split(text, u';');
    if (j == 0 && fields.size() > kFamilyField) read.family = trimSpaces(fields[kFamilyField]);
    // Macros stand for folders only: the file name is the same expanded.
    if (fields.size() > 3) read.programs.push_back(GetFileNameAndExt(fields[3]));
    if (fields.size() > kHelpersField) {
      for (std::u16string& helper : helperList(fields[kHelpersField])) {
        read.programs.push_back(std::move(helper));
      }
    }
  }
  return read;
}

const std::u16string& BrowserDatabase::family(BrowserID id) {
  return outline(id).family;
}

bool BrowserDatabase::runsProgram(BrowserID id, std::u16string_view fileName) {
  for (const std::u16string& program : outline(id).programs) {
    if (equalsNoCase(program, fileName)) return true;
  }
  return false;
}

const std::vector<std::u16string>& BrowserDatabase::programNames() {
  if (programNames_) return *programNames_;
  std::vector<std::u16string>& names = programNames_.emplace();
  for (BrowserID id = 1; id <= browserCount(); ++id) {
    for (const std::u16string& program : outline(id).programs) {
      const bool known = std::any_of(names.begin(), names.end(), [&](const std::u16string& name) {
        return equalsNoCase(name, program);
      });
      if (!program.empty() && !known) names.push_back(program);
    }
  }
  return names;
}

std::vector<std::u16string> BrowserDatabase::names() const {
  std::vector<std::u16string> list;
  list.reserve(entries_.size());
  for (std::size_t i = 1; i < entries_.size(); ++i) list.push_back(entries_[i].name);
  return list;
}

void loadBuiltInBrowserDatabase(BrowserDatabase& database) {
  database.cryptInit(kBrowserDatabaseSeed);
  database.GetBrowserCryptOffset(embeddedResource(resource::kBrowserDatabase));
}

}  // namespace tolvaran
