// FindLNK rules out most space removals without trying them; whatever it
// rules out must be a candidate that does not exist. Compared here with
// trying every candidate, over awkward names on the simulated machine.
#include "intake/find_lnk.h"

#include <gtest/gtest.h>

#include <random>

#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;

// Every candidate in order, each tested.
std::u16string findByTryingAll(modFile& files, std::u16string_view listed) {
  for (const std::u16string_view suffix : kFindLnkSuffixes) {
    const std::u16string candidate = std::u16string(listed) + std::u16string(suffix);
    if (files.isFileExists(candidate)) return candidate;
  }
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i] != u' ') continue;
    std::u16string candidate(listed);
    candidate.erase(i, 1);
    if (files.isFileExists(candidate)) return candidate;
  }
  return {};
}

TEST(FindLnkTest, LongNamesAndClimbingPathsAreFoundAsByTryingAll) {
  const std::u16string name255(255, u'n');
  const std::u16string spaced = name255.substr(0, 100) + u" " + name255.substr(100);  // 256
  struct Case {
    const char* name;
    std::u16string file;
    std::u16string listed;
  } cases[] = {
      {"a 256-unit name loses its space", u"C:\\L\\" + name255, u"C:\\L\\" + spaced},
      {"a 256-unit folder name", u"C:\\L\\" + name255 + u"\\x.lnk",
       u"C:\\L\\" + spaced + u"\\x.lnk"},
      {"too long even without the space", u"C:\\L\\x.lnk", u"C:\\L\\" + spaced + u"n\\..\\x.lnk"},
      {"a missing folder climbed out of", u"C:\\L\\ab.lnk", u"C:\\L\\gone\\..\\a b.lnk"},
      {"dots a space apart become ..", u"C:\\L\\x.lnk", u"C:\\L\\gone\\. .\\x.lnk"},
      {"a folder with a trailing dot", u"C:\\L\\d\\ab.lnk", u"C:\\L\\d.\\a b.lnk"},
      {"a folder with a trailing space", u"C:\\L\\d \\ab.lnk", u"C:\\L\\d \\a b.lnk"},
      {"forward slashes", u"C:\\L\\d\\ab.lnk", u"C:/L/d/a b.lnk"},
      {"a separator run", u"C:\\L\\d\\ab.lnk", u"C:\\L\\d\\\\a b.lnk"},
      {"a space in the drive", u"C:\\L\\x.lnk", u"C :\\L\\x.lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IntakeRig rig;
    ASSERT_TRUE(rig.machine.files().addFile(c.file, "x"));
    const std::u16string expected = findByTryingAll(rig.files, c.listed);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(rig.intake.finder().FindLNK(c.listed), expected);
  }
}

TEST(FindLnkTest, RandomNamesAreFoundAsByTryingAll) {
  IntakeRig rig;
  std::mt19937 random(20240607);
  constexpr std::u16string_view kAlphabet = u"ab .\\/";
  const auto randomPath = [&](std::u16string_view root) {
    std::u16string path(root);
    const int length = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) path += kAlphabet[random() % kAlphabet.size()];
    return path;
  };
  int found = 0;
  for (int round = 0; round < 200; ++round) {
    const std::u16string root = u"C:\\R" + toDecimal(round) + u"\\";
    for (int i = 0; i < 4; ++i) (void)rig.machine.files().addFile(randomPath(root), "x");
    for (int i = 0; i < 6; ++i) {
      const std::u16string listed = randomPath(root);
      const std::u16string expected = findByTryingAll(rig.files, listed);
      found += expected.empty() ? 0 : 1;
      ASSERT_EQ(rig.intake.finder().FindLNK(listed), expected) << utf16ToUtf8(listed);
    }
  }
  EXPECT_GT(found, 30);  // the comparison saw finds, not only misses
}

}  // namespace
}  // namespace tolvaran
