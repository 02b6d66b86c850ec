// pe_check FILE [--allow NAME.dll]... [--exports FOLDER]
// Prints what a built program file imports and which protections its headers
// ask for; exits 1 when anything is wrong (see pe_image.h), 2 when a file
// cannot be read or is no program image. With --exports, every imported
// function must be in FOLDER's export lists (<dll>.txt, see export_lists.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "pe_check/export_lists.h"
#include "pe_check/pe_image.h"

namespace {

const char* machineName(std::uint16_t machine) {
  switch (machine) {
    case tolvaran::pe::kMachineI386: return "i386";
    case tolvaran::pe::kMachineAmd64: return "amd64";
    default: return "other";
  }
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lists of `folder`, each named by its DLL: kernel32.txt holds kernel32.dll's.
bool loadExportLists(const std::filesystem::path& folder, tolvaran::pe::ExportLists& lists) {
  std::error_code error;
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".txt") continue;
    const auto text = readFile(entry.path());
    if (!text) return false;
    lists.add(entry.path().stem().string() + ".dll", *text);
    ++count;
  }
  return !error && count > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pe_check FILE [--allow NAME.dll]... [--exports FOLDER]\n");
    return 2;
  }
  std::vector<std::string_view> allowed = tolvaran::pe::systemDlls();
  std::vector<std::string> extra;
  std::optional<tolvaran::pe::ExportLists> exports;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--allow") {
      extra.emplace_back(argv[i + 1]);
    } else if (option == "--exports") {
      if (!loadExportLists(argv[i + 1], exports.emplace())) {
        std::fprintf(stderr, "pe_check: no readable export lists in %s\n", argv[i + 1]);
        return 2;
      }
    }
  }
  for (const std::string& name : extra) allowed.push_back(name);

  const auto raw = readFile(argv[1]);
  if (!raw) {
    std::fprintf(stderr, "pe_check: cannot read %s\n", argv[1]);
    return 2;
  }
  const auto read = tolvaran::pe::readImage(std::as_bytes(std::span(*raw)));
  if (!read.ok) {
    std::fprintf(stderr, "pe_check: %s: %s\n", argv[1], read.error.c_str());
    return 2;
  }
  const tolvaran::pe::Image& image = read.image;
  std::printf("%s: %s, %s, DllCharacteristics 0x%04X\n", argv[1], machineName(image.machine),
              image.pe32Plus ? "PE32+" : "PE32", image.dllCharacteristics);
  for (const auto& name : image.imports) std::printf("  imports %s\n", name.c_str());
  for (const auto& name : image.delayedImports) std::printf("  delay-imports %s\n", name.c_str());
  auto found = tolvaran::pe::problems(image, allowed);
  if (exports) {
    for (auto& problem : exports->missing(image)) found.push_back(std::move(problem));
  }
  for (const auto& problem : found) std::printf("  PROBLEM: %s\n", problem.c_str());
  return found.empty() ? 0 : 1;
}
