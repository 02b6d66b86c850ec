#pragma once
// Byte-exact comparison with files kept under tests/golden/. Setting
// TOLVARAN_UPDATE_GOLDEN=1 rewrites the files from the actual output
// instead; review the diff before committing it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tolvaran::testing {

// Whether this run rewrites expectations instead of checking them.
bool updatingGolden();

std::string goldenPath(std::string_view name);

::testing::AssertionResult matchesGolden(std::string_view name, std::string_view actual);

// A UTF-16LE text file: compared as bytes, and kept beside it as a UTF-8
// copy (`name` + ".utf8.txt") so that a change reads as a diff.
::testing::AssertionResult matchesGoldenUtf16(std::string_view name, std::string_view actual);

}  // namespace tolvaran::testing
