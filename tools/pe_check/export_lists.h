#pragma once
// The functions each system DLL exports on the oldest Windows a program must
// load on. The loader refuses a program that imports a function its system
// DLL lacks, before the program runs a single line, so a program that
// promises an old Windows is checked against that Windows' own lists.
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pe_check/pe_image.h"

namespace tolvaran::pe {

class ExportLists {
 public:
  // One DLL's list: a function name per line; blank lines and lines that
  // start with '#' are no names. `dll` is compared without regard to ASCII
  // case; a second list for the same DLL adds to the first.
  void add(std::string_view dll, std::string_view listText);

  // Every function of the image's import table the lists do not hold, every
  // import by ordinal (it has no name to look up) and every imported DLL
  // without a list. Empty when the program loads on that Windows.
  [[nodiscard]] std::vector<std::string> missing(const Image& image) const;

 private:
  std::map<std::string, std::set<std::string, std::less<>>, std::less<>> byDll_;
};

}  // namespace tolvaran::pe
