// The least any cure can do for a hijacked shortcut, as the yardstick for the
// program's own speed: per shortcut, load it through IShellLinkW, clear its
// arguments, delete the file and save it again.
// usage: floor_cure LIST.txt   (UTF-8; each line a folder searched for .lnk)
// Prints the number of shortcuts saved and the milliseconds taken.
#include <chrono>
#include <string>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_shell_link.h"
#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

int main(int argc, char** argv) {
  if (argc != 2) {
    printError(u"usage: floor_cure LIST.txt");
    return 100;
  }
  std::vector<std::u16string> folders;
  if (!readLines(argv[1], folders)) return 100;
  platform::win32::Win32Files files;
  platform::win32::Win32ShellLinks links;
  const auto start = std::chrono::steady_clock::now();
  int saved = 0;
  int failed = 0;
  auto created = links.createShellLink();
  if (created.failed() || !created.value) return 100;
  platform::ShellLink& link = *created.value;
  for (const auto& folder : folders) {
    for (const auto& path : findFiles(files, folder, u".lnk")) {
      const bool ok = link.load(path, platform::shell_link::kStgmRead).succeeded() &&
                      link.getPath(260, platform::shell_link::kSlgpRawPath).succeeded() &&
                      link.setArguments(u"").succeeded() && files.deleteFile(path).ok() &&
                      link.save(path, true).succeeded();
      ok ? ++saved : ++failed;
    }
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  printLine(u"saved=" + utf8ToUtf16(std::to_string(saved)) + u"\tfailed=" +
            utf8ToUtf16(std::to_string(failed)) + u"\tms=" + utf8ToUtf16(std::to_string(ms)));
  return failed == 0 ? 0 : 1;
}
