#pragma once
// The state the shortcut cure keeps across one run and for the shortcut in
// hand, and the system folders it compares targets with.
#include <cstddef>
#include <string>

#include "fileops/cure_codes.h"
#include "fileops/path_identity.h"
#include "support/failure.h"
#include "support/hash_table.h"

namespace tolvaran {

// Folder values that start-up fills once (no trailing backslash).
struct CureFolders {
  std::u16string SysRoot;   // the Windows folder
  std::u16string Sys32;     // the native System32
  std::u16string SysWow64;  // the 32-bit system folder of 64-bit Windows
  std::u16string PF32;      // program files as a 32-bit program sees them
  std::u16string PF64;      // the native program-files folder
};

// The R-codes and A-codes the cure writes into CureCodes.
namespace rule_code {
inline constexpr std::u16string_view kNone = u"RN";
inline constexpr std::u16string_view kUrlBeside = u"R1";
inline constexpr std::u16string_view kUrlBesideNative = u"R1.1";
inline constexpr std::u16string_view kInterpreterArguments = u"R2.2";
inline constexpr std::u16string_view kScriptText = u"R2.3";
inline constexpr std::u16string_view kListLine = u"R2.4";
inline constexpr std::u16string_view kMissingTarget = u"R3";
inline constexpr std::u16string_view kScriptTarget = u"R4";
inline constexpr std::u16string_view kDoubleExtension = u"R4.1";
inline constexpr std::u16string_view kScriptBesideExe = u"R4.2";
inline constexpr std::u16string_view kNotLegitBrowser = u"R5";
}  // namespace rule_code

namespace recovery_code {
inline constexpr std::u16string_view kNone = u"AN";
inline constexpr std::u16string_view kLinkInfo = u"A1";
inline constexpr std::u16string_view kExePath = u"A2";
inline constexpr std::u16string_view kAppPaths = u"A3";
inline constexpr std::u16string_view kInternetClient = u"A4";
inline constexpr std::u16string_view kRegistryPath = u"A5.1";
inline constexpr std::u16string_view kRegistryFolder = u"A5.2";
}  // namespace recovery_code

class CureState {
 public:
  explicit CureState(FailureRecorder& recorder) : ProcessedLinks(recorder) {}
  CureState(const CureState&) = delete;
  CureState& operator=(const CureState&) = delete;

  // Each run starts with no shortcut handled and neutral codes.
  void resetRun() {
    ProcessedLinks.RemoveAll();
    codes = CureCodes{};
  }

  // Records a shortcut as handled in this run; false when it was already,
  // under any spelling of its path.
  bool markProcessed(const PathIdentity& path) {
    if (isProcessed(path)) return false;
    ProcessedLinks.Add(Variant(path.text()), Variant(u""));
    return true;
  }
  [[nodiscard]] bool isProcessed(const PathIdentity& path) const {
    return ProcessedLinks.Exists(Variant(path.text()));
  }
  [[nodiscard]] std::size_t processedCount() const noexcept { return ProcessedLinks.Count(); }

  // RuleCode, RecoveryCode, FoundTargetText and ListSelector of the shortcut
  // in hand; the report reads them while lines are written.
  CureCodes codes;

 private:
  // The shortcuts handled in this run, keyed by their path identities (the
  // keys are compared exactly: the identity has done the case mapping).
  clsBrenloHashTable ProcessedLinks;
};

}  // namespace tolvaran
