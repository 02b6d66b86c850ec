#pragma once
// The program's command line as the start-up run reads it: the argument
// text after the program's own path, split into arguments, and the four
// language switches. Pure functions, so that every shape of command line is
// tested without starting a process.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

// The command line a process was started with. `unicode` is the system's
// Unicode command line, program path first; when it cannot be had,
// `startupArguments` is what the process start-up reported as its
// arguments.
struct ProcessCommandLine {
  std::optional<std::u16string> unicode;
  std::u16string startupArguments;
};

// Everything after the program path, trimmed of spaces. A line that starts
// with a double quote has its path end at the next double quote; otherwise
// the path ends at the first space. A path with nothing after it leaves no
// arguments.
std::u16string GetCommandLineArgs(const ProcessCommandLine& commandLine);

// The arguments of an argument text, in order. Arguments are separated by
// spaces; one that begins with a double quote runs on to the first double
// quote that ends a space-separated piece, spaces inside kept as written.
// Every double quote is then removed.
std::vector<std::u16string> SplitArgs(std::u16string_view text);

// The language a switch asks for ("-RU", "-EN", "-FR", "-DE", any letter
// case, quotes around it ignored): 1049, 1033, 2060 or 2055; nothing for any
// other argument, which names a file or a folder.
std::optional<std::uint32_t> languageSwitch(std::u16string_view argument);

}  // namespace tolvaran
