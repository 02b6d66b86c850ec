#pragma once
// A browser database over a simulated machine, for the browser tests: the
// built-in database or one assembled from (name, record text) pairs.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/recording_recorder.h"
#include "engine/browser_crypt.h"
#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "fileops/mod_file.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace tolvaran::browser_test {

// The folder values of the default simulated machine (Windows 10 x64).
inline BrowserFolders tenFolders() {
  BrowserFolders f;
  f.AppDataDir = u"C:\\Users\\User\\AppData\\Roaming";
  f.LocalAppDataDir = u"C:\\Users\\User\\AppData\\Local";
  f.SysDrive = u"C:";
  f.DesktopDir = u"C:\\Users\\User\\Desktop";
  f.UserProfileDir = u"C:\\Users\\User";
  f.PF32 = u"C:\\Program Files (x86)";
  f.PF64 = u"C:\\Program Files";
  f.Family = u"Vista";
  f.Bitness = u"x64";
  return f;
}

// Resource bytes as the encipherer lays them out: the 16-bit index length,
// the index "name,location;" entries closed by ";;", then the records.
// Each entry names the index of its record text in `records`.
inline std::vector<std::byte> makeResource(
    const std::vector<std::pair<std::u16string, std::size_t>>& index,
    const std::vector<std::u16string>& records, std::uint64_t seed = kBrowserDatabaseSeed) {
  std::vector<std::string> recordBytes;
  for (const std::u16string& r : records) recordBytes.push_back(utf16ToCodePage(r, 1251));
  std::string indexText;
  std::size_t head = 2;
  // The index length moves the records, whose offsets are in the index:
  // repeat until the length stands still.
  for (int round = 0; round < 8; ++round) {
    std::string text;
    std::vector<std::size_t> offsets;
    std::size_t at = head;
    for (const std::string& r : recordBytes) {
      offsets.push_back(at);
      at += r.size();
    }
    for (const auto& [name, which] : index) {
      const std::size_t location = offsets.at(which) * 10000 + recordBytes.at(which).size();
      text += utf16ToCodePage(name, 1251) + "," + std::to_string(location) + ";";
    }
    text += ";";
    indexText = text;
    if (2 + text.size() == head) break;
    head = 2 + text.size();
  }
  std::string plain;
  plain.push_back(static_cast<char>(head & 0xFF));
  plain.push_back(static_cast<char>(head >> 8));
  plain += indexText;
  for (const std::string& r : recordBytes) plain += r;
  const BrowserKeystream keystream = makeBrowserKeystream(seed);
  std::vector<std::byte> out(plain.size());
  for (std::size_t p = 0; p < plain.size(); ++p) {
    out[p] = static_cast<std::byte>(static_cast<std::uint8_t>(plain[p]) ^ keystream[(p + 1) % 256]);
  }
  return out;
}

struct Rig {
  explicit Rig(BrowserFolders folders = tenFolders())
      : ports(machine.ports()), fileHelpers(ports, recorder, saved, true) {
    database.emplace(recorder, fileHelpers, std::move(folders));
    identification.emplace(*database, patterns, recorder);
  }
  void loadBuiltIn() {
    loadBuiltInBrowserDatabase(*database);
    identification->CreatePatterns();
  }
  void load(std::span<const std::byte> resource) {
    database->cryptInit(kBrowserDatabaseSeed);
    database->GetBrowserCryptOffset(resource);
    identification->CreatePatterns();
  }
  void addFile(std::u16string_view path) { machine.files().addFile(path, "MZ"); }

  platform::sim::SimMachine machine;
  platform::Ports ports;
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers;
  RegExpObjects patterns;
  std::optional<BrowserDatabase> database;
  std::optional<BrowserIdentification> identification;
};

}  // namespace tolvaran::browser_test
