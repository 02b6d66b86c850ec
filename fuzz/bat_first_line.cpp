// Script decoding and percent-filler removal over arbitrary file contents:
// no crash, no handle left open, nothing recorded for a readable file, and
// the filler removal leaves at most the one unpaired "%".
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "counting_recorder.h"
#include "engine/argument_analysis.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  if (size == 0) return 0;
  // The first byte picks the ANSI code page the bytes are seen through.
  constexpr std::uint32_t kCodePages[] = {1251, 1252, 866, 1250};
  const std::uint32_t codePage = kCodePages[data[0] % 4];
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Building a machine costs far more than the reading: one serves every
  // input, its file replaced and its journal emptied each time.
  static platform::sim::SimMachine machine;
  machine.files().clearJournal();
  if (!machine.system().setAnsiCodePage(codePage)) __builtin_trap();
  constexpr std::u16string_view kPath = u"C:\\Users\\User\\AppData\\Roaming\\run.bat";
  if (!machine.files().addFile(kPath, bytes)) __builtin_trap();

  const platform::Ports ports = machine.ports();
  CountingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers(ports, recorder, saved, true);
  RegExpObjects patterns;
  ArgumentAnalysis analysis(ports, fileHelpers, recorder, patterns);

  const std::u16string script = analysis.GetBAT_FirstLine(kPath, false);
  if (recorder.count != 0) __builtin_trap();
  if (machine.files().openHandleCount() != 0) __builtin_trap();
  const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
  if (!bytes.empty() && script.empty() && bytes.size() > 3 && !utf16 &&
      bytes.find('%') == std::string_view::npos) {
    __builtin_trap();  // 8-bit text without filler always gives some text
  }
  if (script.size() > bytes.size()) __builtin_trap();

  const std::u16string cleaned = removePercentPieces(machine.system().ansiToWide(bytes));
  if (std::count(cleaned.begin(), cleaned.end(), u'%') > 1) __builtin_trap();
  return 0;
}
