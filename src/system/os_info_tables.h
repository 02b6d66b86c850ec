#pragma once
// The fixed tables behind the OS information: culture names of Windows
// language codes, edition names of GetProductInfo types, suite-mask names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvaran {

// The culture name of a Windows language code, in the older spelling the
// program has always printed ("Lt-az-AZ", "zh-CHS"); the four languages the
// program ships tables for give a bare upper-case code ("EN", "RU", "UA",
// "BG"). "unknown" for any other code.
std::u16string_view cultureNameByCode(std::uint32_t code) noexcept;
// Rows in the culture table (136).
std::size_t cultureTableSize() noexcept;

// The edition name of a PRODUCT_ type; "Unknown Edition (0x1A2B)" for a
// type the table lacks.
std::u16string productNameByType(std::uint32_t productType);

// Names of the set VER_SUITE_ bits joined by " + " in the program's fixed
// order; empty for no known bit.
std::u16string suiteMaskText(std::uint32_t suiteMask);

// OSVERSIONINFOEXW.wProductType as text: "Workstation", "Domain_Controller",
// "Server"; empty for anything else.
std::u16string_view productTypeText(std::uint32_t productType) noexcept;

}  // namespace tolvaran
