// Browser identification over arbitrary shortcut names (UTF-16LE input),
// against the shipped database: no crash, no database error (every name the
// patterns accept is in the database), a masked result only with a browser,
// and the target check on the same text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "counting_recorder.h"
#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace {

struct Identification {
  Identification()
      : ports(machine.ports()),
        fileHelpers(ports, recorder, saved, true),
        database(recorder, fileHelpers, tolvaran::BrowserFolders{}),
        identification(database, patterns, recorder) {
    tolvaran::loadBuiltInBrowserDatabase(database);
    identification.CreatePatterns();
    if (recorder.count != 0) __builtin_trap();
  }
  tolvaran::platform::sim::SimMachine machine;
  tolvaran::platform::Ports ports;
  tolvaran::CountingRecorder recorder;
  tolvaran::SavedFsRedirection saved;
  tolvaran::modFile fileHelpers;
  tolvaran::RegExpObjects patterns;
  tolvaran::BrowserDatabase database;
  tolvaran::BrowserIdentification identification;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  // Shortcut names are file names: a few hundred characters at most.
  if (size > 2048) return 0;
  const std::u16string name =
      foldCase(utf16leToText(std::string_view(reinterpret_cast<const char*>(data), size)));
  static Identification rig;

  bool masked = true;
  const BrowserID id = rig.identification.GetBrowserID(name, masked);
  if (id < 0 || id > rig.database.browserCount()) __builtin_trap();
  if (masked && id == 0) __builtin_trap();
  const BrowserInfo info = rig.identification.GetBrowserInfo(name);
  if ((id == 0) != info.Title.empty()) __builtin_trap();
  if (id != 0) {
    bool argsOK = false;
    (void)rig.identification.isLegit_BrowserTarget(u"", name, id, name, name, argsOK);
  }
  // A name the patterns accept but the database lacks would be recorded.
  if (rig.recorder.count != 0) __builtin_trap();
  return 0;
}
