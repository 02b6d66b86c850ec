#pragma once
// Routes every path that reaches the engine by what it names: a folder is
// walked, a shortcut is cured, the internet shortcuts, application
// references and icons adware plants are deleted, and a list file given
// directly is read as a list.
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "fileops/dir_wide_char.h"
#include "fileops/mod_file.h"
#include "intake/repeat_guard.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "report/report_log.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

class ListParser;

// The kind of object a path names: its extension upper-cased, without the
// dot, when it is one of LNK, LOG, TXT, URL, ICO, APPREF-MS, APPLICATION and
// WEBSITE in any ASCII letter case, as a file system compares names; empty
// otherwise (".lnk.bak", ".lnk ", ".ln\u212A" with KELVIN SIGN).
[[nodiscard]] std::u16string CheckValidExtension(std::u16string_view path);

// What the dispatcher works with.
struct ObjectDispatchParts {
  platform::Ui& ui;
  platform::Profile& profile;  // reads an internet shortcut's address
  clsDirWideChar& dir;
  modFile& files;
  Engine& engine;
  WriteLog& log;
  const Translation& messages;
  RepeatGuard& guard;
  ListParser& lists;
  std::u16string caption;  // the title of the program's message boxes
};

class ObjectDispatch {
 public:
  ObjectDispatch(ObjectDispatchParts parts, FailureRecorder& recorder)
      : parts_(std::move(parts)), recorder_(recorder) {}
  ObjectDispatch(const ObjectDispatch&) = delete;
  ObjectDispatch& operator=(const ObjectDispatch&) = delete;

  // Handles the object at `path`; false when it was not handled: a missing
  // file, an extension that is not curable, an empty folder, an empty list
  // file or a device name ("C:\NUL.lnk", never touched). `topLevel` is true
  // for a path given on the command line or dropped: only then is a .log or
  // .txt file opened as a list (after the repeat guard, as a scan report
  // first, else as a plain list), so a list never opens a list. `line` is the
  // list line that named the path, empty otherwise; the shortcut cure
  // searches it for a program as a last resort. A folder's writable files
  // directly inside it (its shortcuts whether hidden or not, its other files
  // when visible) are handled as found by a walk, with no line; sub-folders
  // are not entered.
  bool CureObject(std::u16string_view path, bool topLevel, std::u16string_view line);

  // Deletes a planted file of `kind` (see CheckValidExtension) for good,
  // with the deletion's retries and unlocking, and reports it as deleted
  // with the reason; a failure is reported by the deletion itself.
  void DeleteListedObject(std::u16string_view path, std::u16string_view kind);

  // What a folder walk does with a planted-looking file nobody listed: an
  // internet shortcut whose address is a web address goes to the recycle bin
  // (backed up first, as every deletion) with a "[DEL ]" line; anything else
  // (an icon, an application reference, an internet shortcut to "steam://")
  // may be the user's own and gets a "[WARN]" line saying it was left alone.
  void RemoveWalkedObject(std::u16string_view path, std::u16string_view kind);

 private:
  bool cureObject(std::u16string_view path, bool topLevel, std::u16string_view line,
                  ShortcutSource source);
  bool cureFolder(std::u16string_view folder);
  void cureListFile(std::u16string_view path);
  std::u16string addressOf(std::u16string_view path);

  ObjectDispatchParts parts_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
