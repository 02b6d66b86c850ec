#include "platform/sim/sim_os_info.h"

#include <string_view>
#include <utility>

namespace tolvaran::platform::sim {
namespace {

// The locales the simulated systems know: English language name and decimal
// separator, as GetLocaleInfoW gives them on Windows 7 and later.
struct LocaleFacts {
  std::uint16_t languageId;
  std::u16string_view englishLanguage;
  std::u16string_view decimalSeparator;
};
constexpr LocaleFacts kLocales[] = {
    {1026, u"Bulgarian", u","},  {1029, u"Czech", u","},   {1031, u"German", u","},
    {1033, u"English", u"."},    {1036, u"French", u","},  {1040, u"Italian", u","},
    {1045, u"Polish", u","},     {1049, u"Russian", u","}, {1058, u"Ukrainian", u","},
    {1059, u"Belarusian", u","}, {2057, u"English", u"."}, {3082, u"Spanish", u","},
};

const LocaleFacts* findLocale(std::uint32_t lcid) {
  // The sort id in bits 16-19 does not change these answers.
  const auto languageId = static_cast<std::uint16_t>(lcid & 0xFFFF);
  for (const LocaleFacts& locale : kLocales) {
    if (locale.languageId == languageId) return &locale;
  }
  return nullptr;
}

bool isCurrentProcess(ProcessHandle process) {
  return process == kCurrentProcess;
}

}  // namespace

SimOsInfo::SimOsInfo(OsProfile profile)
    : profile_(std::move(profile)),
      faults_([](std::u16string_view, std::u16string_view) { return true; }) {}

Result<OsVersionInfo> SimOsInfo::getVersionEx() {
  if (const Win32Code code = check(OsInfoOp::GetVersionEx)) return {{}, code};
  return {profile_.version, kErrorSuccess};
}

Result<std::uint32_t> SimOsInfo::getProductInfo(std::uint32_t, std::uint32_t, std::uint32_t,
                                                std::uint32_t) {
  if (!profile_.productInfo) return {0, kErrorCallNotImplemented};
  if (const Win32Code code = check(OsInfoOp::GetProductInfo)) return {0, code};
  return {*profile_.productInfo, kErrorSuccess};
}

int SimOsInfo::getSystemMetrics(int index) {
  const auto found = profile_.systemMetrics.find(index);
  return found == profile_.systemMetrics.end() ? 0 : found->second;
}

Result<bool> SimOsInfo::isWow64Process(ProcessHandle process) {
  if (!profile_.hasIsWow64Process) return {false, kErrorCallNotImplemented};
  if (const Win32Code code = check(OsInfoOp::IsWow64Process)) return {false, code};
  if (!isCurrentProcess(process)) return {false, kErrorInvalidHandle};
  return {profile_.is64BitOs && profile_.processPointerSize == 4, kErrorSuccess};
}

std::uint32_t SimOsInfo::processPointerSize() {
  return profile_.processPointerSize;
}

std::uint16_t SimOsInfo::getUserDefaultUILanguage() {
  return profile_.userUiLanguage;
}
std::uint16_t SimOsInfo::getSystemDefaultUILanguage() {
  return profile_.systemUiLanguage;
}
std::uint32_t SimOsInfo::getSystemDefaultLcid() {
  return profile_.systemLcid;
}

Result<std::u16string> SimOsInfo::getLocaleInfo(std::uint32_t lcid, std::uint32_t lcType) {
  if (const Win32Code code = check(OsInfoOp::GetLocaleInfo)) return {{}, code};
  if (lcid == 0 || lcid == kLocaleUserDefault) lcid = profile_.userLcid;
  if (lcid == kLocaleSystemDefault) lcid = profile_.systemLcid;
  const LocaleFacts* locale = findLocale(lcid);
  if (locale == nullptr) return {{}, kErrorInvalidParameter};
  switch (lcType) {
    case kLocaleSEnglishLanguageName:
      return {std::u16string(locale->englishLanguage), kErrorSuccess};
    case kLocaleSDecimal: return {std::u16string(locale->decimalSeparator), kErrorSuccess};
    default: return {{}, kErrorInvalidParameter};
  }
}

Result<std::uint32_t> SimOsInfo::tokenElevation(ProcessHandle process) {
  if (const Win32Code code = check(OsInfoOp::TokenElevation)) return {0, code};
  if (!isCurrentProcess(process)) return {0, kErrorInvalidHandle};
  if (!profile_.tokenElevation) return {0, kErrorInvalidParameter};
  return {*profile_.tokenElevation, kErrorSuccess};
}

Result<std::uint32_t> SimOsInfo::tokenIntegrityLevel(ProcessHandle process) {
  if (const Win32Code code = check(OsInfoOp::TokenIntegrityLevel)) return {0, code};
  if (!isCurrentProcess(process)) return {0, kErrorInvalidHandle};
  if (!profile_.integrityRid) return {0, kErrorInvalidParameter};
  return {*profile_.integrityRid, kErrorSuccess};
}

Result<std::vector<std::u16string>> SimOsInfo::tokenGroups(ProcessHandle process) {
  if (const Win32Code code = check(OsInfoOp::TokenGroups)) return {{}, code};
  if (!isCurrentProcess(process)) return {{}, kErrorInvalidHandle};
  return {profile_.tokenGroups, kErrorSuccess};
}

}  // namespace tolvaran::platform::sim
