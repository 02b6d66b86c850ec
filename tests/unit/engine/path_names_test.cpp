// The path pieces: every quirk callers rely on, including the texts that
// have no backslash, no dot, or a dot only in a folder name.
#include "engine/path_names.h"

#include <gtest/gtest.h>

namespace tolvaran {
namespace {

struct PathCase {
  std::u16string_view path;
  std::u16string_view fileName;
  std::u16string_view pathName;
  std::u16string_view extension;
  std::u16string_view fileNameAndExt;
};

constexpr PathCase kPaths[] = {
    {u"C:\\a\\chrome.exe", u"chrome", u"C:\\a", u".EXE", u"chrome.exe"},
    {u"C:\\dir\\archive.tar.gz", u"archive.tar", u"C:\\dir", u".GZ", u"archive.tar.gz"},
    // A dot in a folder name is no extension of the file, but the
    // extension search looks at the whole text.
    {u"C:\\a.b\\file", u"file", u"C:\\a.b", u".B\\FILE", u"file"},
    {u"C:\\dir.x\\file", u"file", u"C:\\dir.x", u".X\\FILE", u"file"},
    {u".hidden", u"", u"", u".HIDDEN", u".hidden"},
    {u"C:\\a\\.hidden", u"", u"C:\\a", u".HIDDEN", u".hidden"},
    {u"plain", u"plain", u"", u"", u"plain"},
    {u"C:\\x", u"x", u"C:", u"", u"x"},
    {u"C:\\dir\\", u"", u"C:\\dir", u"", u""},
    {u"", u"", u"", u"", u""},
    {u"\\", u"", u"", u"", u""},
    {u"...", u"..", u"", u".", u"..."},
    {u"C:\\Users\\Пользователь\\Яндекс.lnk", u"Яндекс", u"C:\\Users\\Пользователь", u".LNK",
     u"Яндекс.lnk"},
};

TEST(PathNamesTest, SplitsEveryShapeOfPath) {
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(GetFileName(c.path), c.fileName);
    EXPECT_EQ(GetPathName(c.path), c.pathName);
    EXPECT_EQ(GetExtensionName(c.path), c.extension);
    EXPECT_EQ(GetFileNameAndExt(c.path), c.fileNameAndExt);
  }
}

TEST(PathNamesTest, BuildPathAddsABackslashOnlyWhereNoneIs) {
  EXPECT_EQ(BuildPath({u"C:\\dir", u"file"}), u"C:\\dir\\file");
  EXPECT_EQ(BuildPath({u"C:\\", u"file"}), u"C:\\file");
  EXPECT_EQ(BuildPath({u"C:\\dir", u"\\file"}), u"C:\\dir\\\\file");
  EXPECT_EQ(BuildPath({u"C:\\dir", u"sub", u"file.exe"}), u"C:\\dir\\sub\\file.exe");
  EXPECT_EQ(BuildPath({u"", u"file"}), u"file");
  EXPECT_EQ(BuildPath({u"only"}), u"only");
  EXPECT_EQ(BuildPath({}), u"");
}

TEST(PathNamesTest, UpperCaseCoversTheAlphabetsOfShortcutNames) {
  EXPECT_EQ(upperCase(u"abc.exe ÿàé"), u"ABC.EXE ŸÀÉ");
  EXPECT_EQ(upperCase(u"яндекс ёж ї"), u"ЯНДЕКС ЁЖ Ї");
  EXPECT_EQ(upperCase(u"ωσάό ąž"), u"ΩΣΆΌ ĄŽ");
  // Capitals, digits, marks and unpaired surrogates stay as they are.
  EXPECT_EQ(upperCase(u"ABC 123 Я \xD800"), u"ABC 123 Я \xD800");
  EXPECT_EQ(lowerCase(u"Google CHROME Яндекс"), u"google chrome яндекс");
}

}  // namespace
}  // namespace tolvaran
