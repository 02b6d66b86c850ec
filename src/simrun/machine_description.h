#pragma once
// A simulated Windows machine described in JSON: the system ("os"),
// environment variables, the registry as .reg lines, volumes, files (as
// text or hex bytes, with attributes; "fresh" ones dropped with the
// infection after the others aged), shortcuts by their fields, files whose
// deletion is denied, faults to inject, dialog answers and the clock. The
// scenario tests and tolvaran-sim read machines through this one loader.
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "simrun/planted_shortcut.h"
#include "support/text.h"

namespace tolvaran::simrun {

using Json = nlohmann::json;

inline std::u16string text(const Json& value) {
  return utf8ToUtf16(value.get<std::string>());
}
inline std::u16string text(const Json& object, const char* key) {
  return object.contains(key) ? text(object.at(key)) : std::u16string();
}
inline std::string narrow(std::u16string_view value) {
  return utf16ToUtf8(value);
}

// "readonly", "hidden", "system" on top of ARCHIVE; an unknown name throws.
std::uint32_t attributesOf(const Json& object);
// The letters of the attributes a user sees: R, H, S, A ("-" for none).
std::string attributeLetters(std::uint32_t attributes);

// "os": {"release": "10", "bits": 64, "language": "Russian", "programBits": 32,
// "elevated": true, "account": "user"}; an elevated administrator on English
// Windows 10 x64 running the 32-bit program when left out.
platform::sim::OsProfile profileOf(const Json& scenario);

platform::sim::FileOp fileOpOf(const std::string& name);
platform::sim::ShellLinkOp shellLinkOpOf(const std::string& name);

ShortcutFields shortcutOf(const Json& shortcut);
// The shortcut file's bytes, written through the machine's ANSI code page.
std::string shortcutBytes(const ShortcutFields& fields, platform::System& system);

// "4C 00 00 00 ..." (blanks anywhere) as bytes.
std::string fromHex(std::string_view hex);
// An HRESULT as "0x80070005" or a number; E_FAIL when not given.
platform::HResult hresultOf(const Json& fault);
// "Yes", "No", "OK", "Cancel" or the button's number.
int answerOf(const Json& answer);

inline constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;

// What planting put on the disk, by folded path: the bytes a backup must hold.
using PlantedFiles = std::map<std::u16string, std::string>;

// Puts the scenario's machine state on `machine` (its shell-link class must
// be registered for shortcuts to be planted). The clock moves on by
// "ageDays" (30 by default) between the old files and the fresh ones.
// Problems with the description (an unreadable .reg line) are returned.
std::vector<std::string> plantMachine(const Json& scenario, platform::sim::SimMachine& machine,
                                      PlantedFiles& planted);

// Reads a scenario file. A file entry may take its content from a file
// beside the description: {"path": ..., "fromFile": "scan.txt", "as":
// "utf16"} ("utf16" with a byte-order mark, "utf16-nobom", "ansi" or
// "text"); the file holds UTF-8 text. Throws on a file it cannot read.
Json loadScenario(const std::string& path);

}  // namespace tolvaran::simrun
