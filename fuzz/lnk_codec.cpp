// The shortcut codec over arbitrary bytes: no crash; whatever reads writes
// back byte for byte; encoded afresh it reads back as the same model; and a
// property set on it reads back as set, everything else unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_reader.h"
#include "shortcut/lnk_writer.h"

namespace {

using namespace tolvaran::lnk;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// Writes `model`, reads it back and insists on getting `model` again.
void roundTrip(const LnkFile& model, const AnsiCodec& codec) {
  const WriteResult written = writeLnk(model, codec);
  check(written.ok());
  const ReadResult back = readLnk(written.bytes, codec);
  check(back.ok());
  check(back.file == model);
}

void edit(LnkFile& file, std::uint8_t choice, const AnsiCodec& codec) {
  switch (choice % 6) {
    case 0: setArguments(file, u"--no-first-run http://example.com", codec); break;
    case 1: setDescription(file, u"\u8bf4\u660e \U0001F310", codec); break;
    case 2: setIconLocation(file, u"%SystemRoot%\\system32\\shell32.dll", 13, codec); break;
    case 3: setTargetPath(file, u"C:\\Program Files\\Browser\\browser.exe", codec); break;
    case 4: setTargetPath(file, u"\\\\srv\\\u5171\u4eab\\app.exe", codec); break;
    default:
      setEnvironmentTarget(file, u"%windir%\\notepad.exe", u"C:\\Windows\\notepad.exe", codec);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const AnsiCodec codec = codePageCodec(1252);
  const ReadResult read = readLnk(bytes, codec);
  if (!read.ok()) {
    check(read.errorOffset <= size);
    return 0;
  }

  const WriteResult same = writeLnk(read.file, codec);
  check(same.ok() && same.bytes == bytes);

  LnkFile fresh = read.file;
  if (fresh.idList) fresh.idList->origin = {};
  if (fresh.linkInfo) fresh.linkInfo->origin = {};
  fresh.strings.origins = {};
  roundTrip(fresh, codec);

  LnkFile changed = read.file;
  edit(changed, size > 0 ? data[size - 1] : 0, codec);
  roundTrip(changed, codec);
  return 0;
}
