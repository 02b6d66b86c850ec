#pragma once
// Argument and script analysis: finds an existing executable inside a
// hijacked shortcut's arguments or in the script it starts, reads scripts in
// the encodings adware writes them in, and the small path helpers built on
// the system's path calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/reg_exp_objects.h"
#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "support/failure.h"

namespace tolvaran {

// GetBAT_FirstLine reads at most this many bytes of a script. Launcher
// scripts are a few kilobytes (percent-sign filler included) and the callers
// use only the first executable path in the text; the cap keeps a huge file
// (a multi-gigabyte "script" is still a valid name to give) from exhausting
// a 32-bit process: its bytes, their UTF-16 text and a copy fit in 20 MiB.
inline constexpr std::uint64_t kScriptReadLimit = 4u * 1024u * 1024u;

// The number of "%" characters in the text.
std::size_t CountOfPercent(std::u16string_view text) noexcept;

// Drops every pair of "%" characters together with what lies between them;
// an unpaired last "%" and the text after it stay as they are.
std::u16string removePercentPieces(std::u16string_view text);

// An existing executable found in a text, and where its mention ends: what
// follows it there is what the text passes on to it.
struct ExecutableInText {
  std::u16string path;  // the long form; empty when none was found
  std::size_t end = 0;  // UTF-16 units from the start of the text
};

class ArgumentAnalysis {
 public:
  ArgumentAnalysis(const platform::Ports& ports, modFile& fileHelpers, FailureRecorder& recorder,
                   RegExpObjects& patterns);
  ArgumentAnalysis(const ArgumentAnalysis&) = delete;
  ArgumentAnalysis& operator=(const ArgumentAnalysis&) = delete;

  // True when `pattern` matches the text (the general object, case-
  // insensitive). A pattern that does not compile or a runaway match is
  // recorded and gives false.
  bool TestPattern(std::u16string_view text, std::u16string_view pattern);

  // The long form of the first executable (or document) path in the text
  // when that file exists; otherwise of the longest existing shorter path at
  // the same start (shorterMatchesAtStart, the first 32 of them); empty
  // when none exists.
  std::u16string ParseEXEfromArg_1(std::u16string_view text);
  // The same, with the position after the path's mention (its closing quote
  // included).
  ExecutableInText findExecutable(std::u16string_view text);

  // The decoded text of a script: the file named by the first script path in
  // `text` (isArgs true) or the file `text` itself. Empty when there is no
  // such path, the file is missing or empty, or cannot be read (recorded).
  // The bytes are decoded by decodeTextBytes (byte-order mark, UTF-8, DOS
  // Cyrillic, ANSI); UTF-16 text ends at its first NUL. When the first 100
  // characters hold 20 or more "%", the %...% pieces go. The whole text is
  // returned, not just its first line.
  std::u16string GetBAT_FirstLine(std::u16string_view text, bool isArgs);

  // The program path in a registry command: the quoted part when the value
  // begins with a quote (a missing closing quote is recorded and gives
  // empty text), otherwise the part before the first space unless the value
  // ends with ".exe".
  std::u16string ClearPathFromRegistry(std::u16string_view value);

  // The absolute form of the path; the path itself when the system cannot
  // give one within 32767 characters.
  std::u16string GetFullPath(std::u16string_view path);
  // The long (not 8.3) form of the path; the path itself when the system
  // cannot give one within 32767 characters.
  std::u16string GetLongPath(std::u16string_view path);
  // %NAME% references expanded; the text itself when the expansion fails or
  // needs more than 260 characters.
  std::u16string EnvironW(std::u16string_view text);

 private:
  std::u16string decodeScript(const std::string& bytes);

  platform::Files& files_;
  platform::System& system_;
  modFile& fileHelpers_;
  FailureRecorder& recorder_;
  RegExpObjects& patterns_;
};

}  // namespace tolvaran
