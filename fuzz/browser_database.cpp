// The browser-database decoder over arbitrary bytes. The input is the
// deciphered resource (it is enciphered here first), so seeds can be
// readable databases: no crash, nothing unbounded, every name listed in the
// index found again with at most the record cap.
#include "engine/browser_database.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "counting_recorder.h"
#include "platform/sim/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  // Every part of the format fits in a few kilobytes; larger inputs only
  // repeat it more slowly.
  size = std::min<std::size_t>(size, 4096);
  static const BrowserKeystream keystream = makeBrowserKeystream(kBrowserDatabaseSeed);
  std::vector<std::byte> resource(size);
  for (std::size_t p = 0; p < size; ++p) {
    resource[p] = static_cast<std::byte>(data[p] ^ keystream[(p + 1) % 256]);
  }

  static platform::sim::SimMachine machine;
  machine.files().clearJournal();
  const platform::Ports ports = machine.ports();
  CountingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers(ports, recorder, saved, true);
  BrowserFolders folders;
  folders.AppDataDir = u"C:\\A";
  folders.LocalAppDataDir = u"C:\\L";
  folders.PF32 = u"C:\\P32";
  folders.PF64 = u"C:\\P64";
  folders.Family = u"Vista";
  // 32-bit Windows: the program-files macros need no existence test, which
  // has nothing to do with the input and would only slow the search down.
  folders.Bitness = u"x32";
  BrowserDatabase database(recorder, fileHelpers, folders);
  database.cryptInit(kBrowserDatabaseSeed);
  database.GetBrowserCryptOffset(resource);

  // An index entry takes at least two bytes ("a," is not even valid).
  if (static_cast<std::size_t>(database.browserCount()) > size / 2) __builtin_trap();
  const std::vector<std::u16string> names = database.names();
  const std::size_t asked = std::min<std::size_t>(names.size(), 16);
  for (std::size_t i = 0; i < asked; ++i) {
    const BrowserID id = database.DecryptBrowserString(names[i]);
    if (id <= 0 || id > database.browserCount()) __builtin_trap();
    const auto& records = database.records(id);
    if (records.size() > kMaxRecordsPerBrowser) __builtin_trap();
    for (const BrowserInfo& record : records) {
      if (record.Key != names[i] && database.DecryptBrowserString(record.Key) != id) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
