// Reads shortcuts back through Wine's shell and prints what it sees, one
// line per shortcut in the planter's own format (so a test can compare
// planted and cured lines directly):
//   lnk PATH target=T args=A icon=I iconIndex=N dir=W show=N desc=D attr=LETTERS
//   missing PATH            (no such file)
//   unreadable PATH hr=0x…  (IPersistFile::Load failed)
// usage: read_shortcuts LIST.txt   (UTF-8; a line is a .lnk path, or a folder
// whose .lnk files are read recursively)
#include <string>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_shell_link.h"
#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

namespace {

constexpr std::int32_t kBuffer = 1024;  // INFOTIPSIZE; arguments may be long

std::u16string decimal(std::int64_t value) {
  return utf8ToUtf16(std::to_string(value));
}

void printShortcut(platform::ShellLinks& links, platform::Files& files,
                   const std::u16string& path) {
  const auto attributes = files.getFileAttributes(path);
  if (!attributes.ok() || attributes.value == platform::kInvalidFileAttributes) {
    printLine(u"missing\t" + path);
    return;
  }
  auto created = links.createShellLink();
  if (created.failed() || !created.value) {
    printLine(u"unreadable\t" + path + u"\thr=" + hex(created.hr));
    return;
  }
  platform::ShellLink& link = *created.value;
  const auto loaded = link.load(path, platform::shell_link::kStgmRead);
  if (loaded.failed()) {
    printLine(u"unreadable\t" + path + u"\thr=" + hex(loaded.hr));
    return;
  }
  const auto target = link.getPath(kBuffer, platform::shell_link::kSlgpRawPath);
  const auto icon = link.getIconLocation(kBuffer);
  std::u16string line = u"lnk\t" + path;
  line += u"\ttarget=" + target.value;
  line += u"\targs=" + link.getArguments(kBuffer).value;
  line += u"\ticon=" + icon.value.path;
  line += u"\ticonIndex=" + decimal(icon.value.index);
  line += u"\tdir=" + link.getWorkingDirectory(kBuffer).value;
  line += u"\tshow=" + decimal(link.getShowCmd().value);
  line += u"\tdesc=" + link.getDescription(kBuffer).value;
  line += u"\tattr=" + lettersFromAttributes(attributes.value);
  printLine(line);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    printError(u"usage: read_shortcuts LIST.txt");
    return 100;
  }
  std::vector<std::u16string> lines;
  if (!readLines(argv[1], lines)) {
    printError(u"cannot read " + utf8ToUtf16(argv[1]));
    return 100;
  }
  platform::win32::Win32Files files;
  platform::win32::Win32ShellLinks links;
  for (const auto& line : lines) {
    const auto attributes = files.getFileAttributes(line);
    const bool folder = attributes.ok() && attributes.value != platform::kInvalidFileAttributes &&
                        (attributes.value & platform::attr::kDirectory) != 0;
    if (folder) {
      for (const auto& path : findFiles(files, line, u".lnk")) printShortcut(links, files, path);
    } else {
      printShortcut(links, files, line);
    }
  }
  return 0;
}
