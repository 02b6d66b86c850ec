#include "pe_check/pe_image.h"

#include <algorithm>
#include <optional>

namespace tolvaran::pe {
namespace {

// Far more than any real program has; a damaged table cannot run on.
constexpr std::size_t kMaxDescriptors = 4096;
constexpr std::size_t kMaxSections = 96;  // the loader's own limit
constexpr std::size_t kMaxNameLength = 512;
constexpr std::size_t kMaxFunctionsPerDll = 65536;  // an ordinal has 16 bits

constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDelayImportDirectory = 13;

// Little-endian reads that fail, rather than read past the end.
class Bytes {
 public:
  explicit Bytes(std::span<const std::byte> bytes) : bytes_(bytes) {}

  [[nodiscard]] std::size_t size() const noexcept { return bytes_.size(); }

  template <class T>
  [[nodiscard]] std::optional<T> read(std::uint64_t offset) const noexcept {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      value |= static_cast<std::uint64_t>(std::to_integer<std::uint8_t>(bytes_[offset + i]))
               << (8 * i);
    }
    return static_cast<T>(value);
  }

  // A NUL-terminated name; nothing when it runs off the end or on too long.
  [[nodiscard]] std::optional<std::string> name(std::uint64_t offset) const {
    std::string out;
    for (std::uint64_t at = offset; at < bytes_.size(); ++at) {
      const char c = static_cast<char>(std::to_integer<std::uint8_t>(bytes_[at]));
      if (c == '\0') return out;
      if (out.size() == kMaxNameLength) return std::nullopt;
      out.push_back(c);
    }
    return std::nullopt;
  }

 private:
  std::span<const std::byte> bytes_;
};

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

// Where in the file an address of the loaded image lies; nothing when no
// section holds it in its file data.
std::optional<std::uint64_t> fileOffset(const std::vector<Section>& sections, std::uint64_t rva) {
  for (const Section& s : sections) {
    const std::uint64_t start = s.virtualAddress;
    const std::uint64_t span = std::max(s.virtualSize, s.rawSize);
    if (rva < start || rva - start >= span) continue;
    const std::uint64_t into = rva - start;
    if (into >= s.rawSize) return std::nullopt;  // uninitialised data: not in the file
    return std::uint64_t{s.rawOffset} + into;
  }
  return std::nullopt;
}

struct Layout {
  Bytes bytes;
  std::vector<Section> sections;
  std::uint64_t imageBase = 0;
  bool pe32Plus = false;
};

// The functions of one import descriptor at file offset `at`: its lookup
// table (or, when a linker left that out, its address table, which holds the
// same entries until the loader binds it), ended by an entry of zeros.
std::optional<std::string> readFunctions(const Layout& layout, std::uint64_t at,
                                         ImportedFunctions& out) {
  const std::uint32_t lookupRva = *layout.bytes.read<std::uint32_t>(at);
  const std::uint32_t tableRva =
      lookupRva != 0 ? lookupRva : *layout.bytes.read<std::uint32_t>(at + 16);
  const auto table = fileOffset(layout.sections, tableRva);
  if (!table) return "an import's function table lies outside the file's sections";
  const std::size_t width = layout.pe32Plus ? 8 : 4;
  const std::uint64_t ordinalFlag = layout.pe32Plus ? 0x8000000000000000ULL : 0x80000000ULL;
  for (std::size_t index = 0;; ++index) {
    if (index == kMaxFunctionsPerDll) return "an import's function table has no end";
    const std::uint64_t entryAt = *table + index * width;
    const auto entry =
        layout.pe32Plus ? layout.bytes.read<std::uint64_t>(entryAt)
                        : std::optional<std::uint64_t>(layout.bytes.read<std::uint32_t>(entryAt));
    if (!entry) return "an import's function table runs off the end of the file";
    if (*entry == 0) return std::nullopt;
    if (*entry & ordinalFlag) {
      out.ordinals.push_back(static_cast<std::uint16_t>(*entry & 0xFFFF));
      continue;
    }
    // A hint of two bytes, then the name.
    const auto hintAt = fileOffset(layout.sections, *entry & 0x7FFFFFFF);
    if (!hintAt) return "an imported function's name lies outside the file's sections";
    auto name = layout.bytes.name(*hintAt + 2);
    if (!name || name->empty()) return "an imported function's name is unreadable";
    out.names.push_back(std::move(*name));
  }
}

// The DLL names of a descriptor table: `stride` bytes each, the name's
// address `nameField` bytes in, the table ended by a descriptor of zeros.
// `vaBased` says whether a descriptor holds addresses rather than RVAs.
// For the import table (not `delayed`), each DLL's functions go to `functions`.
std::optional<std::string> readNames(const Layout& layout, std::uint32_t tableRva,
                                     std::size_t stride, std::size_t nameField, bool delayed,
                                     std::vector<std::string>& names,
                                     std::vector<ImportedFunctions>* functions) {
  const auto table = fileOffset(layout.sections, tableRva);
  if (!table) return "the import table lies outside the file's sections";
  for (std::size_t index = 0;; ++index) {
    if (index == kMaxDescriptors) return "the import table has no end";
    const std::uint64_t at = *table + index * stride;
    bool allZero = true;
    for (std::size_t b = 0; b < stride; b += 4) {
      const auto word = layout.bytes.read<std::uint32_t>(at + b);
      if (!word) return "the import table runs off the end of the file";
      allZero = allZero && *word == 0;
    }
    if (allZero) return std::nullopt;
    std::uint64_t nameAddress = *layout.bytes.read<std::uint32_t>(at + nameField);
    if (delayed) {
      // Old linkers wrote addresses of the loaded image, flagged by attribute bit 0 clear.
      const std::uint32_t attributes = *layout.bytes.read<std::uint32_t>(at);
      if ((attributes & 1) == 0) {
        if (nameAddress < layout.imageBase) return "a delayed import's name lies outside the image";
        nameAddress -= layout.imageBase;
      }
    }
    const auto nameAt = fileOffset(layout.sections, nameAddress);
    if (!nameAt) return "an imported DLL's name lies outside the file's sections";
    auto name = layout.bytes.name(*nameAt);
    if (!name || name->empty()) return "an imported DLL's name is unreadable";
    if (functions) {
      ImportedFunctions imported{*name, {}, {}};
      if (auto error = readFunctions(layout, at, imported)) return error;
      functions->push_back(std::move(imported));
    }
    names.push_back(std::move(*name));
  }
}

}  // namespace

ReadResult readImage(std::span<const std::byte> data) {
  ReadResult result;
  const auto fail = [&](std::string why) {
    result.ok = false;
    result.error = std::move(why);
    return result;
  };
  Layout layout{Bytes(data), {}, 0, false};
  const Bytes& bytes = layout.bytes;

  if (bytes.read<std::uint16_t>(0) != std::optional<std::uint16_t>(0x5A4D))
    return fail("no MZ header");
  const auto peAt = bytes.read<std::uint32_t>(0x3C);
  if (!peAt) return fail("the MZ header is cut short");
  if (bytes.read<std::uint32_t>(*peAt) != std::optional<std::uint32_t>(0x00004550)) {
    return fail("no PE signature where the MZ header points");
  }
  const std::uint64_t coff = std::uint64_t{*peAt} + 4;
  const auto machine = bytes.read<std::uint16_t>(coff);
  const auto sectionCount = bytes.read<std::uint16_t>(coff + 2);
  const auto optionalSize = bytes.read<std::uint16_t>(coff + 16);
  const auto characteristics = bytes.read<std::uint16_t>(coff + 18);
  if (!machine || !sectionCount || !optionalSize || !characteristics) {
    return fail("the file header is cut short");
  }
  Image& image = result.image;
  image.machine = *machine;
  image.characteristics = *characteristics;

  const std::uint64_t optional = coff + 20;
  const auto magic = bytes.read<std::uint16_t>(optional);
  if (magic != std::optional<std::uint16_t>(0x10B) &&
      magic != std::optional<std::uint16_t>(0x20B)) {
    return fail("the optional header is neither PE32 nor PE32+");
  }
  image.pe32Plus = *magic == 0x20B;
  layout.pe32Plus = image.pe32Plus;
  const std::uint64_t directoriesAt = optional + (image.pe32Plus ? 112 : 96);
  const std::uint64_t countAt = optional + (image.pe32Plus ? 108 : 92);
  if (*optionalSize < directoriesAt - optional) return fail("the optional header is too small");
  const auto subsystem = bytes.read<std::uint16_t>(optional + 68);
  const auto dllCharacteristics = bytes.read<std::uint16_t>(optional + 70);
  const auto directoryCount = bytes.read<std::uint32_t>(countAt);
  const auto imageBase =
      image.pe32Plus ? bytes.read<std::uint64_t>(optional + 24)
                     : std::optional<std::uint64_t>(bytes.read<std::uint32_t>(optional + 28));
  if (!subsystem || !dllCharacteristics || !directoryCount || !imageBase) {
    return fail("the optional header is cut short");
  }
  image.subsystem = *subsystem;
  image.dllCharacteristics = *dllCharacteristics;
  layout.imageBase = *imageBase;

  if (*sectionCount > kMaxSections) return fail("more sections than the loader accepts");
  const std::uint64_t sectionsAt = optional + *optionalSize;
  for (std::size_t i = 0; i < *sectionCount; ++i) {
    const std::uint64_t at = sectionsAt + i * 40;
    const auto virtualSize = bytes.read<std::uint32_t>(at + 8);
    const auto virtualAddress = bytes.read<std::uint32_t>(at + 12);
    const auto rawSize = bytes.read<std::uint32_t>(at + 16);
    const auto rawOffset = bytes.read<std::uint32_t>(at + 20);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) {
      return fail("the section table is cut short");
    }
    layout.sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
  }

  // A directory the header does not count, or that is empty, is absent.
  const auto directory = [&](std::size_t index) -> std::optional<std::uint32_t> {
    if (index >= *directoryCount) return std::nullopt;
    const std::uint64_t at = directoriesAt + index * 8;
    if (at + 8 > optional + *optionalSize) return std::nullopt;
    const auto rva = bytes.read<std::uint32_t>(at);
    const auto size = bytes.read<std::uint32_t>(at + 4);
    if (!rva || !size || *rva == 0 || *size == 0) return std::nullopt;
    return *rva;
  };
  if (const auto imports = directory(kImportDirectory)) {
    if (auto error = readNames(layout, *imports, 20, 12, false, image.imports, &image.functions)) {
      return fail(*error);
    }
  }
  if (const auto delayed = directory(kDelayImportDirectory)) {
    if (auto error = readNames(layout, *delayed, 32, 4, true, image.delayedImports, nullptr)) {
      return fail(*error);
    }
  }
  result.ok = true;
  return result;
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

const std::vector<std::string_view>& systemDlls() {
  static const std::vector<std::string_view> list{
      "advapi32.dll", "clbcatq.dll", "combase.dll",  "comctl32.dll", "comdlg32.dll", "coml2.dll",
      "difxapi.dll",  "gdi32.dll",   "gdiplus.dll",  "imagehlp.dll", "imm32.dll",    "kernel32.dll",
      "msctf.dll",    "msvcrt.dll",  "normaliz.dll", "nsi.dll",      "ntdll.dll",    "ole32.dll",
      "oleaut32.dll", "psapi.dll",   "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",
      "shell32.dll",  "shlwapi.dll", "user32.dll",   "wldap32.dll",  "ws2_32.dll"};
  return list;
}

std::vector<std::string> problems(const Image& image,
                                  const std::vector<std::string_view>& allowed) {
  std::vector<std::string> found;
  const auto check = [&](const std::vector<std::string>& names, std::string_view kind) {
    for (const std::string& name : names) {
      const std::string folded = lowerAscii(name);
      const bool known = std::any_of(allowed.begin(), allowed.end(), [&](std::string_view dll) {
        return lowerAscii(dll) == folded;
      });
      if (!known) found.push_back(std::string(kind) + " " + name + " is not a system DLL");
    }
  };
  check(image.imports, "import");
  check(image.delayedImports, "delayed import");
  if (!(image.dllCharacteristics & kDynamicBase)) found.emplace_back("DYNAMIC_BASE is not set");
  if (!(image.dllCharacteristics & kNxCompat)) found.emplace_back("NX_COMPAT is not set");
  if (image.characteristics & kRelocsStripped) {
    found.emplace_back("relocations are stripped: the image cannot move");
  }
  if (image.pe32Plus && !(image.dllCharacteristics & kHighEntropyVa)) {
    found.emplace_back("HIGH_ENTROPY_VA is not set on a 64-bit image");
  }
  return found;
}

}  // namespace tolvaran::pe
