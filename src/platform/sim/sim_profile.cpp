#include "platform/sim/sim_profile.h"

#include <array>
#include <string>

#include "platform/scoped_file.h"
#include "platform/sim/ini_text.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

enum class Encoding { kAnsi, kUtf16le, kUtf8 };

struct IniFile {
  bool exists = false;
  Encoding encoding = Encoding::kAnsi;
  std::u16string text;
};

Result<std::string> readAll(Files& files, FileHandle file) {
  std::string bytes;
  std::array<std::byte, 16 * 1024> buffer;
  for (;;) {
    auto read = files.readFile(file, buffer);
    if (!read.ok()) return {{}, read.code};
    if (read.value == 0) return {std::move(bytes), kErrorSuccess};
    bytes.append(reinterpret_cast<const char*>(buffer.data()), read.value);
  }
}

Result<IniFile> load(Files& files, System& system, std::u16string_view path) {
  Win32Code code = kErrorSuccess;
  auto file = ScopedFile::openForReading(files, path, &code);
  if (!file.valid()) {
    if (isNotFound(code)) return {IniFile{}, kErrorSuccess};
    return {IniFile{}, code};
  }
  auto bytes = readAll(files, file.get());
  if (!bytes.ok()) return {IniFile{}, bytes.code};
  IniFile ini;
  ini.exists = true;
  const std::string& raw = bytes.value;
  if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
      static_cast<unsigned char>(raw[1]) == 0xFE) {
    ini.encoding = Encoding::kUtf16le;
    ini.text = utf16leToText(std::string_view(raw).substr(2));
  } else if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    ini.encoding = Encoding::kUtf8;
    ini.text = utf8ToUtf16(std::string_view(raw).substr(3));
  } else {
    ini.text = system.ansiToWide(raw);
  }
  return {std::move(ini), kErrorSuccess};
}

std::string encode(System& system, Encoding encoding, std::u16string_view text) {
  switch (encoding) {
    case Encoding::kUtf16le: return "\xFF\xFE" + textToUtf16le(text);
    case Encoding::kUtf8: return "\xEF\xBB\xBF" + utf16ToUtf8(text);
    case Encoding::kAnsi: break;
  }
  return system.wideToAnsi(text);
}

}  // namespace

Result<std::u16string> SimProfile::getPrivateProfileString(std::u16string_view section,
                                                           std::u16string_view key,
                                                           std::u16string_view defaultValue,
                                                           std::uint32_t bufferChars,
                                                           std::u16string_view fileName) {
  if (bufferChars == 0) return {{}, kErrorSuccess};
  auto ini = load(files_, system_, fileName);
  std::u16string value;
  Win32Code code = ini.code;
  if (auto found = ini.ok() ? iniLookup(ini.value.text, section, key) : std::nullopt) {
    value = std::move(*found);
  } else {
    value = std::u16string(trimRightSpaces(defaultValue));
    if (ini.ok()) code = ini.value.exists ? kErrorSuccess : kErrorFileNotFound;
  }
  if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
  return {std::move(value), code};
}

Status SimProfile::writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                             std::u16string_view value,
                                             std::u16string_view fileName) {
  auto ini = load(files_, system_, fileName);
  if (!ini.ok()) return {ini.code};
  const std::string bytes =
      encode(system_, ini.value.encoding, iniSet(ini.value.text, section, key, value));
  auto opened = files_.createFile(
      fileName, access::kGenericWrite, share::kRead,
      ini.value.exists ? Disposition::kTruncateExisting : Disposition::kCreateNew);
  if (!opened.ok()) return {opened.code};
  ScopedFile file(files_, opened.value);
  auto written = files_.writeFile(file.get(), std::as_bytes(std::span(bytes)));
  if (!written.ok()) return {written.code};
  return {kErrorSuccess};
}

}  // namespace tolvaran::platform::sim
