#pragma once
// The browser database (module Crypt): the enciphered resource turned into
// an index of browser names at start-up, each browser's records deciphered
// the first time it is asked for, and the folder macros its paths use.
//
// Resource layout, after deciphering: a little-endian 16-bit length L of the
// index block (counting its own two bytes), the index text "name,location;"
// repeated and closed by two more ";"-separated elements, then the record
// texts. A location is offset * 10000 + length. A record is 15 fields
// separated by ";" (field 0 unused); the last two (family, helpers) came
// later, so a record of 13 fields is whole too. Text is Windows-1251; names
// and titles carry \XXXX escapes for anything else.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/browser_crypt.h"
#include "engine/browser_info.h"
#include "fileops/mod_file.h"
#include "support/failure.h"
#include "support/hash_table.h"

namespace tolvaran {

// The folder values the path macros stand for (no trailing backslashes),
// and the two system facts that choose between them.
struct BrowserFolders {
  std::u16string AppDataDir;
  std::u16string LocalAppDataDir;
  std::u16string SysDrive;
  std::u16string DesktopDir;
  std::u16string UserProfileDir;
  std::u16string PF32;
  std::u16string PF64;
  std::u16string Family;   // clsOSInfo::Family(): "Vista" lets <LocalAppData> be LocalAppDataDir
  std::u16string Bitness;  // clsOSInfo::Bitness(): "x32" sends every program-files macro to PF32
};

// A browser name that appears more often than this in the index gets no
// further records: real browsers have a handful, and a damaged index must
// not make one lookup decipher megabytes.
inline constexpr std::size_t kMaxRecordsPerBrowser = 256;

class BrowserDatabase {
 public:
  BrowserDatabase(FailureRecorder& recorder, modFile& fileHelpers, BrowserFolders folders);
  BrowserDatabase(const BrowserDatabase&) = delete;
  BrowserDatabase& operator=(const BrowserDatabase&) = delete;

  // Fills the keystream from the seed.
  void cryptInit(std::uint64_t seed);

  // Deciphers `length` bytes of `data` from `offset` as Windows-1251 text;
  // afterwards `offset` holds (offset + length) mod 256. A range outside the
  // data is recorded and gives empty text, the offset unchanged.
  std::u16string cryptProcess(std::span<const std::byte> data, std::int32_t& offset,
                              std::int32_t length);

  // Keeps a copy of the resource bytes and reads their index: every name
  // and where its records lie. Call after cryptInit. A damaged index is
  // recorded; the names read before the damage stay.
  void GetBrowserCryptOffset(std::span<const std::byte> resource);

  // The browser's index (0 when the name is not in the database, compared
  // without regard to case); its records are deciphered on the first call.
  BrowserID DecryptBrowserString(std::u16string_view name);

  std::u16string EscapeCodeToString(std::u16string_view text);

  // The first folder macro found in the path, replaced wherever it occurs;
  // other macros stay. The program-files macros pick the folder under which
  // the path exists (see the .cpp).
  std::u16string ExpandMacroPath(std::u16string_view path);

  // The number of browsers (their ids run from 1 to this).
  [[nodiscard]] BrowserID browserCount() const noexcept {
    return static_cast<BrowserID>(entries_.size() - 1);
  }
  // The browser's records, deciphered if they were not yet; empty for an
  // id outside the database.
  const std::vector<BrowserInfo>& records(BrowserID id);
  // What a browser is without deciphering its records whole: its family
  // (its first record's) and the file names of its programs (executables
  // and helpers). Their paths are not expanded, so asking costs no file
  // call: a search over every browser goes through these first.
  const std::u16string& family(BrowserID id);
  bool runsProgram(BrowserID id, std::u16string_view fileName);
  // The program file names of every browser, each once.
  const std::vector<std::u16string>& programNames();
  // Every name in the index, in index order.
  [[nodiscard]] std::vector<std::u16string> names() const;

 private:
  struct Outline {
    std::u16string family;
    std::vector<std::u16string> programs;
  };
  struct Entry {
    std::u16string name;
    bool deciphered = false;
    std::vector<std::int32_t> locations;
    std::vector<BrowserInfo> records;
    std::optional<Outline> outline;
  };

  void decipher(Entry& entry);
  const Outline& outline(BrowserID id);
  void fillRecord(BrowserInfo& record, std::u16string_view text);

  FailureRecorder& recorder_;
  modFile& fileHelpers_;
  BrowserFolders folders_;
  BrowserKeystream keystream_{};
  std::vector<std::byte> data_;
  clsBrenloHashTable index_;
  std::vector<Entry> entries_;  // element 0 holds no browser
  std::optional<std::vector<std::u16string>> programNames_;
};

// cryptInit with the built-in seed, then GetBrowserCryptOffset over the
// embedded resource 101.
void loadBuiltInBrowserDatabase(BrowserDatabase& database);

}  // namespace tolvaran
