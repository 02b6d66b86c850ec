// Plants files, folders and shortcuts inside a Wine prefix through Wine's own
// calls, so the shortcuts are exactly what Wine's shell writes and reads.
// usage: plant_shortcuts DESCRIPTION.txt   (UTF-8, one tab-separated line each)
//   dir   PATH
//   copy  PATH  SOURCE                       (parent folders are created)
//   lnk   PATH  target=T args=A icon=I iconIndex=N dir=W show=N desc=D hotkey=N
//   attr  PATH  LETTERS                      (R H S A N; sets exactly these)
//   storeapp  PATH  APP-ID                   (a Store app's shortcut, written from the
//                                             project's own codec: Wine's shell cannot make one)
// Exit code: the number of lines that failed (each also named on stderr).
#include <string>

#include "platform/win32/win32_files.h"
#include "platform/scoped_file.h"
#include "platform/win32/win32_shell_link.h"
#include "platform/win32/win32_system.h"
#include "simrun/machine_description.h"
#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

namespace {

std::u16string parentOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? std::u16string()
                                            : std::u16string(path.substr(0, slash));
}

std::int32_t number(std::u16string_view text) {
  return static_cast<std::int32_t>(std::stol(utf16ToUtf8(text)));
}

bool plantShortcut(platform::ShellLinks& links, platform::Files& files, std::u16string_view path,
                   const Fields& fields) {
  if (!ensureFolder(files, parentOf(path))) return false;
  auto created = links.createShellLink();
  if (created.failed() || !created.value) return false;
  platform::ShellLink& link = *created.value;
  // SetPath answers S_FALSE for a target that does not exist; the shortcut
  // is still made, which is what a planted "target missing" case needs.
  if (fields.has(u"target") && link.setPath(fields.get(u"target")).failed()) return false;
  if (fields.has(u"args") && link.setArguments(fields.get(u"args")).failed()) return false;
  if (fields.has(u"dir") && link.setWorkingDirectory(fields.get(u"dir")).failed()) return false;
  if (fields.has(u"icon")) {
    const std::int32_t index = fields.has(u"iconIndex") ? number(fields.get(u"iconIndex")) : 0;
    if (link.setIconLocation(fields.get(u"icon"), index).failed()) return false;
  }
  if (fields.has(u"show") && link.setShowCmd(number(fields.get(u"show"))).failed()) return false;
  if (fields.has(u"desc") && link.setDescription(fields.get(u"desc")).failed()) return false;
  if (fields.has(u"hotkey") &&
      link.setHotkey(static_cast<std::uint16_t>(number(fields.get(u"hotkey")))).failed())
    return false;
  return link.save(path, true).succeeded();
}

bool plantStoreApp(platform::Files& files, std::u16string_view path, std::u16string_view appId) {
  if (!ensureFolder(files, parentOf(path))) return false;
  simrun::ShortcutFields fields;
  fields.storeApp = appId;
  platform::win32::Win32System system;
  const std::string bytes = simrun::shortcutBytes(fields, system);
  const auto created = files.createFile(path, platform::access::kGenericWrite, platform::share::kNone,
                                        platform::Disposition::kCreateAlways);
  if (!created.ok()) return false;
  const platform::ScopedFile file(files, created.value);
  const auto written = files.writeFile(file.get(), std::as_bytes(std::span(bytes)));
  return written.ok() && written.value == bytes.size();
}

bool plantLine(platform::ShellLinks& links, platform::Files& files,
               const std::vector<std::u16string>& parts) {
  if (parts.size() < 2 || parts[1].empty()) return false;
  const std::u16string& verb = parts[0];
  const std::u16string& path = parts[1];
  if (verb == u"dir") return ensureFolder(files, path);
  if (verb == u"copy") {
    return parts.size() >= 3 && ensureFolder(files, parentOf(path)) &&
           files.copyFile(parts[2], path, false).ok();
  }
  if (verb == u"attr") {
    return parts.size() >= 3 && files.setFileAttributes(path, attributesFromLetters(parts[2])).ok();
  }
  if (verb == u"lnk") return plantShortcut(links, files, path, parseFields(parts, 2));
  if (verb == u"storeapp") return parts.size() >= 3 && plantStoreApp(files, path, parts[2]);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    printError(u"usage: plant_shortcuts DESCRIPTION.txt");
    return 100;
  }
  std::vector<std::u16string> lines;
  if (!readLines(argv[1], lines)) {
    printError(u"cannot read " + utf8ToUtf16(argv[1]));
    return 100;
  }
  platform::win32::Win32Files files;
  platform::win32::Win32ShellLinks links;
  int failed = 0;
  for (const auto& line : lines) {
    bool ok = false;
    try {
      ok = plantLine(links, files, splitTabs(line));
    } catch (const std::exception&) {
      ok = false;  // a malformed number in the description
    }
    if (!ok) {
      printError(u"failed: " + line);
      ++failed;
    }
  }
  return failed;
}
