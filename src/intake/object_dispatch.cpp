#include "intake/object_dispatch.h"

#include <algorithm>
#include <array>
#include <vector>

#include "intake/device_name.h"
#include "intake/list_parser.h"
#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {
namespace {

constexpr std::array<std::u16string_view, 8> kCurableKinds = {
    u"LNK", u"LOG", u"TXT", u"URL", u"ICO", u"APPREF-MS", u"APPLICATION", u"WEBSITE"};
// What adware plants beside a shortcut and the cure deletes outright.
constexpr std::array<std::u16string_view, 5> kDeletableKinds = {u"URL", u"ICO", u"APPREF-MS",
                                                                u"APPLICATION", u"WEBSITE"};

bool isDeletableKind(std::u16string_view kind) {
  for (const std::u16string_view deletable : kDeletableKinds) {
    if (kind == deletable) return true;
  }
  return false;
}

bool isInternetShortcut(std::u16string_view kind) {
  return kind == u"URL" || kind == u"WEBSITE";
}

// Why a planted file of this kind was deleted, for its "[DEL ]" line.
Msg removalReason(std::u16string_view kind) {
  if (isInternetShortcut(kind)) return Msg::kInternetShortcutRemoved;
  if (kind == u"ICO") return Msg::kIconRemoved;
  return Msg::kApplicationReferenceRemoved;
}

// Longer than any address a browser accepts.
constexpr std::uint32_t kAddressBufferChars = 32768;

// What a folder walk skips: read-only, hidden and system files (the walk
// skips sparse files and reparse points by itself).
constexpr std::uint32_t kFolderWalkExclusions =
    platform::attr::kReadOnly | platform::attr::kHidden | platform::attr::kSystem;

// The folder with one backslash after it, for the paths of its entries. A
// drive root ("C:\") has it already; a second one would make "\\?\" forms
// invalid.
std::u16string entryBase(std::u16string_view folder) {
  std::u16string base(folder);
  if (!base.ends_with(u'\\')) base += u'\\';
  return base;
}

}  // namespace

// A kind is told by the file systems' name comparison, as Windows tells it
// (an ASCII comparison for these names): the case folding would take
// "notes.ln\u212A" (KELVIN SIGN) for a shortcut and delete an unrelated file.
std::u16string CheckValidExtension(std::u16string_view path) {
  for (const std::u16string_view kind : kCurableKinds) {
    if (path.size() <= kind.size() || path[path.size() - kind.size() - 1] != u'.') continue;
    if (endsWithFileNameNoCase(path, kind)) return std::u16string(kind);
  }
  return {};
}

bool ObjectDispatch::CureObject(std::u16string_view path, bool topLevel, std::u16string_view line) {
  return cureObject(path, topLevel, line, ShortcutSource::kListed);
}

bool ObjectDispatch::cureObject(std::u16string_view path, bool topLevel, std::u16string_view line,
                                ShortcutSource source) {
  return guarded(
      recorder_, false,
      [&] {
        // Reading a shortcut from the console would wait for its input.
        if (namesDosDevice(path)) return false;
        if (parts_.dir.IsFolder(path)) return cureFolder(path);
        // A missing file is still dispatched (the cure reports it), but not
        // counted as handled.
        const bool exists = parts_.files.isFileExists(path);
        const std::u16string kind = CheckValidExtension(path);
        if (kind.empty()) return false;
        if (kind == u"LNK") {
          parts_.engine.FixLNK(path, line, source);
        } else if (kind == u"LOG" || kind == u"TXT") {
          if (topLevel) {
            if (parts_.files.GetFileSize(path) == 0) {
              parts_.ui.messageBox(parts_.messages.msg(Msg::kEmptyListFile), parts_.caption,
                                   platform::mb::kOk | platform::mb::kIconWarning);
              return false;
            }
            cureListFile(path);
          }
        } else if (isDeletableKind(kind)) {
          if (source == ShortcutSource::kFolderWalk) {
            RemoveWalkedObject(path, kind);
          } else {
            DeleteListedObject(path, kind);
          }
        }
        return exists;
      },
      [] { return ErrorContext(u"Parser.CureObject"); });
}

bool ObjectDispatch::cureFolder(std::u16string_view folder) {
  // The listing is taken whole before anything is cured: the cure renames
  // and deletes files in this very folder, and uses the folder helper's one
  // open search itself. Hidden and system shortcuts are walked too: hiding a
  // hijacked shortcut is what adware does, and the cure shows it again.
  const std::u16string base = entryBase(folder);
  std::vector<std::u16string> visible;
  for (std::u16string name = parts_.dir.DirW(base + u'*', kFolderWalkExclusions, false);
       !name.empty(); name = parts_.dir.DirW()) {
    visible.push_back(std::move(name));
  }
  std::vector<std::u16string> names;
  for (std::u16string name = parts_.dir.DirW(base + u'*', platform::attr::kReadOnly, false);
       !name.empty(); name = parts_.dir.DirW()) {
    const bool shortcut = CheckValidExtension(name) == u"LNK";
    if (shortcut || std::find(visible.begin(), visible.end(), name) != visible.end()) {
      names.push_back(std::move(name));
    }
  }
  bool handled = false;
  for (const std::u16string& name : names) {
    if (cureObject(base + name, false, u"", ShortcutSource::kFolderWalk)) handled = true;
  }
  return handled;
}

void ObjectDispatch::cureListFile(std::u16string_view path) {
  parts_.guard.CompareInputHashes(path, true);
  parts_.lists.cureListFile(path);
}

void ObjectDispatch::DeleteListedObject(std::u16string_view path, std::u16string_view kind) {
  guardedStep(
      recorder_,
      [&] {
        ++parts_.log.Statistics.Total;
        if (parts_.engine.deletion().DeleteFileEx(path, u"", u"", 0, false) != 0) return;
        parts_.log.reportLine(&RunStatistics::Deleted, status::kDeleted, path, u"", u"",
                              parts_.messages.msg(removalReason(kind)), u"", u"",
                              parts_.engine.state().codes.ListSelector, false);
      },
      [] { return ErrorContext(u"Parser.DeleteListedObject"); });
}

void ObjectDispatch::RemoveWalkedObject(std::u16string_view path, std::u16string_view kind) {
  guardedStep(
      recorder_,
      [&] {
        ++parts_.log.Statistics.Total;
        const auto selector = parts_.engine.state().codes.ListSelector;
        if (!isInternetShortcut(kind) || !containsWebAddress(addressOf(path))) {
          parts_.log.reportLine(
              &RunStatistics::Warnings, status::kWarning, path, u"", u"",
              parts_.messages.msg(isInternetShortcut(kind) ? Msg::kNoWebAddressLeftAlone
                                                           : Msg::kUnlistedObjectLeftAlone),
              u"", u"", selector, false);
          return;
        }
        if (parts_.engine.deletion().DeleteFileEx(path, u"", u"", 0, true) != 0) return;
        parts_.log.reportLine(&RunStatistics::Deleted, status::kDeleted, path, u"", u"",
                              parts_.messages.msg(Msg::kWebLinkRecycled), u"", u"", selector,
                              false);
      },
      [] { return ErrorContext(u"Parser.RemoveWalkedObject"); });
}

std::u16string ObjectDispatch::addressOf(std::u16string_view path) {
  // An internet shortcut is a profile file: Windows reads its address so.
  const auto address = parts_.profile.getPrivateProfileString(u"InternetShortcut", u"URL", u"",
                                                              kAddressBufferChars, path);
  return address.value;
}

}  // namespace tolvaran
