// Which spellings name the same file: the absolute form, then the file
// systems' upper case, unit by unit (not the case folding).
#include "fileops/path_identity.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace tolvaran {
namespace {

TEST(PathIdentityTest, SpellingsOfOneFileAndLookalikesOfIt) {
  struct Case {
    const char* name;
    std::u16string_view a;
    std::u16string_view b;
    bool same;
  } cases[] = {
      {"letter case", u"C:\\Users\\Ann\\Tool.lnk", u"c:\\USERS\\ann\\TOOL.LNK", true},
      {"slashes, dots, a climb", u"C:\\Users\\Ann\\Tool.lnk", u"C:/Users/x/../Ann/./Tool.lnk. ",
       true},
      {"relative to C:'s root", u"C:\\Tool.lnk", u"\\tool.lnk", true},
      {"Cyrillic", u"C:\\\u0410\u043D\u044F\\\u0444.lnk", u"C:\\\u0430\u043D\u044F\\\u0424.LNK",
       true},
      {"KELVIN SIGN", u"C:\\Tool.lnk", u"C:\\Tool.ln\u212A", false},
      {"LONG S", u"C:\\page.website", u"C:\\page.web\u017Fite", false},
      {"final sigma", u"C:\\\u03C3.lnk", u"C:\\\u03C2.lnk", false},
      {"capital sharp s", u"C:\\\u00DF.lnk", u"C:\\\u1E9E.lnk", false},
      {"dotless i", u"C:\\i.lnk", u"C:\\\u0131.lnk", false},
      {"outside the BMP", u"C:\\\U00010400.lnk", u"C:\\\U00010428.lnk", false},
      {"the literal form is kept", u"\\\\?\\C:\\Tool.lnk", u"C:\\Tool.lnk", false},
      {"another file", u"C:\\Tool.lnk", u"C:\\Tool2.lnk", false},
  };
  platform::sim::SimMachine machine;
  for (const Case& c : cases) {
    EXPECT_EQ(pathIdentity(machine.files(), c.a) == pathIdentity(machine.files(), c.b), c.same)
        << c.name;
  }
  // A path GetFullPathName refuses is taken as written, upper-cased.
  EXPECT_EQ(pathIdentity(machine.files(), u"\\\\server").text(), u"\\\\SERVER");
}

}  // namespace
}  // namespace tolvaran
