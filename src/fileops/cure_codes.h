#pragma once
// The codes of the shortcut being cured that every result line carries. The
// cure engine keeps one for the shortcut in hand and updates it as it
// decides; the file operations read it when they write a line of their own.
#include <string>

#include "report/report_log.h"

namespace tolvaran {

struct CureCodes {
  std::u16string RuleCode;         // "RN", "R1" ... "R5"
  std::u16string RecoveryCode;     // "AN", "A1" ... "A5.2"
  std::u16string FoundTargetText;  // the target recovered by searching, if any
  tolvaran::ListSelector ListSelector = tolvaran::ListSelector::kMain;
};

}  // namespace tolvaran
