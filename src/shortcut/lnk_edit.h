#pragma once
// Changing a shortcut the way the shell does when one of its properties is
// set: every structure that carries the property, and every flag that
// announces it, changes with it.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_file.h"

namespace tolvaran::lnk {

// Sets a counted string; empty text removes it. A text the code page cannot
// hold switches a code-page shortcut to UTF-16 strings.
void setString(LnkFile& file, StringField field, std::u16string_view text, const AnsiCodec& codec);

void setDescription(LnkFile& file, std::u16string_view text, const AnsiCodec& codec);
void setArguments(LnkFile& file, std::u16string_view text, const AnsiCodec& codec);
void setWorkingDirectory(LnkFile& file, std::u16string_view text, const AnsiCodec& codec);

// The icon string and index. A location that names an environment variable
// ("%SystemRoot%\...") is also kept, unexpanded, in an IconEnvironment
// block; any other location removes that block.
void setIconLocation(LnkFile& file, std::u16string_view location, std::int32_t index,
                     const AnsiCodec& codec);

void setHotKey(LnkFile& file, std::uint16_t hotKey);
void setShowCommand(LnkFile& file, std::uint32_t showCommand);

// Points the shortcut at `path`: a fresh LinkInfo (keeping the old volume
// description for a local path), and no part left that describes the old
// target: its ID list, relative path, tracking data, folder blocks,
// alternative ID list, environment target and advertised (Darwin) target go.
// An empty path removes the target altogether.
void setTargetPath(LnkFile& file, std::u16string_view path, const AnsiCodec& codec);

// A target written with environment variables: `expanded` becomes the
// target as above, and `unexpanded` goes into the EnvironmentVariables
// block, in the code page and in UTF-16, with HasExpString set.
void setEnvironmentTarget(LnkFile& file, std::u16string_view unexpanded,
                          std::u16string_view expanded, const AnsiCodec& codec);

// Removes every block with this signature.
void removeBlocks(LnkFile& file, std::uint32_t signature);
// Replaces the first block with the block's signature, or inserts it after
// the blocks whose signatures are listed (at the front when none is there).
void putBlock(LnkFile& file, ExtraBlock block, std::initializer_list<std::uint32_t> after = {});

}  // namespace tolvaran::lnk
