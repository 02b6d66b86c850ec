#pragma once
// What counts as a web address inside a shortcut's arguments, a script line
// or a name: the one definition every judgement of adware text shares.
#include <string_view>

namespace tolvaran {

// True when the text contains "http://", "https://", "ftp://", "www.",
// "javascript:" or "vbscript:", in any letter case (the program's case
// folding). "http:/x" and "wwwx" are not addresses. One pass over the text:
// arguments reach 32,767 characters and must never cost more than a scan.
bool containsWebAddress(std::u16string_view text) noexcept;

}  // namespace tolvaran
