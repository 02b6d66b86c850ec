// Real shortcut files made by Windows XP to 10, each beside an independent
// reading of it (the output of lnkinfo): the codec must read what that
// reading shows, refuse what it refuses, and write every file back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_reader.h"
#include "shortcut/lnk_writer.h"
#include "support/civil_date.h"
#include "support/text.h"

namespace tolvaran::lnk {
namespace {

namespace fs = std::filesystem;

// --- The corpus ------------------------------------------------------------

struct CorpusFile {
  std::string name;  // relative to the corpus folder, with forward slashes
  std::string bytes;
  std::string reading;  // the .lnkinfo.txt beside it
};

std::string readWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path corpusFolder() {
  return fs::path(TOLVARAN_SOURCE_DIR "/../shared/corpus/lnk");
}

// Read once for the whole test program.
const std::vector<CorpusFile>& corpus() {
  static const std::vector<CorpusFile> files = [] {
    std::vector<CorpusFile> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(corpusFolder(), error), end; !error && it != end;
         it.increment(error)) {
      if (!it->is_regular_file() || it->path().extension() != ".lnk") continue;
      CorpusFile file;
      file.name = it->path().lexically_relative(corpusFolder()).generic_string();
      file.bytes = readWhole(it->path());
      file.reading = readWhole(it->path().string() + ".lnkinfo.txt");
      found.push_back(std::move(file));
    }
    std::sort(found.begin(), found.end(),
              [](const CorpusFile& a, const CorpusFile& b) { return a.name < b.name; });
    return found;
  }();
  return files;
}

#define SKIP_WITHOUT_CORPUS()                                         \
  if (corpus().empty())                                               \
  GTEST_SKIP() << "no shortcut corpus at " << corpusFolder().string() \
               << " (it lives in the shared folder beside the repository)"

// The files' narrow strings are in code page 1252, the code page lnkinfo
// decodes with.
const AnsiCodec& westernCodec() {
  static const AnsiCodec codec = codePageCodec(1252);
  return codec;
}

// --- The independent reading -----------------------------------------------

// The values of lnkinfo's output this test compares: "Section/Key" for the
// one-tab lines of a section, "Contains ..." lines as keys with an empty value.
struct Reading {
  bool failed = false;
  std::map<std::string, std::string> values;
  std::set<std::string> contains;
  [[nodiscard]] const std::string* get(const std::string& key) const {
    const auto found = values.find(key);
    return found == values.end() ? nullptr : &found->second;
  }
};

Reading parseReading(const std::string& text) {
  Reading reading;
  std::istringstream lines(text);
  std::string line;
  std::string section;
  while (std::getline(lines, line)) {
    if (line == "--- stderr ---") {
      reading.failed = true;
      break;
    }
    if (line.empty()) continue;
    if (line[0] != '\t') {
      section = line.back() == ':' ? line.substr(0, line.size() - 1) : line;
      continue;
    }
    const std::size_t depth = line.find_first_not_of('\t');
    if (depth == std::string::npos) continue;
    const std::string body = line.substr(depth);
    if (body.rfind("Contains ", 0) == 0) {
      reading.contains.insert(body);
      continue;
    }
    const std::size_t colon = body.find(": ");
    const std::size_t bare = body.size() >= 1 && body.back() == ':' ? body.size() - 1 : body.npos;
    const std::size_t split = colon != body.npos ? colon : bare;
    if (split == body.npos) continue;
    std::string key = body.substr(0, split);
    key.erase(key.find_last_not_of(" \t") + 1);
    const std::string value = colon != body.npos ? body.substr(colon + 2) : std::string();
    // Deeper lines repeat keys (shell items); the first of each is the one wanted.
    reading.values.emplace(section + "/" + key, value);
  }
  return reading;
}

// --- The codec's view, rendered as lnkinfo renders it ----------------------

std::string utf8(std::u16string_view text) {
  return utf16ToUtf8(text);
}

// lnkinfo shows the bytes code page 1252 leaves undefined as U+FFFD.
std::string utf8Western(std::string_view bytes) {
  std::u16string text = westernCodec().toText(bytes);
  for (char16_t& c : text) {
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) c = 0xFFFD;
  }
  return utf8(text);
}

std::string hex8(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08x", value);
  return buffer;
}

std::string fileTime(std::uint64_t value) {
  if (value == 0) return "Not set (0)";
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::uint64_t ticksPerSecond = 10'000'000;
  const std::int64_t seconds = static_cast<std::int64_t>(value / ticksPerSecond) - 11644473600;
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t ofDay = seconds - days * 86400;
  const CivilDate date = civilFromDays(days);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %02u, %04lld %02lld:%02lld:%02lld.%07llu00 UTC",
                kMonths[date.month - 1], date.day, static_cast<long long>(date.year),
                static_cast<long long>(ofDay / 3600), static_cast<long long>(ofDay / 60 % 60),
                static_cast<long long>(ofDay % 60),
                static_cast<unsigned long long>(value % ticksPerSecond));
  return buffer;
}

std::string guidText(const Guid& g) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", g[3], g[2],
                g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14],
                g[15]);
  return buffer;
}

std::string driveType(std::uint32_t type) {
  static const char* const kNames[] = {
      "Not set", "No root directory", "Removable", "Fixed", "Remote", "CDROM", "Ram disk"};
  const std::string name = type < 7 ? kNames[type] : "Unknown";
  return name + " (" + std::to_string(type) + ")";
}

// "Section/Key" -> what the codec says lnkinfo should show; absent keys are
// ones lnkinfo does not print for this file.
std::map<std::string, std::string> expectedValues(const LnkFile& file) {
  std::map<std::string, std::string> values;
  const std::string info = "Link information/";
  const Header& h = file.header;
  values[info + "Creation time"] = fileTime(h.creationTime);
  values[info + "Modification time"] = fileTime(h.writeTime);
  values[info + "Access time"] = fileTime(h.accessTime);
  values[info + "File size"] = std::to_string(h.fileSize) + " bytes";
  values[info + "Icon index"] = std::to_string(h.iconIndex);
  values[info + "File attribute flags"] = hex8(h.fileAttributes);
  if (file.linkInfo) {
    const LinkInfo& li = *file.linkInfo;
    values[info + "Drive type"] = driveType(li.local ? li.local->volume.driveType : 0);
    values[info + "Drive serial number"] = hex8(li.local ? li.local->volume.serialNumber : 0);
    if (li.local) {
      const VolumeId& volume = li.local->volume;
      values[info + "Volume label"] =
          volume.labelUnicode ? utf8(*volume.labelUnicode) : utf8Western(volume.label);
      values[info + "Local path"] =
          li.local->basePathUnicode
              ? utf8(localPath(li, westernCodec()))
              : utf8Western(li.local->basePath) + utf8Western(li.commonPathSuffix);
    }
    if (li.network) {
      const std::string suffix = li.commonPathSuffixUnicode ? utf8(*li.commonPathSuffixUnicode)
                                                            : utf8Western(li.commonPathSuffix);
      values[info + "Network path"] = (li.network->unicode ? utf8(li.network->unicode->netName)
                                                           : utf8Western(li.network->netName)) +
                                      (suffix.empty() ? "" : "\\" + suffix);
    }
  }
  const std::pair<StringField, const char*> strings[] = {
      {StringField::kName, "Description"},
      {StringField::kRelativePath, "Relative path"},
      {StringField::kWorkingDir, "Working directory"},
      {StringField::kArguments, "Command line arguments"},
      {StringField::kIconLocation, "Icon location"}};
  for (const auto& [field, key] : strings) {
    if (file.strings[field]) values[info + key] = utf8(*file.strings[field]);
  }
  if (const ExtraBlock* block = file.findBlock(sig::kEnvironmentVariables)) {
    if (const auto env = readExpandableString(*block)) {
      values[info + "Environment variables location"] = utf8(env->unicode);
    }
  }
  // lnkinfo shows the unexpanded icon location where the file has one.
  if (const ExtraBlock* block = file.findBlock(sig::kIconEnvironment)) {
    if (const auto icon = readExpandableString(*block)) {
      values[info + "Icon location"] = utf8(icon->unicode);
    }
  }
  if (file.idList) {
    values["Link target identifier/Number of items"] = std::to_string(itemIds(*file.idList).size());
  }
  if (const ExtraBlock* block = file.findBlock(sig::kTracker)) {
    if (const auto tracker = readTracker(*block)) {
      const std::string section = "Distributed link tracking data/";
      values[section + "Machine identifier"] = utf8Western(tracker->machineId);
      values[section + "Droid volume identifier"] = guidText(tracker->droidVolume);
      values[section + "Droid file identifier"] = guidText(tracker->droidFile);
      values[section + "Birth droid volume identifier"] = guidText(tracker->birthDroidVolume);
      values[section + "Birth droid file identifier"] = guidText(tracker->birthDroidFile);
    }
  }
  return values;
}

std::set<std::string> expectedContains(const LnkFile& file) {
  std::set<std::string> contains;
  const std::pair<std::uint32_t, const char*> flags[] = {
      {flag::kHasLinkTargetIdList, "Contains a link target identifier"},
      {flag::kHasName, "Contains a description string"},
      {flag::kHasRelativePath, "Contains a relative path string"},
      {flag::kHasWorkingDir, "Contains a working directory string"},
      {flag::kHasArguments, "Contains a command line arguments string"},
      {flag::kHasIconLocation, "Contains an icon location string"},
      {flag::kHasExpString, "Contains an environment variables block"},
      {flag::kHasExpIcon, "Contains an icon location block"}};
  for (const auto& [bit, text] : flags) {
    if (effectiveLinkFlags(file) & bit) contains.insert(text);
  }
  return contains;
}

// The damaged files, and why each cannot be read.
const std::map<std::string, ReadError>& expectedFailures() {
  static const std::map<std::string, ReadError> failures = {
      {"damaged/EricZimmerman_Lnk__Bad__I2GXWHL_notlnk_recyclebin_I_record.lnk",
       ReadError::kBadHeaderSize},
      {"damaged/LnkParse3__extra_data.lnk", ReadError::kTruncatedExtraBlock},
      {"damaged/LnkParse3__padded_cli_arguments.lnk", ReadError::kTruncatedString},
  };
  return failures;
}

// Every readable file with its model.
std::vector<std::pair<const CorpusFile*, LnkFile>> readableFiles() {
  std::vector<std::pair<const CorpusFile*, LnkFile>> files;
  for (const CorpusFile& file : corpus()) {
    ReadResult read = readLnk(file.bytes, westernCodec());
    if (read.ok()) files.emplace_back(&file, std::move(read.file));
  }
  return files;
}

// --- Tests -------------------------------------------------------------------

TEST(LnkCorpus, ReadsWhatTheIndependentReadingShows) {
  SKIP_WITHOUT_CORPUS();
  std::size_t compared = 0;
  for (const CorpusFile& file : corpus()) {
    SCOPED_TRACE(file.name);
    const Reading reading = parseReading(file.reading);
    const ReadResult read = readLnk(file.bytes, westernCodec());
    const auto failure = expectedFailures().find(file.name);
    if (failure != expectedFailures().end()) {
      EXPECT_EQ(read.error, failure->second) << utf8(describe(read.error));
    }
    EXPECT_EQ(read.ok(), !reading.failed)
        << utf8(describe(read.error)) << " at " << read.errorOffset;
    if (!read.ok() || reading.failed) continue;

    for (const auto& [key, value] : expectedValues(read.file)) {
      const std::string* shown = reading.get(key);
      if (shown == nullptr) {
        ADD_FAILURE() << "lnkinfo shows no " << key << "; the codec reads \"" << value << "\"";
      } else {
        EXPECT_EQ(*shown, value) << key;
      }
    }
    EXPECT_EQ(reading.contains, expectedContains(read.file));
    ++compared;
  }
  EXPECT_EQ(compared + expectedFailures().size(), corpus().size());
}

TEST(LnkCorpus, AnUnchangedModelWritesTheSameBytes) {
  SKIP_WITHOUT_CORPUS();
  for (const auto& [file, model] : readableFiles()) {
    SCOPED_TRACE(file->name);
    const WriteResult written = writeLnk(model, westernCodec());
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(written.bytes == file->bytes);
  }
}

// Encoding a part afresh, without its origin, gives the bytes Windows wrote,
// except where Windows left stray bytes behind a terminator.
TEST(LnkCorpus, FreshEncodingFollowsWindowsLayout) {
  SKIP_WITHOUT_CORPUS();
  std::size_t linkInfos = 0;
  for (const auto& [file, original] : readableFiles()) {
    SCOPED_TRACE(file->name);
    LnkFile model = original;
    if (model.idList) model.idList->origin = {};
    if (model.linkInfo) model.linkInfo->origin = {};
    model.strings.origins = {};
    const WriteResult written = writeLnk(model, westernCodec());
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(written.bytes == file->bytes);
    if (model.linkInfo) ++linkInfos;
  }
  EXPECT_GT(linkInfos, 80u);
}

struct Change {
  const char* name;
  std::function<void(LnkFile&, const AnsiCodec&)> apply;
};

const std::vector<Change>& changes() {
  static const std::vector<Change> all = {
      {"arguments", [](LnkFile& f, const AnsiCodec& c) { setArguments(f, u"--new-window", c); }},
      {"description", [](LnkFile& f, const AnsiCodec& c) { setDescription(f, u"Браузер", c); }},
      {"icon with variables",
       [](LnkFile& f, const AnsiCodec& c) { setIconLocation(f, u"%ProgramFiles%\\b.exe", 0, c); }},
      {"hot key and show command",
       [](LnkFile& f, const AnsiCodec&) {
         setHotKey(f, 0x0645);
         setShowCommand(f, show::kMaximized);
       }},
      {"target", [](LnkFile& f, const AnsiCodec& c) { setTargetPath(f, u"D:\\说明\\app.exe", c); }},
      {"environment target",
       [](LnkFile& f, const AnsiCodec& c) {
         setEnvironmentTarget(f, u"%windir%\\notepad.exe", u"C:\\Windows\\notepad.exe", c);
       }},
  };
  return all;
}

// Whatever is changed comes back as set, and everything else as it was: the
// model read back equals the changed model, blocks byte for byte.
TEST(LnkCorpus, ChangingAFieldKeepsEveryOtherField) {
  SKIP_WITHOUT_CORPUS();
  for (const auto& [file, original] : readableFiles()) {
    for (const Change& change : changes()) {
      SCOPED_TRACE(file->name + ": " + change.name);
      LnkFile changed = original;
      change.apply(changed, westernCodec());
      const WriteResult written = writeLnk(changed, westernCodec());
      ASSERT_TRUE(written.ok());
      const ReadResult back = readLnk(written.bytes, westernCodec());
      ASSERT_TRUE(back.ok()) << utf8(describe(back.error)) << " at " << back.errorOffset;
      EXPECT_TRUE(back.file == changed);
    }
  }
}

}  // namespace
}  // namespace tolvaran::lnk
