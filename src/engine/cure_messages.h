#pragma once
// The language-table messages the shortcut cure writes into result lines.
namespace tolvaran::cure_message {

inline constexpr int kAlreadyCured = 30;
inline constexpr int kExistsUnderName = 31;
inline constexpr int kCannotCreate = 32;
inline constexpr int kCannotRename = 34;
inline constexpr int kOk = 35;
inline constexpr int kNotRecovered = 37;
inline constexpr int kHiddenRemoved = 38;
inline constexpr int kSystemRemoved = 39;
inline constexpr int kCannotRemoveAttributes = 40;
inline constexpr int kOriginalRecreated = 41;
inline constexpr int kIconRecovered = 42;
inline constexpr int kNoFileTarget = 43;
inline constexpr int kUnknownInstall = 44;
inline constexpr int kRenamedFrom = 45;
inline constexpr int kMethod = 60;

}  // namespace tolvaran::cure_message
