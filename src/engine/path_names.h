#pragma once
// The path pieces the whole engine works with. Pure text operations: no file
// is touched, the backslash is the only separator, and every position is
// guarded, so any text (empty, all dots, all backslashes) gives an answer.
#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvaran {

// The last component without its extension: "C:\a\chrome.exe" gives
// "chrome", "C:\a.b\file" gives "file", ".hidden" gives empty text.
std::u16string GetFileName(std::u16string_view path);

// Everything before the last backslash; empty without one ("C:\x" gives "C:").
std::u16string GetPathName(std::u16string_view path);

// From the last dot to the end, upper-cased; empty without a dot. The dot is
// searched in the whole text, so "C:\dir.x\file" gives ".X\FILE".
std::u16string GetExtensionName(std::u16string_view path);

// The last component with its extension; the whole text without a backslash.
std::u16string GetFileNameAndExt(std::u16string_view path);

// The pieces joined with one backslash between two pieces unless the text
// so far already ends with one. A piece that begins with a backslash is not
// merged: "C:\dir" and "\file" give "C:\dir\\file".
std::u16string BuildPath(std::initializer_list<std::u16string_view> pieces);

// Lower case as the engine compares names: the Unicode simple case folding.
std::u16string lowerCase(std::u16string_view text);
// Upper case for the scripts shortcut names are written in (Latin, Greek,
// Cyrillic, Armenian and the other cased alphabets the folding pairs
// one-to-one); characters without such a partner stay as they are.
std::u16string upperCase(std::u16string_view text);

}  // namespace tolvaran
