#include "common/golden.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/text.h"

namespace tolvaran::testing {
namespace {

bool readFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The first differing byte, for a message that points at the change.
std::string firstDifference(std::string_view expected, std::string_view actual) {
  std::size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  std::ostringstream out;
  out << "first difference at byte " << i << " (expected " << expected.size() << " bytes, got "
      << actual.size() << ")\n  expected: " << expected.substr(i, 80)
      << "\n  actual:   " << actual.substr(i, 80);
  return out.str();
}

}  // namespace

bool updatingGolden() {
  const char* flag = std::getenv("TOLVARAN_UPDATE_GOLDEN");
  return flag != nullptr && std::string_view(flag) == "1";
}

std::string goldenPath(std::string_view name) {
  return std::string(TOLVARAN_SOURCE_DIR) + "/tests/golden/" + std::string(name);
}

::testing::AssertionResult matchesGolden(std::string_view name, std::string_view actual) {
  const auto path = goldenPath(name);
  if (updatingGolden()) {
    std::ofstream(path, std::ios::binary)
        .write(actual.data(), static_cast<std::streamsize>(actual.size()));
    return ::testing::AssertionSuccess() << "rewrote " << path;
  }
  std::string expected;
  if (!readFile(path, expected)) {
    return ::testing::AssertionFailure()
           << "missing golden file " << path << " (TOLVARAN_UPDATE_GOLDEN=1 writes it)";
  }
  if (expected == actual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << ": " << firstDifference(expected, actual);
}

::testing::AssertionResult matchesGoldenUtf16(std::string_view name, std::string_view actual) {
  auto bytes = matchesGolden(name, actual);
  if (!bytes) return bytes;
  const auto copy = utf16ToUtf8(utf16leToText(actual));
  return matchesGolden(std::string(name) + ".utf8.txt", copy);
}

}  // namespace tolvaran::testing
