#pragma once
// What a built Windows program file says about itself that matters for its
// safety and for the systems it loads on: the machine, the security flags of
// its headers, every DLL it names for the loader (imports and delayed
// imports) and the functions it takes from each DLL it imports. Read from the bytes
// alone, so it runs anywhere; any input, however damaged, gives an answer
// or an error text, never a crash.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran::pe {

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// IMAGE_FILE_HEADER.Characteristics.
inline constexpr std::uint16_t kRelocsStripped = 0x0001;
// IMAGE_OPTIONAL_HEADER.DllCharacteristics.
inline constexpr std::uint16_t kHighEntropyVa = 0x0020;
inline constexpr std::uint16_t kDynamicBase = 0x0040;
inline constexpr std::uint16_t kNxCompat = 0x0100;

// The functions the loader must find in one imported DLL before the program
// may start: by name, or by ordinal alone.
struct ImportedFunctions {
  std::string dll;  // as written in the import table
  std::vector<std::string> names;
  std::vector<std::uint16_t> ordinals;
};

struct Image {
  std::uint16_t machine = 0;
  bool pe32Plus = false;  // the 64-bit optional header
  std::uint16_t characteristics = 0;
  std::uint16_t dllCharacteristics = 0;
  std::uint16_t subsystem = 0;
  std::vector<std::string> imports;          // DLL names as written, in table order
  std::vector<std::string> delayedImports;   // likewise
  std::vector<ImportedFunctions> functions;  // one per entry of `imports`, in the same order
};

struct ReadResult {
  bool ok = false;
  Image image;
  std::string error;  // why the bytes are no program image, when not ok
};

ReadResult readImage(std::span<const std::byte> bytes);

// `text` with A-Z lowered: DLL names compare so, whatever their case.
std::string lowerAscii(std::string_view text);

// The DLLs Windows always takes from its own system folder, whatever the
// search path: the KnownDLLs of every system from Windows 7 on, ntdll
// (mapped into every process first) and comctl32 (bound to the system's
// side-by-side copy by the manifest). Lower case.
const std::vector<std::string_view>& systemDlls();

// Everything wrong with the image for a program that must not load a DLL
// planted beside it and must take the system's address-space protections:
// imports outside `allowed` (compared without regard to ASCII case),
// missing DYNAMIC_BASE or NX_COMPAT, relocations stripped (no address
// randomisation after all), and on 64-bit images a missing HIGH_ENTROPY_VA.
// Empty when all is well.
std::vector<std::string> problems(const Image& image, const std::vector<std::string_view>& allowed);

}  // namespace tolvaran::pe
