#pragma once
// How Windows' CommandLineToArgvW splits a command line, as a pure function
// (checked against the real call by the contract tests):
//
// clang-format off
//   the first token, the program      -> up to the first space or tab; or, when it starts
//                                        with '"', up to the next '"' with no escapes (what
//                                        follows that quote starts the next token)
//   later tokens                      -> separated by runs of spaces and tabs outside quotes
//   2n backslashes + '"'              -> n backslashes; the quote opens or closes quoting
//   2n+1 backslashes + '"'            -> n backslashes and a literal '"'
//   backslashes not before a '"'      -> literal
//   '"' right after a closing '"'     -> a literal '"' when it is the third in a row, counted
//                                        from the opening one; a run of two quotes closes
//   text after an embedded NUL        -> ignored
// clang-format on
//
// An empty line is not split here: the call answers it with the program's
// own path.
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran::platform::sim {

std::vector<std::u16string> splitCommandLine(std::u16string_view line);

}  // namespace tolvaran::platform::sim
