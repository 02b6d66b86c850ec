#pragma once
// Everything the program reports or decides about the running system,
// collected once when the object is built: version, marketing name and
// edition, bitness, safe mode, elevation, integrity level, the user's group,
// the three language settings and the code pages. The properties only
// return what construction found; a step that fails is recorded and leaves
// its values at their defaults, and the other steps still run.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os_info.h"
#include "platform/registry.h"
#include "support/failure.h"

namespace tolvaran {

class clsOSInfo {
 public:
  clsOSInfo(platform::OsInfo& os, platform::Registry& registry, FailureRecorder& recorder);
  clsOSInfo(const clsOSInfo&) = delete;
  clsOSInfo& operator=(const clsOSInfo&) = delete;

  // Reads the OEM and ANSI code pages and their table file names into the
  // Codepage* properties.
  void GetCodePageInfo();
  // The language's English name from the system ("Russian"); empty when the
  // system does not know the code.
  std::u16string GetLangNameFullByCultureCode(std::uint32_t code);
  // A text value (REG_SZ, REG_EXPAND_SZ unexpanded, REG_MULTI_SZ) of a key
  // under `hive` (always HKEY_LOCAL_MACHINE) in the native 64-bit view, cut
  // at its first NUL; empty when the key or value is missing or holds no text.
  std::u16string RegRead_REG_SZ(platform::RegKeyHandle hive, std::u16string_view key,
                                std::u16string_view valueName);
  // `process` is a process handle, 0 for the running process.
  bool IsProcessElevated(platform::ProcessHandle process = platform::kCurrentProcess);
  std::u16string GetUserType(platform::ProcessHandle process = platform::kCurrentProcess);
  std::u16string GetIntegrityLevel(platform::ProcessHandle process = platform::kCurrentProcess);
  // Edition name of a GetProductInfo type.
  std::u16string GetProductName(std::uint32_t productType);
  // Culture name of a Windows language code ("de-DE", "RU", "unknown").
  std::u16string GetLangNameByCultureCode(std::uint32_t code);
  // True when the program runs on 64-bit Windows, whichever build it is.
  bool IsWin64();

  [[nodiscard]] const std::u16string& Family() const noexcept { return family_; }
  [[nodiscard]] const std::u16string& Bitness() const noexcept { return bitness_; }
  [[nodiscard]] std::int32_t Major() const noexcept { return major_; }
  [[nodiscard]] std::int32_t Minor() const noexcept { return minor_; }
  [[nodiscard]] float MajorMinor() const noexcept { return majorMinor_; }
  [[nodiscard]] std::int32_t Build() const noexcept { return build_; }
  [[nodiscard]] float SPVer() const noexcept { return spVer_; }
  [[nodiscard]] const std::u16string& OSName() const noexcept { return osName_; }
  [[nodiscard]] const std::u16string& Edition() const noexcept { return edition_; }
  [[nodiscard]] bool IsElevated() const noexcept { return isElevated_; }
  [[nodiscard]] const std::u16string& IntegrityLevel() const noexcept { return integrityLevel_; }
  [[nodiscard]] const std::u16string& UserType() const noexcept { return userType_; }
  [[nodiscard]] bool IsSafeBoot() const noexcept { return isSafeBoot_; }
  [[nodiscard]] std::int32_t LangSystemCode() const noexcept { return langSystem_.code; }
  [[nodiscard]] const std::u16string& LangSystemName() const noexcept { return langSystem_.name; }
  [[nodiscard]] const std::u16string& LangSystemNameFull() const noexcept {
    return langSystem_.nameFull;
  }
  [[nodiscard]] std::int32_t LangNonUnicodeCode() const noexcept { return langNonUnicode_.code; }
  [[nodiscard]] const std::u16string& LangNonUnicodeName() const noexcept {
    return langNonUnicode_.name;
  }
  [[nodiscard]] const std::u16string& LangNonUnicodeNameFull() const noexcept {
    return langNonUnicode_.nameFull;
  }
  [[nodiscard]] std::int32_t LangDisplayCode() const noexcept { return langDisplay_.code; }
  [[nodiscard]] const std::u16string& LangDisplayName() const noexcept { return langDisplay_.name; }
  [[nodiscard]] const std::u16string& LangDisplayNameFull() const noexcept {
    return langDisplay_.nameFull;
  }
  [[nodiscard]] bool IsVistaOrLater() const noexcept { return isVistaOrLater_; }
  [[nodiscard]] const std::u16string& CodepageOEM() const noexcept { return codepageOem_; }
  [[nodiscard]] const std::u16string& CodepageOEM_File() const noexcept { return codepageOemFile_; }
  [[nodiscard]] const std::u16string& CodepageANSI() const noexcept { return codepageAnsi_; }
  [[nodiscard]] const std::u16string& CodepageANSI_File() const noexcept {
    return codepageAnsiFile_;
  }
  [[nodiscard]] const std::u16string& SuiteMask() const noexcept { return suiteMask_; }
  [[nodiscard]] const std::u16string& ProductType() const noexcept { return productType_; }

 private:
  struct Language {
    std::int32_t code = 0;
    std::u16string name;
    std::u16string nameFull;
  };

  void initialise();
  Language describeLanguage(std::uint32_t code);
  void readVersion();
  void nameSystem();
  std::u16string unknownSystemName();
  std::u16string decimalSeparator();

  platform::OsInfo& os_;
  platform::Registry& registry_;
  FailureRecorder& recorder_;

  platform::OsVersionInfo version_;
  std::optional<bool> isWin64_;

  std::u16string family_;
  std::u16string bitness_;
  std::int32_t major_ = 0;
  std::int32_t minor_ = 0;
  std::int32_t build_ = 0;
  float majorMinor_ = 0.0f;
  float spVer_ = 0.0f;
  std::u16string osName_;
  std::u16string edition_;
  bool isElevated_ = false;
  std::u16string integrityLevel_;
  std::u16string userType_;
  bool isSafeBoot_ = false;
  Language langSystem_;
  Language langNonUnicode_;
  Language langDisplay_;
  bool isVistaOrLater_ = false;
  std::u16string codepageOem_;
  std::u16string codepageOemFile_;
  std::u16string codepageAnsi_;
  std::u16string codepageAnsiFile_;
  std::u16string suiteMask_;
  std::u16string productType_;
};

// Major + minor / 10^k, k the number of decimal digits of minor (6.1, 6.3,
// 10.0; a minor of 10 reads as .1), rounded to single precision.
float versionNumber(std::uint32_t major, std::uint32_t minor) noexcept;

// A single-precision number the way the regional settings print it: up to
// seven significant digits, no trailing zeros, `separator` before the
// fraction.
std::u16string formatSingle(float value, std::u16string_view separator);

}  // namespace tolvaran
