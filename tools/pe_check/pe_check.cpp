// pe_check FILE [--allow NAME.dll]...
// Prints what a built program file imports and which protections its headers
// ask for; exits 1 when anything is wrong (see pe_image.h), 2 when the file
// cannot be read or is no program image.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pe_check/pe_image.h"

namespace {

const char* machineName(std::uint16_t machine) {
  switch (machine) {
    case tolvaran::pe::kMachineI386: return "i386";
    case tolvaran::pe::kMachineAmd64: return "amd64";
    default: return "other";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pe_check FILE [--allow NAME.dll]...\n");
    return 2;
  }
  std::vector<std::string_view> allowed = tolvaran::pe::systemDlls();
  std::vector<std::string> extra;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--allow") extra.emplace_back(argv[i + 1]);
  }
  for (const std::string& name : extra) allowed.push_back(name);

  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "pe_check: cannot read %s\n", argv[1]);
    return 2;
  }
  const std::vector<char> raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto read = tolvaran::pe::readImage(std::as_bytes(std::span(raw)));
  if (!read.ok) {
    std::fprintf(stderr, "pe_check: %s: %s\n", argv[1], read.error.c_str());
    return 2;
  }
  const tolvaran::pe::Image& image = read.image;
  std::printf("%s: %s, %s, DllCharacteristics 0x%04X\n", argv[1], machineName(image.machine),
              image.pe32Plus ? "PE32+" : "PE32", image.dllCharacteristics);
  for (const auto& name : image.imports) std::printf("  imports %s\n", name.c_str());
  for (const auto& name : image.delayedImports) std::printf("  delay-imports %s\n", name.c_str());
  const auto found = tolvaran::pe::problems(image, allowed);
  for (const auto& problem : found) std::printf("  PROBLEM: %s\n", problem.c_str());
  return found.empty() ? 0 : 1;
}
