// The program-file checker over any bytes: an answer or an error text, never
// a crash, and a successful read always yields names the checkers can judge.
#include "pe_check/export_lists.h"
#include "pe_check/pe_image.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto read = tolvaran::pe::readImage(std::as_bytes(std::span(data, size)));
  if (!read.ok) return 0;
  (void)tolvaran::pe::problems(read.image, tolvaran::pe::systemDlls());
  static const tolvaran::pe::ExportLists lists = [] {
    tolvaran::pe::ExportLists made;
    made.add("kernel32.dll", "CreateFileW\nGetTickCount\n");
    return made;
  }();
  (void)lists.missing(read.image);
  return 0;
}
