#pragma once
// Quote stripping and the DOS (code page 866) Cyrillic helpers shared by the
// list parser and the script reader.
//
// The plain forms only allocate; the forms that take a FailureRecorder guard
// themselves, record any failure under their own dotted name and return
// empty text (or false), for callers that must not be interrupted.
#include <string>
#include <string_view>

#include "support/failure.h"

namespace tolvaran {

// The text without any leading, then any trailing, double quotes; a text of
// quotes only becomes empty.
std::u16string UnQuote(std::u16string_view text);
std::u16string UnQuote(FailureRecorder& recorder, std::u16string_view text);

// The text without one enclosing pair of double quotes; unchanged unless it
// both begins and ends with one. A lone double quote gives empty text.
std::u16string UnQuoteEx(std::u16string_view text);
std::u16string UnQuoteEx(FailureRecorder& recorder, std::u16string_view text);

// True when the text holds a character that a DOS-code-page Cyrillic text
// shows once its bytes are read as Windows-1251, and that ordinary
// Windows-1251 Russian text does not use: the 1251 view of the 866 bytes
// 0x80-0x9F except 0x82, 0xA0-0xA7 and 0xAB-0xAE (0x98 shows as U+0098).
bool isOEM(std::u16string_view text) noexcept;
bool isOEM(FailureRecorder& recorder, std::u16string_view text);

// The same test on the bytes themselves, whatever code page they would be
// read with: true when they hold one of the 866 bytes listed above. On a
// Windows-1251 system it decides exactly as isOEM on the decoded text.
bool isOemBytes(std::string_view bytes) noexcept;

// Letter by letter through two parallel lists of 72 characters: the Russian
// and Ukrainian letters, and the 1251 view of their 866 bytes. `reverse`
// false turns the 1251 view back into the letters (each character is looked
// up by its first position in the view list); true produces the view.
// Characters in neither list pass unchanged.
std::u16string Convert_OEM_to_Win(std::u16string_view text, bool reverse);
std::u16string Convert_OEM_to_Win(FailureRecorder& recorder, std::u16string_view text,
                                  bool reverse);

}  // namespace tolvaran
