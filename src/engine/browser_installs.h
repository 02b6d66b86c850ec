#pragma once
// Where a browser really lives: the folders its database records name (in
// either program-files folder) and the ones its installer registered, for
// every channel of its family. A browser's program anywhere else is a copy
// someone put there, or a browser installed by hand.
#include <string>
#include <string_view>
#include <vector>

#include "engine/browser_database.h"
#include "engine/browser_info.h"
#include "engine/cure_state.h"
#include "engine/target_recovery.h"
#include "support/failure.h"

namespace tolvaran {

// True when the path lies in a folder adware drops its copies in and no
// installer puts a browser: a Temp folder, the roaming application data,
// the public profile, a Downloads folder.
bool showsPlantSign(std::u16string_view path);

class BrowserInstalls {
 public:
  BrowserInstalls(BrowserDatabase& database, TargetRecovery& recovery, const CureFolders& folders,
                  FailureRecorder& recorder);
  BrowserInstalls(const BrowserInstalls&) = delete;
  BrowserInstalls& operator=(const BrowserInstalls&) = delete;

  // True when the path names one of the programs of a browser of the
  // family of `id` (the browser alone when it has no family) in one of
  // that browser's install folders: "Google Chrome" accepts Chrome Beta's
  // chrome.exe in Chrome Beta's folder, not chrome.exe in a Temp folder.
  bool isFamilyInstall(BrowserID id, std::u16string_view path);

  // The first browser whose program the path names in one of that
  // browser's install folders; 0 when there is none.
  BrowserID browserOfTarget(std::u16string_view path);

 private:
  // Records naming the path's file as their executable or a helper.
  std::vector<BrowserInfo> recordsRunning(const std::vector<BrowserID>& ids,
                                          std::u16string_view fileName);
  bool inInstallFolder(const std::vector<BrowserInfo>& records, std::u16string_view path);
  std::vector<BrowserID> familyOf(BrowserID id);

  BrowserDatabase& database_;
  TargetRecovery& recovery_;
  const CureFolders& folders_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
