#include "system/os_info_tables.h"

#include <algorithm>
#include <iterator>

namespace tolvaran {
namespace {

struct CodeName {
  std::uint32_t code;
  std::u16string_view name;
};

// Windows language codes and their culture names as the early .NET
// CultureInfo list spelt them: specific cultures plus the two Chinese
// neutrals. Sorted by code for the binary search below.
constexpr CodeName kCultures[] = {
    {4, u"zh-CHS"},      {1025, u"ar-SA"},    {1026, u"BG"},       {1027, u"ca-ES"},
    {1028, u"zh-TW"},    {1029, u"cs-CZ"},    {1030, u"da-DK"},    {1031, u"de-DE"},
    {1032, u"el-GR"},    {1033, u"EN"},       {1035, u"fi-FI"},    {1036, u"fr-FR"},
    {1037, u"he-IL"},    {1038, u"hu-HU"},    {1039, u"is-IS"},    {1040, u"it-IT"},
    {1041, u"ja-JP"},    {1042, u"ko-KR"},    {1043, u"nl-NL"},    {1044, u"nb-NO"},
    {1045, u"pl-PL"},    {1046, u"pt-BR"},    {1048, u"ro-RO"},    {1049, u"RU"},
    {1050, u"hr-HR"},    {1051, u"sk-SK"},    {1052, u"sq-AL"},    {1053, u"sv-SE"},
    {1054, u"th-TH"},    {1055, u"tr-TR"},    {1056, u"ur-PK"},    {1057, u"id-ID"},
    {1058, u"UA"},       {1059, u"be-BY"},    {1060, u"sl-SI"},    {1061, u"et-EE"},
    {1062, u"lv-LV"},    {1063, u"lt-LT"},    {1065, u"fa-IR"},    {1066, u"vi-VN"},
    {1067, u"hy-AM"},    {1068, u"Lt-az-AZ"}, {1069, u"eu-ES"},    {1071, u"mk-MK"},
    {1078, u"af-ZA"},    {1079, u"ka-GE"},    {1080, u"fo-FO"},    {1081, u"hi-IN"},
    {1086, u"ms-MY"},    {1087, u"kk-KZ"},    {1088, u"ky-KZ"},    {1089, u"sw-KE"},
    {1091, u"Lt-uz-UZ"}, {1092, u"tt-RU"},    {1094, u"pa-IN"},    {1095, u"gu-IN"},
    {1097, u"ta-IN"},    {1098, u"te-IN"},    {1099, u"kn-IN"},    {1102, u"mr-IN"},
    {1103, u"sa-IN"},    {1104, u"mn-MN"},    {1110, u"gl-ES"},    {1111, u"kok-IN"},
    {1114, u"syr-SY"},   {1125, u"div-MV"},   {2049, u"ar-IQ"},    {2052, u"zh-CN"},
    {2055, u"de-CH"},    {2057, u"en-GB"},    {2058, u"es-MX"},    {2060, u"fr-BE"},
    {2064, u"it-CH"},    {2067, u"nl-BE"},    {2068, u"nn-NO"},    {2070, u"pt-PT"},
    {2074, u"Lt-sr-SP"}, {2077, u"sv-FI"},    {2092, u"Cy-az-AZ"}, {2110, u"ms-BN"},
    {2115, u"Cy-uz-UZ"}, {3073, u"ar-EG"},    {3076, u"zh-HK"},    {3079, u"de-AT"},
    {3081, u"en-AU"},    {3082, u"es-ES"},    {3084, u"fr-CA"},    {3098, u"Cy-sr-SP"},
    {4097, u"ar-LY"},    {4100, u"zh-SG"},    {4103, u"de-LU"},    {4105, u"en-CA"},
    {4106, u"es-GT"},    {4108, u"fr-CH"},    {5121, u"ar-DZ"},    {5124, u"zh-MO"},
    {5127, u"de-LI"},    {5129, u"en-NZ"},    {5130, u"es-CR"},    {5132, u"fr-LU"},
    {6145, u"ar-MA"},    {6153, u"en-IE"},    {6154, u"es-PA"},    {6156, u"fr-MC"},
    {7169, u"ar-TN"},    {7177, u"en-ZA"},    {7178, u"es-DO"},    {8193, u"ar-OM"},
    {8201, u"en-JM"},    {8202, u"es-VE"},    {9217, u"ar-YE"},    {9225, u"en-CB"},
    {9226, u"es-CO"},    {10241, u"ar-SY"},   {10249, u"en-BZ"},   {10250, u"es-PE"},
    {11265, u"ar-JO"},   {11273, u"en-TT"},   {11274, u"es-AR"},   {12289, u"ar-LB"},
    {12297, u"en-ZW"},   {12298, u"es-EC"},   {13313, u"ar-KW"},   {13321, u"en-PH"},
    {13322, u"es-CL"},   {14337, u"ar-AE"},   {14346, u"es-UY"},   {15361, u"ar-BH"},
    {15370, u"es-PY"},   {16385, u"ar-QA"},   {16394, u"es-BO"},   {17418, u"es-SV"},
    {18442, u"es-HN"},   {19466, u"es-NI"},   {20490, u"es-PR"},   {31748, u"zh-CHT"},
};

// PRODUCT_ constants and their edition names. Sorted by code.
constexpr CodeName kProducts[] = {
    {0, u"An unknown product"},
    {1, u"Ultimate"},
    {2, u"Home Basic"},
    {3, u"Home Premium"},
    {4, u"Enterprise"},
    {5, u"Home Basic N"},
    {6, u"Business"},
    {7, u"Server Standard"},
    {8, u"Server Datacenter (full installation)"},
    {9, u"Windows Small Business Server"},
    {10, u"Server Enterprise (full installation)"},
    {11, u"Starter"},
    {12, u"Server Datacenter (core installation)"},
    {13, u"Server Standard (core installation)"},
    {14, u"Server Enterprise (core installation)"},
    {15, u"Server Enterprise for Itanium-based Systems"},
    {16, u"Business N"},
    {17, u"Web Server (full installation)"},
    {18, u"HPC Edition"},
    {19, u"Windows Storage Server 2008 R2 Essentials"},
    {20, u"Storage Server Express"},
    {21, u"Storage Server Standard"},
    {22, u"Storage Server Workgroup"},
    {23, u"Storage Server Enterprise"},
    {24, u"Windows Server 2008 for Windows Essential Server Solutions"},
    {25, u"Small Business Server Premium"},
    {26, u"Home Premium N"},
    {27, u"Enterprise N"},
    {28, u"Ultimate N"},
    {29, u"Web Server (core installation)"},
    {30, u"Windows Essential Business Server Management Server"},
    {31, u"Windows Essential Business Server Security Server"},
    {32, u"Windows Essential Business Server Messaging Server"},
    {33, u"Server Foundation"},
    {34, u"Windows Home Server 2011"},
    {35, u"Windows Server 2008 without Hyper-V for Windows Essential Server Solutions"},
    {36, u"Server Standard without Hyper-V"},
    {37, u"Server Datacenter without Hyper-V (full installation)"},
    {38, u"Server Enterprise without Hyper-V (full installation)"},
    {39, u"Server Datacenter without Hyper-V (core installation)"},
    {40, u"Server Standard without Hyper-V (core installation)"},
    {41, u"Server Enterprise without Hyper-V (core installation)"},
    {42, u"Microsoft Hyper-V Server"},
    {43, u"Storage Server Express (core installation)"},
    {44, u"Storage Server Standard (core installation)"},
    {45, u"Storage Server Workgroup (core installation)"},
    {46, u"Storage Server Enterprise (core installation)"},
    {47, u"Starter N"},
    {48, u"Pro"},
    {49, u"Pro N"},
    {50, u"Windows Small Business Server 2011 Essentials"},
    {51, u"Server For SB Solutions"},
    {52, u"Server Solutions Premium"},
    {53, u"Server Solutions Premium (core installation)"},
    {54, u"Server For SB Solutions EM"},
    {55, u"Server For SB Solutions EM"},
    {56, u"Windows MultiPoint Server"},
    {59, u"Windows Essential Server Solution Management"},
    {60, u"Windows Essential Server Solution Additional"},
    {61, u"Windows Essential Server Solution Management SVC"},
    {62, u"Windows Essential Server Solution Additional SVC"},
    {63, u"Small Business Server Premium (core installation)"},
    {64, u"Server Hyper Core V"},
    {66, u"Not supported"},
    {67, u"Not supported"},
    {68, u"Not supported"},
    {69, u"Not supported"},
    {70, u"Enterprise E"},
    {71, u"Not supported"},
    {72, u"Enterprise Evaluation"},
    {74, u"Consumer Preview"},
    {76, u"Windows MultiPoint Server Standard (full installation)"},
    {77, u"Windows MultiPoint Server Premium (full installation)"},
    {79, u"Server Standard (evaluation installation)"},
    {80, u"Server Datacenter (evaluation installation)"},
    {84, u"Enterprise N Evaluation"},
    {95, u"Storage Server Workgroup (evaluation installation)"},
    {96, u"Storage Server Standard (evaluation installation)"},
    {98, u"Home N"},
    {99, u"Home China"},
    {100, u"Home Single Language"},
    {101, u"Home"},
    {103, u"Professional with Media Center"},
    {104, u"Mobile"},
    {121, u"Education"},
    {122, u"Education N"},
    {123, u"IoT Core"},
    {125, u"Enterprise 2015 LTSB"},
    {126, u"Enterprise 2015 LTSB N"},
    {129, u"Enterprise 2015 LTSB Evaluation"},
    {130, u"Enterprise 2015 LTSB N Evaluation"},
    {131, u"IoT Core Commercial"},
    {133, u"Mobile Enterprise"},
};

// VER_SUITE_ bits in the order their names are listed.
constexpr CodeName kSuites[] = {
    {0x4, u"BackOffice"},        {0x400, u"Blade"},
    {0x4000, u"Compute_Server"}, {0x80, u"DataCenter"},
    {0x2, u"Enterprise"},        {0x40, u"EmbeddedNT"},
    {0x200, u"Personal"},        {0x100, u"SingleUserTS"},
    {0x1, u"SmallBusiness"},     {0x20, u"SmallBusiness_Restricted"},
    {0x2000, u"Storage_Server"}, {0x10, u"Terminal"},
    {0x8000, u"WH_Server"},
};

template <std::size_t N>
constexpr bool sortedUnique(const CodeName (&table)[N]) {
  for (std::size_t i = 1; i < N; ++i) {
    if (table[i - 1].code >= table[i].code) return false;
  }
  return true;
}
static_assert(sortedUnique(kCultures) && sortedUnique(kProducts));
static_assert(std::size(kCultures) == 136);

template <std::size_t N>
const CodeName* findSorted(const CodeName (&table)[N], std::uint32_t code) noexcept {
  const auto* end = std::end(table);
  const auto* found =
      std::lower_bound(std::begin(table), end, code,
                       [](const CodeName& row, std::uint32_t c) { return row.code < c; });
  return (found != end && found->code == code) ? found : nullptr;
}

std::u16string upperHex(std::uint32_t value) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string_view cultureNameByCode(std::uint32_t code) noexcept {
  const CodeName* row = findSorted(kCultures, code);
  return row ? row->name : u"unknown";
}

std::size_t cultureTableSize() noexcept {
  return std::size(kCultures);
}

std::u16string productNameByType(std::uint32_t productType) {
  if (const CodeName* row = findSorted(kProducts, productType)) return std::u16string(row->name);
  return u"Unknown Edition (0x" + upperHex(productType) + u")";
}

std::u16string suiteMaskText(std::uint32_t suiteMask) {
  std::u16string text;
  for (const CodeName& suite : kSuites) {
    if ((suiteMask & suite.code) == 0) continue;
    if (!text.empty()) text += u" + ";
    text += suite.name;
  }
  return text;
}

std::u16string_view productTypeText(std::uint32_t productType) noexcept {
  switch (productType) {
    case 1: return u"Workstation";
    case 2: return u"Domain_Controller";
    case 3: return u"Server";
    default: return {};
  }
}

}  // namespace tolvaran
