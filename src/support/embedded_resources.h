#pragma once
// The resources built into the program (language tables 102-105, the browser
// database 101), as the bytes that ship. Empty for an unknown id.
#include <cstddef>
#include <span>

namespace tolvaran {

namespace resource {
inline constexpr int kBrowserDatabase = 101;
inline constexpr int kLanguageRussian = 102;
inline constexpr int kLanguageEnglish = 103;
inline constexpr int kLanguageFrench = 104;
inline constexpr int kLanguageGerman = 105;
}  // namespace resource

std::span<const std::byte> embeddedResource(int id) noexcept;

}  // namespace tolvaran
