#pragma once
// The entries of the language tables, by the three-digit number each table
// file gives them. Every text the user sees is one of these; code names the
// entry, never its number. The comments quote the English table.
namespace tolvaran {

enum class Msg : int {
  // The main window and its dialogs.
  kHint = 0,               // Paste the list of shortcuts here and click "Cure"
  kUnpackFromArchive = 1,  // The program cannot run from inside an archive. Shall I copy...
  kNoShortcutsHere = 2,    // No shortcuts found here, or the files no longer exist
  kSecondCopy = 3,         // The program is already running. Do you really want ...
  kEmptyList = 4,          // First paste a list of shortcuts, or drag and drop ... Download it now?
  kOperating = 5,          // Working...
  kReady = 6,              // Done. Attach the report to your forum post.
  kNothingFound = 7,       // Nothing to cure. The list you provided names no shortcuts. ...
  kSummaryTitle = 8,       // Statistics:
  kSummaryCured = 9,       // Cured:
  kSummaryDeleted = 10,    // Deleted:
  kSummaryRenamed = 11,    // Renamed:
  kSummaryOmitted = 12,    // Omitted:
  kSummaryBlocked = 13,    // Blocked:
  kSummaryWarnings = 14,   // Warnings:
  kSummaryErrors = 15,     // Errors:
  kPressOk = 16,           // Click OK. The folder with the report ... will open.
  kVersion = 17,           // Version
  kAbout = 18,             // A program that repairs shortcuts (mostly those of browsers) ...
  kNoReport = 19,          // No report has been created yet.
  kPasteButton = 20,       // Paste from clipboard
  kCureButton = 21,        // Cure
  kOpenLogButton = 22,     // Open report
  kAboutButton = 23,       // About
  kCredits = 24,           // The volunteers of the support forum (testing and bug reports)
  kStatusCaption = 25,     // Status
  kIdle = 26,              // Ready
  kAskRunAsAdminUser = 27,  // Warning! The program was started by a user with limited rights. ...
  kRelaunchFailed = 28,     // The program could not be restarted. Please log on as ...
  kAskElevate = 29,         // Warning! The program is running with limited privileges. ...

  // Result texts of the report's shortcut lines.
  kAlreadyCured = 30,            // (already cured)
  kExistsUnderName = 31,         // (already exists under the name:
  kCannotCreate = 32,            // (ERROR: cannot create a shortcut! Code:
  kCannotDelete = 33,            // (ERROR: cannot delete a shortcut! Code:
  kCannotRename = 34,            // (ERROR: cannot rename a shortcut! Code:
  kOk = 35,                      // (OK)
  kShortcutNotFound = 36,        // (shortcut was not found)
  kNotRecovered = 37,            // (target was not recovered)
  kHiddenRemoved = 38,           // (attribute hidden was removed)
  kSystemRemoved = 39,           // (attribute system was removed)
  kCannotRemoveAttributes = 40,  // (Cannot remove attributes)
  kOriginalRecreated = 41,       // (original recreated)
  kIconRecovered = 42,           // (icon has been recovered)
  kNoFileTarget = 43,            // (no file-system target, left as it is)
  kUnknownInstall = 44,          // (unknown install location, left as it is)
  kRenamedFrom = 45,             // (renamed from:

  // A run that has nowhere to keep its report, or could not keep all of it.
  kNoPlaceForReport = 46,  // No report and no backup could be written ...
  kReportIncomplete = 47,  // The report could not be written in full ...
  // Why an item given to the program directly was not handled.
  kNotCurableKind = 48,  // (not a shortcut, list or folder)
  kEmptyArgument = 49,   // (empty argument)

  // Status texts and questions while a run goes on.
  kWaitingForUnlock = 50,  // Waiting for the shortcut to be unlocked… Attempt
  kBackToOperating = 51,   // Working... (again, once a deletion has ended)
  kEmptyListFile = 52,     // The list file is empty.
  kRepeatQuestion = 53,    // Attention! You have already cured these shortcuts ...

  // The report file.
  kMethod = 60,            // Method
  kBeginOfLog = 61,        // ____ Begin of Log ____
  kReportStatistics = 62,  // ____ Statistics ____
  kReportTotal = 63,       //   Total processed:
  kReportCured = 64,       //          Cured:
  kReportDeleted = 65,     //          Deleted:
  kReportRenamed = 66,     //          Renamed:
  kReportOmitted = 67,     //          Omitted:
  kReportBlocked = 68,     //          Blocked:
  kReportWarnings = 69,    //          Warnings:
  kReportErrors = 70,      //          Errors:
  kEndOfLog = 71,          // ____ End of Log ____
  kDebugInfo = 72,         // ____ Debug Info ____
  kEndOfDebugging = 73,    // ____ End of debugging ____
  kRunsToday = 74,         // Cure ran per today:
  kTimes = 75,             // times (after any other count)
  kTimesFew = 76,          // times (after 2, 3, 4, 22, 23, ...: not 12-14)
  kIconsLocation = 77,     // ____ Icons location ____
  kAlsoProcessed = 78,     // ____ Also processed ____

  // Why a list, or a line of one, gave no shortcut.
  kListUnreadable = 80,   // (list could not be read)
  kListNotText = 81,      // (list is not a text file)
  kPathUnreadable = 82,   // (path could not be read)
  kUnknownVariable = 83,  // (unknown variable in path)
  kNetworkPath = 84,      // (network path not examined)

  // Where the run kept the originals it changed.
  kReportBackup = 85,   // "Backup: " before the folder, at the end of the statistics
  kBackupsKeptIn = 86,  // the end-of-run message's line before the folder

  // Why a planted file was deleted, or left alone by a folder walk.
  kInternetShortcutRemoved = 87,      // (internet shortcut removed)
  kIconRemoved = 88,                  // (icon removed)
  kApplicationReferenceRemoved = 89,  // (application reference removed)
  kWebLinkRecycled = 90,              // (web link moved to the Recycle Bin)
  kNoWebAddressLeftAlone = 91,        // (not a web address: left alone)
  kUnlistedObjectLeftAlone = 92,
  // The archive start's copy to the desktop failed; its path and why follow.
  kCopyToDesktopFailed = 93,  // (deleted only when listed: left alone)

  // The program's own error lines in "Debug Info".
  kInterceptor = 110,        // It seems, some interceptor acts. File:
  kJustNulCharacters = 111,  // contains just NUL characters
  kShortcutDamaged = 112,    // Shortcut is damaged
  kHeaderNotLnk = 113,       // header doesn't match LNK type
  kAccessDenied = 114,       // Access denied.
  kBytes = 115,              // bytes
};

}  // namespace tolvaran
