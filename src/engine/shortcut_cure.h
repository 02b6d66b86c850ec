#pragma once
// The cure of one shortcut file: find out what adware did to it (rule code),
// decide what it must point to (recovering the target when needed), and have
// it rewritten, renamed or deleted, with every step in the report.
#include <string>
#include <string_view>

#include "engine/argument_analysis.h"
#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "engine/browser_installs.h"
#include "engine/cure_state.h"
#include "engine/save_lnk.h"
#include "engine/target_recovery.h"
#include "fileops/file_backup.h"
#include "fileops/file_deletion.h"
#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "report/report_log.h"
#include "shortcut/lnk_record.h"
#include "shortcut/shortcut_reader.h"
#include "support/failure.h"
#include "support/reg_exp.h"
#include "system/os_info.h"
#include "system/translation.h"

namespace tolvaran {

// A script named as if it were a program ("chrome.exe.bat").
inline constexpr std::u16string_view kDoubleExtensionPattern = u"\\.exe\\.(bat|cmd|vbs|js|jse)$";

// How a shortcut reached the cure: named (listed, dropped, on the command
// line), or met while walking a folder handed over whole.
enum class ShortcutSource { kListed, kFolderWalk };

// The parts of the program a cure works with.
struct ShortcutCureParts {
  FileDeletion& deletion;
  FileBackup& backup;
  ShortcutReader& reader;
  BrowserIdentification& identification;
  BrowserDatabase& database;
  BrowserInstalls& installs;
  ArgumentAnalysis& analysis;
  TargetRecovery& recovery;
  ShortcutWriter& writer;
  modFile& files;
  const clsOSInfo& os;
  WriteLog& log;
  const Translation& messages;
};

class ShortcutCure {
 public:
  ShortcutCure(const platform::Ports& ports, ShortcutCureParts parts, CureState& state,
               const CureFolders& folders, FailureRecorder& recorder);
  ShortcutCure(const ShortcutCure&) = delete;
  ShortcutCure& operator=(const ShortcutCure&) = delete;

  // Cures the shortcut at `path`, once per run. `line` is the trimmed list
  // line that named it (empty for dropped, command-line and folder files):
  // the last place an executable is looked for.
  void FixLNK(std::u16string_view path, std::u16string_view line,
              ShortcutSource source = ShortcutSource::kListed);

 private:
  struct Work;
  // The steps of FixLNK.
  // The shortcut at `path` into work.L, and whether reading it failed.
  void read(Work& work, std::u16string_view path);
  static void derive(LnkRecord& record);
  void handleLookAlike(Work& work);
  void diagnose(Work& work, std::u16string_view line);
  void decideAndAct(Work& work);
  // NewTarget; false when the shortcut needs no rewrite (deleted, left as
  // it is, or reported).
  bool chooseTarget(Work& work);
  // The recovered program, or the helper beside it when the shortcut
  // started a helper (a web app, a private window); empty when that helper
  // is not there.
  std::u16string helperBeside(const Work& work, const std::u16string& recovered);
  std::u16string acceptedCandidate(const Work& work);
  void chooseArguments(Work& work);
  // Deletes the old file and saves the record anew (restoring the backup
  // when the save fails).
  void rewrite(Work& work);
  void keepUnknownInstall(Work& work);
  // One line for a shortcut that stays as it is: `message`, or the
  // attributes removed from it.
  void leaveAsItIs(Work& work, Msg message);
  // A script host where Windows keeps it, given nothing a hijack gives.
  bool isHostsOwnShortcut(const LnkRecord& record);
  void deleteUnrecovered(Work& work);
  void restore(const std::u16string& path);
  // TestPattern with a pattern compiled once: the diagnosis runs for every
  // shortcut, and compiling costs more than matching a path.
  bool matches(const RegExp& pattern, std::u16string_view text);
  void reportAttributes(std::u16string_view proper, bool hidden, bool system, bool cleared);

  platform::Ports ports_;
  ShortcutCureParts parts_;
  CureState& state_;
  const CureFolders& folders_;
  FailureRecorder& recorder_;
  RegExp doubleExtension_{kDoubleExtensionPattern};
};

}  // namespace tolvaran
