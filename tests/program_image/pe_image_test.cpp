// The program-file checker over images built here byte by byte: what it
// reads from sound images, what it finds wrong with them, and that damaged
// or hostile bytes give an error text rather than a crash.
#include "pe_check/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pe_check/export_lists.h"

namespace tolvaran::pe {
namespace {

struct ImageLayout {
  bool pe32Plus = false;
  std::uint16_t dllCharacteristics = kDynamicBase | kNxCompat;
  std::uint16_t characteristics = 0x0102;  // executable, 32-bit machine
  std::vector<std::string> imports{"KERNEL32.dll", "msvcrt.dll"};
  // What every imported DLL gives the image (one lookup table serves all).
  std::vector<std::string> functions{"GetTickCount"};
  std::vector<std::uint16_t> ordinals;
  std::vector<std::string> delayed;
  bool delayedByAddress = false;  // the old form: addresses of the loaded image
};

constexpr std::uint32_t kPeAt = 0x40;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionFile = 0x200;
constexpr std::uint64_t kImageBase = 0x400000;

class Writer {
 public:
  std::vector<std::byte> bytes;
  void put(std::size_t at, std::uint64_t value, std::size_t width) {
    if (bytes.size() < at + width) bytes.resize(at + width);
    for (std::size_t i = 0; i < width; ++i) bytes[at + i] = std::byte((value >> (8 * i)) & 0xFF);
  }
  void text(std::size_t at, const std::string& s) {
    if (bytes.size() < at + s.size() + 1) bytes.resize(at + s.size() + 1);
    std::memcpy(bytes.data() + at, s.data(), s.size());
  }
};

// MZ header, PE headers, one section holding the import tables and names.
std::vector<std::byte> buildImage(const ImageLayout& layout) {
  Writer w;
  w.put(0, 0x5A4D, 2);
  w.put(0x3C, kPeAt, 4);
  w.put(kPeAt, 0x00004550, 4);
  const std::uint32_t coff = kPeAt + 4;
  w.put(coff, layout.pe32Plus ? kMachineAmd64 : kMachineI386, 2);
  w.put(coff + 2, 1, 2);  // one section
  const std::uint16_t optionalSize = layout.pe32Plus ? 240 : 224;
  w.put(coff + 16, optionalSize, 2);
  w.put(coff + 18, layout.characteristics, 2);
  const std::uint32_t optional = coff + 20;
  w.put(optional, layout.pe32Plus ? 0x20B : 0x10B, 2);
  if (layout.pe32Plus) {
    w.put(optional + 24, kImageBase, 8);
  } else {
    w.put(optional + 28, kImageBase, 4);
  }
  w.put(optional + 68, 2, 2);  // GUI
  w.put(optional + 70, layout.dllCharacteristics, 2);
  w.put(optional + (layout.pe32Plus ? 108 : 92), 16, 4);
  const std::uint32_t directories = optional + (layout.pe32Plus ? 112 : 96);

  // The section's contents: descriptors first, then the lookup table, then the names.
  const std::uint32_t importsRva = kSectionRva;
  const std::uint32_t delayedRva =
      importsRva + 20 * static_cast<std::uint32_t>(layout.imports.size() + 1);
  const std::uint32_t lookupRva =
      delayedRva + 32 * static_cast<std::uint32_t>(layout.delayed.size() + 1);
  const std::uint32_t width = layout.pe32Plus ? 8 : 4;
  std::uint32_t nameRva =
      lookupRva +
      width * static_cast<std::uint32_t>(layout.functions.size() + layout.ordinals.size() + 1);
  const auto fileAt = [](std::uint32_t rva) { return kSectionFile + (rva - kSectionRva); };
  std::uint32_t entryAt = fileAt(lookupRva);
  for (const std::string& function : layout.functions) {
    w.put(entryAt, nameRva, width);
    w.text(fileAt(nameRva) + 2, function);  // after its hint
    nameRva += static_cast<std::uint32_t>(2 + function.size() + 1);
    entryAt += width;
  }
  for (const std::uint16_t ordinal : layout.ordinals) {
    w.put(entryAt, (std::uint64_t{1} << (8 * width - 1)) | ordinal, width);
    entryAt += width;
  }
  for (std::size_t i = 0; i < layout.imports.size(); ++i) {
    const std::uint32_t at = fileAt(importsRva) + 20 * static_cast<std::uint32_t>(i);
    w.put(at, lookupRva, 4);
    w.put(at + 12, nameRva, 4);
    w.put(at + 16, 0x2000, 4);  // address table (read only without a lookup table)
    w.text(fileAt(nameRva), layout.imports[i]);
    nameRva += static_cast<std::uint32_t>(layout.imports[i].size() + 1);
  }
  for (std::size_t i = 0; i < layout.delayed.size(); ++i) {
    const std::uint32_t at = fileAt(delayedRva) + 32 * static_cast<std::uint32_t>(i);
    w.put(at, layout.delayedByAddress ? 0 : 1, 4);
    w.put(at + 4, layout.delayedByAddress ? kImageBase + nameRva : nameRva, 4);
    w.put(at + 12, 0x2000, 4);
    w.text(fileAt(nameRva), layout.delayed[i]);
    nameRva += static_cast<std::uint32_t>(layout.delayed[i].size() + 1);
  }
  const std::uint32_t sectionSize = nameRva - kSectionRva;
  w.put(fileAt(nameRva) + 16, 0, 1);  // a little slack after the names
  if (!layout.imports.empty()) {
    w.put(directories + 8, importsRva, 4);
    w.put(directories + 12, 20 * static_cast<std::uint32_t>(layout.imports.size() + 1), 4);
  }
  if (!layout.delayed.empty()) {
    w.put(directories + 13 * 8, delayedRva, 4);
    w.put(directories + 13 * 8 + 4, 32 * static_cast<std::uint32_t>(layout.delayed.size() + 1), 4);
  }
  const std::uint32_t section = optional + optionalSize;
  w.text(section, ".idata");
  w.put(section + 8, sectionSize, 4);
  w.put(section + 12, kSectionRva, 4);
  w.put(section + 16, sectionSize, 4);
  w.put(section + 20, kSectionFile, 4);
  return w.bytes;
}

TEST(PeImageTest, ReadsMachineFlagsAndEveryNamedDll) {
  ImageLayout spec32;
  spec32.delayed = {"shlwapi.dll"};
  ImageLayout spec64;
  spec64.pe32Plus = true;
  spec64.dllCharacteristics = kDynamicBase | kNxCompat | kHighEntropyVa;
  spec64.imports = {"ADVAPI32.dll", "KERNEL32.dll", "SHELL32.dll"};
  spec64.delayed = {"msi.dll", "version.dll"};
  ImageLayout oldDelayed;
  oldDelayed.delayed = {"psapi.dll"};
  oldDelayed.delayedByAddress = true;

  for (const ImageLayout& layout : {spec32, spec64, oldDelayed}) {
    const ReadResult read = readImage(buildImage(layout));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.image.machine, layout.pe32Plus ? kMachineAmd64 : kMachineI386);
    EXPECT_EQ(read.image.pe32Plus, layout.pe32Plus);
    EXPECT_EQ(read.image.dllCharacteristics, layout.dllCharacteristics);
    EXPECT_EQ(read.image.subsystem, 2);
    EXPECT_EQ(read.image.imports, layout.imports);
    EXPECT_EQ(read.image.delayedImports, layout.delayed);
  }
}

TEST(PeImageTest, FindsWhatMakesAProgramUnsafe) {
  struct Case {
    const char* label;
    ImageLayout layout;
    std::vector<std::string> expected;
  };
  ImageLayout sound;
  ImageLayout planted;
  planted.imports = {"kernel32.dll", "VERSION.dll"};
  planted.delayed = {"msi.dll"};
  ImageLayout unprotected;
  unprotected.dllCharacteristics = 0;
  ImageLayout stripped;
  stripped.characteristics = 0x0103;
  ImageLayout wide;
  wide.pe32Plus = true;
  ImageLayout wideSound = wide;
  wideSound.dllCharacteristics |= kHighEntropyVa;
  ImageLayout comctl;
  comctl.imports = {"COMCTL32.dll", "ntdll.dll", "user32.dll", "GDI32.dll"};

  const Case cases[] = {
      {"sound", sound, {}},
      {"DLLs a planted copy could replace",
       planted,
       {"import VERSION.dll is not a system DLL", "delayed import msi.dll is not a system DLL"}},
      {"no protections", unprotected, {"DYNAMIC_BASE is not set", "NX_COMPAT is not set"}},
      {"relocations stripped", stripped, {"relocations are stripped: the image cannot move"}},
      {"64-bit without high entropy", wide, {"HIGH_ENTROPY_VA is not set on a 64-bit image"}},
      {"64-bit sound", wideSound, {}},
      {"the side-by-side controls and the other system DLLs", comctl, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const ReadResult read = readImage(buildImage(c.layout));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(problems(read.image, systemDlls()), c.expected);
  }
}

TEST(PeImageTest, DamagedHeadersAreTold) {
  struct Case {
    const char* label;
    std::size_t offset;
    std::uint64_t value;
    std::size_t width;
    std::string error;
  };
  const Case cases[] = {
      {"no MZ", 0, 0x4D5A, 2, "no MZ header"},
      {"PE header beyond the end", 0x3C, 0xFFFFFFFF, 4,
       "no PE signature where the MZ header points"},
      {"not PE32 or PE32+", kPeAt + 24, 0x107, 2, "the optional header is neither PE32 nor PE32+"},
      {"too many sections", kPeAt + 6, 0xFFFF, 2, "more sections than the loader accepts"},
      {"optional header too small", kPeAt + 20, 16, 2, "the optional header is too small"},
      {"sections beyond the end", kPeAt + 20, 0xF000, 2, "the section table is cut short"},
      {"import table outside every section", kPeAt + 24 + 104, 0x9000, 4,
       "the import table lies outside the file's sections"},
      {"a name outside every section", kSectionFile + 12, 0x7FFF0000, 4,
       "an imported DLL's name lies outside the file's sections"},
      {"no lookup table and the address table outside every section", kSectionFile, 0, 4,
       "an import's function table lies outside the file's sections"},
      {"a function name outside every section", kSectionFile + 20 * 3 + 32, 0x7FFF0000, 4,
       "an imported function's name lies outside the file's sections"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Writer w{buildImage(ImageLayout{})};
    w.put(c.offset, c.value, c.width);
    const ReadResult read = readImage(w.bytes);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, c.error);
  }
}

TEST(PeImageTest, ReadsTheFunctionsOfEachImportedDll) {
  for (const bool pe32Plus : {false, true}) {
    ImageLayout layout;
    layout.pe32Plus = pe32Plus;
    layout.functions = {"CreateFileW", "GetTickCount64"};
    layout.ordinals = {410};
    const ReadResult read = readImage(buildImage(layout));
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.image.functions.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(read.image.functions[i].dll, layout.imports[i]);
      EXPECT_EQ(read.image.functions[i].names, layout.functions);
      EXPECT_EQ(read.image.functions[i].ordinals, layout.ordinals);
    }
  }
}

// A program loads only where every function it imports is exported.
TEST(PeImageTest, ExportListsFindWhatTheOldestSystemLacks) {
  ExportLists lists;
  lists.add("KERNEL32.DLL", "# a comment\nCreateFileW\r\n\n  GetTickCount \nGetVersionExW\n");
  lists.add("msvcrt.dll", "malloc\nfree\n");
  struct Case {
    const char* label;
    std::vector<std::string> imports;
    std::vector<std::string> functions;
    std::vector<std::uint16_t> ordinals;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"every function listed", {"kernel32.dll"}, {"CreateFileW", "GetTickCount"}, {}, {}},
      {"a newer system's function",
       {"KERNEL32.dll"},
       {"GetTickCount", "GetTickCount64"},
       {},
       {"import KERNEL32.dll!GetTickCount64 is not in the DLL's export list"}},
      {"names compare with their case",
       {"KERNEL32.dll"},
       {"getversionexw"},
       {},
       {"import KERNEL32.dll!getversionexw is not in the DLL's export list"}},
      {"a name listed for another DLL",
       {"KERNEL32.dll", "msvcrt.dll"},
       {"malloc"},
       {},
       {"import KERNEL32.dll!malloc is not in the DLL's export list"}},
      {"by ordinal",
       {"msvcrt.dll"},
       {"free"},
       {410},
       {"import msvcrt.dll ordinal 410 has no name to check"}},
      {"no list",
       {"USER32.dll"},
       {"MessageBoxW"},
       {},
       {"import USER32.dll has no export list to check its functions against"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ImageLayout layout;
    layout.imports = c.imports;
    layout.functions = c.functions;
    layout.ordinals = c.ordinals;
    const ReadResult read = readImage(buildImage(layout));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(lists.missing(read.image), c.expected);
  }
}

// An import table filled to the end of its section with descriptors that
// never end, and a name that never ends.
TEST(PeImageTest, EndlessTablesAndNamesStop) {
  Writer endless{buildImage(ImageLayout{})};
  const std::size_t size = endless.bytes.size();
  for (std::size_t at = kSectionFile; at < size; ++at) endless.bytes[at] = std::byte{0x41};
  EXPECT_FALSE(readImage(endless.bytes).ok);

  ImageLayout longName;
  longName.imports = {std::string(4000, 'k')};
  const ReadResult read = readImage(buildImage(longName));
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, "an imported DLL's name is unreadable");
}

// Every prefix of a sound image, and images with bytes changed at random:
// an answer every time, read within the bytes given (checked under the
// sanitizers).
TEST(PeImageTest, AnyBytesGiveAnAnswer) {
  ImageLayout layout;
  layout.pe32Plus = true;
  layout.delayed = {"a.dll", "b.dll"};
  const std::vector<std::byte> sound = buildImage(layout);
  for (std::size_t length = 0; length <= sound.size(); ++length) {
    const std::vector<std::byte> prefix(sound.begin(),
                                        sound.begin() + static_cast<std::ptrdiff_t>(length));
    const ReadResult read = readImage(prefix);
    EXPECT_TRUE(read.ok || !read.error.empty()) << length;
  }
  std::uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::byte> bytes = sound;
    for (int flips = 0; flips < 4; ++flips) {
      bytes[next() % bytes.size()] = std::byte(next() >> 24);
    }
    const ReadResult read = readImage(bytes);
    if (read.ok) (void)problems(read.image, systemDlls());
  }
}

}  // namespace
}  // namespace tolvaran::pe
