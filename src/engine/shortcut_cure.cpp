#include "engine/shortcut_cure.h"

#include "engine/arguments/browser_switches.h"
#include "engine/arguments/script_hosts.h"
#include "engine/path_names.h"
#include "engine/path_scan.h"
#include "report/error_log.h"
#include "support/oem_text.h"
#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kErrorAndAttributes = u"[ERR ][ATTR]";
// How many script hosts in one text are passed over looking for a program.
constexpr int kMostHostsInText = 8;

}  // namespace

// The working values of one FixLNK call.
struct ShortcutCure::Work {
  LnkRecord L;
  BrowserID id = 0;
  bool masked = false;
  bool readFailed = false;
  std::u16string candidate;  // the executable the R-rules found
  // The candidate was named in a hijack's text (arguments, script, list
  // line); what the text passes on to it, up to the end of its line.
  bool fromHijackText = false;
  std::u16string hijackSwitches;
  bool attributesCleared = false;
  bool argumentsLegitimate = false;
  // The target is the browser's program, but in none of its install folders.
  bool unknownInstall = false;
  bool keepWorkingFolder = false;
  ShortcutSource source = ShortcutSource::kListed;
  // The old file is gone and the new one not yet known to have landed.
  bool awaitingSave = false;
};

ShortcutCure::ShortcutCure(const platform::Ports& ports, ShortcutCureParts parts, CureState& state,
                           const CureFolders& folders, FailureRecorder& recorder)
    : ports_(ports), parts_(parts), state_(state), folders_(folders), recorder_(recorder) {}

void ShortcutCure::read(Work& work, std::u16string_view path) {
  ShortcutRead read = parts_.reader.readShortcut(path);
  work.L = std::move(read.record);
  work.readFailed = read.failure.has_value();
}

void ShortcutCure::derive(LnkRecord& record) {
  record.TargetExt = lowerCase(GetExtensionName(record.Target));
  record.TargetName = lowerCase(GetFileName(record.Target));
  record.LnkName = lowerCase(GetFileName(record.LnkPath));
  record.LnkFolder = lowerCase(GetPathName(record.LnkPath));
}

void ShortcutCure::FixLNK(std::u16string_view path, std::u16string_view line,
                          ShortcutSource source) {
  Work work;
  work.source = source;
  work.L.LnkPath = path;
  CureCodes& codes = state_.codes;
  const bool completed = guardedStep(
      recorder_,
      [&] {
        ++parts_.log.Statistics.Total;
        codes.FoundTargetText.clear();
        codes.ListSelector = ListSelector::kMain;
        if (!state_.markProcessed(pathIdentity(ports_.files, path))) return;
        ports_.ui.pumpMessages();

        bool hidden = false;
        bool system = false;
        work.attributesCleared = parts_.deletion.UnHideFile(path, hidden, system);
        read(work, path);
        work.L.LnkPath = path;
        work.L.WasHidden = hidden;
        work.L.WasSystem = system;
        derive(work.L);
        work.id = parts_.identification.GetBrowserID(work.L.LnkName, work.masked);

        // This PC, the Control Panel, a Store app: nothing on disk to point
        // to and nothing to judge, whatever the shortcut is called.
        if (!work.readFailed && work.L.Target.empty()) {
          leaveAsItIs(work, Msg::kNoFileTarget);
          return;
        }
        // Command Prompt, PowerShell, a developer prompt: a script host's own
        // shortcut is no hijack and keeps its file untouched.
        if (work.id == 0 && isHostsOwnShortcut(work.L)) {
          leaveAsItIs(work, Msg::kAlreadyCured);
          return;
        }
        if (work.masked) handleLookAlike(work);
        diagnose(work, line);
        decideAndAct(work);
      },
      [&] {
        return ErrorContext(u"Engine.FixLNK", codes.RecoveryCode + u"-" + codes.RuleCode,
                            u"[\"" + work.L.LnkPath + u"\"]");
      });
  if (!completed && work.awaitingSave) restore(work.L.LnkPath);
}

void ShortcutCure::handleLookAlike(Work& work) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  const BrowserInfo info = parts_.identification.GetBrowserInfo(L.LnkName);
  if (info.Title.empty()) return;
  const std::u16string properName = info.Title + u".LNK";
  const std::u16string proper = BuildPath({L.LnkFolder, properName});
  // A name that is its own proper title is no fake: deleting "the fake"
  // would delete the genuine shortcut.
  if (equalsNoCase(proper, L.LnkPath)) return;

  if (parts_.files.isFileExists(proper)) {
    if (parts_.deletion.DeleteFileEx(L.LnkPath, L.Target, L.Arguments) != 0) return;
    parts_.log.reportLine(&RunStatistics::Deleted, status::kDeleted, L.LnkPath, u"", u"",
                          parts_.messages.msg(Msg::kExistsUnderName) + properName + u")", u"", u"",
                          codes.ListSelector, !codes.FoundTargetText.empty());

    bool hidden = false;
    bool system = false;
    const bool cleared = parts_.deletion.UnHideFile(proper, hidden, system);
    if (hidden || system) reportAttributes(proper, hidden, system, cleared);

    read(work, proper);
    L.DupDeleted = true;
    L.LnkPath = proper;
    derive(L);
    codes.ListSelector = ListSelector::kAlso;
    return;
  }

  const auto moved = ports_.files.moveFile(L.LnkPath, proper);
  if (!moved.ok()) {
    parts_.log.reportLine(&RunStatistics::Errors, status::kError, L.LnkPath, L.Target, L.Arguments,
                          parts_.messages.msg(Msg::kCannotRename) + toDecimal(moved.code) + u". " +
                              SystemErrorText(ports_.system, moved.code) + u")",
                          u"", u"", ListSelector::kMain, !codes.FoundTargetText.empty());
    return;
  }
  ++parts_.log.Statistics.Renamed;
  const std::u16string oldPath = L.LnkPath;
  L.RenamedFrom = GetFileNameAndExt(oldPath);
  L.LnkPath = proper;
  L.LnkName = lowerCase(GetFileName(proper));
  L.LnkFolder = lowerCase(GetPathName(proper));
  // Wide paths: an ANSI notification would lose a Unicode name.
  ports_.shellOps.changeNotify(platform::shell::kShcneRenameItem,
                               platform::shell::kShcnfPathW | platform::shell::kShcnfFlush, oldPath,
                               proper);
  return;
}

void ShortcutCure::reportAttributes(std::u16string_view proper, bool hidden, bool system,
                                    bool cleared) {
  const LnkRecord genuine = parts_.reader.GetTargetShellLinkW(proper);
  const Translation& messages = parts_.messages;
  std::u16string result = messages.msg(Msg::kOk);
  std::u16string_view tag = status::kAttributes;
  // Attributes removed are not counted; attributes that stay are an error.
  RunCounter counter = nullptr;
  if (cleared) {
    if (hidden) result += u" " + messages.msg(Msg::kHiddenRemoved);
    if (system) result += u" " + messages.msg(Msg::kSystemRemoved);
  } else {
    tag = kErrorAndAttributes;
    result += u" " + messages.msg(Msg::kCannotRemoveAttributes);
    counter = &RunStatistics::Errors;
  }
  parts_.log.reportLine(counter, tag, genuine.LnkPath, genuine.Target, genuine.Arguments, result,
                        u"", u"", ListSelector::kAlso, !state_.codes.FoundTargetText.empty());
}

void ShortcutCure::diagnose(Work& work, std::u16string_view line) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  ArgumentAnalysis& analysis = parts_.analysis;
  modFile& files = parts_.files;
  codes.RecoveryCode = recovery_code::kNone;
  codes.RuleCode = rule_code::kNone;
  // A network target is never examined by the existence test: not finding
  // it says nothing, so it is not judged missing.
  L.TargetExists = files.isFileExists(L.Target) || isNetworkPath(L.Target);

  std::u16string& candidate = work.candidate;
  // A script host or a script is what a hijack runs, never the program it
  // hides; `passedOn` is what the host would be given.
  const auto found = [&](std::u16string path, std::u16string_view code,
                         std::u16string_view passedOn = {}) {
    if (path.empty() || isScriptHost(path, passedOn) || isScriptFile(path)) return false;
    candidate = std::move(path);
    codes.RuleCode = code;
    return true;
  };
  const auto existing = [&](std::u16string path, std::u16string_view code) {
    return files.isFileExists(path) && found(std::move(path), code);
  };
  // The first program the text names that is no script host (a hijack may
  // start one host through another).
  const auto fromText = [&](std::u16string_view text, std::u16string_view code) {
    std::size_t from = 0;
    for (int hosts = 0; hosts < kMostHostsInText && from < text.size(); ++hosts) {
      const std::u16string_view rest = sliceFrom(text, from);
      ExecutableInText named = analysis.findExecutable(rest);
      if (named.path.empty()) return false;
      const std::u16string_view after = sliceFrom(rest, named.end);
      const std::u16string_view passedOn = after.substr(0, after.find_first_of(u"\r\n"));
      if (found(std::move(named.path), code, passedOn)) {
        work.fromHijackText = true;
        work.hijackSwitches = passedOn;
        return true;
      }
      from += named.end;
    }
    return false;
  };

  if (L.TargetExt == u".url") {
    const std::u16string besideUrl =
        GetPathName(L.Target) + u"\\" + GetFileName(L.Target) + u".exe";
    if (!existing(besideUrl, rule_code::kUrlBeside) && parts_.os.Bitness() == u"x64" &&
        isInFolder(L.Target, folders_.PF32)) {
      existing(folders_.PF64 + std::u16string(sliceFrom(besideUrl, folders_.PF32.size())),
               rule_code::kUrlBesideNative);
    }
  } else if (isScriptHost(L.Target, L.Arguments)) {
    // The first text that names a program.
    if (!fromText(L.Arguments, rule_code::kInterpreterArguments) &&
        !fromText(analysis.GetBAT_FirstLine(L.Arguments, true), rule_code::kScriptText)) {
      fromText(line, rule_code::kListLine);
    }
  } else if (isScriptFile(L.Target)) {
    codes.RuleCode = rule_code::kScriptTarget;
    const std::u16string withoutExtension =
        BuildPath({GetPathName(L.Target), GetFileName(L.Target)});
    if (matches(doubleExtension_, L.Target)) {
      existing(withoutExtension, rule_code::kDoubleExtension);
    } else {
      existing(withoutExtension + u".exe", rule_code::kScriptBesideExe);
    }
    if (candidate.empty()) {
      if (!fromText(analysis.GetBAT_FirstLine(L.Target, false), rule_code::kScriptText)) {
        fromText(line, rule_code::kListLine);
      }
    }
  }

  if (!L.TargetExists && codes.RuleCode == rule_code::kNone)
    codes.RuleCode = rule_code::kMissingTarget;
  if (work.id == 0) return;
  const BrowserTarget kind = parts_.identification.judgeBrowserTarget(
      L.LnkName, work.id, L.Target, L.Arguments, work.argumentsLegitimate);
  if (kind == BrowserTarget::kNotLegitimate) {
    codes.RuleCode = rule_code::kNotLegitBrowser;
  } else if (kind == BrowserTarget::kProgram && L.TargetExists &&
             !parts_.installs.isFamilyInstall(work.id, L.Target)) {
    // The browser's name in a folder no installer of it uses: a copy put
    // there, or a browser installed by hand. Recovery tells which.
    codes.RuleCode = rule_code::kNotLegitBrowser;
    work.unknownInstall = true;
  }
}

void ShortcutCure::decideAndAct(Work& work) {
  if (!chooseTarget(work)) return;
  chooseArguments(work);
  LnkRecord& L = work.L;
  // The user's working folder stays while the program does, and when it is
  // the new program's folder or one below it.
  const std::u16string newFolder = GetPathName(L.NewTarget);
  if (!work.keepWorkingFolder && !equalsNoCase(L.NewTarget, L.Target) &&
      !isInFolder(L.WorkingDir, newFolder)) {
    L.WorkingDir = newFolder;
  }
  rewrite(work);
}

bool ShortcutCure::chooseTarget(Work& work) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  if (codes.RuleCode == rule_code::kNone) {
    L.NewTarget = L.Target;
    return true;
  }
  codes.FoundTargetText = parts_.recovery.FindTargetByFileName(
      L.LnkName, work.keepWorkingFolder, L.LnkPath, codes.RecoveryCode, L.Target);
  if (!codes.FoundTargetText.empty())
    codes.FoundTargetText = helperBeside(work, codes.FoundTargetText);
  if (work.fromHijackText && work.id != 0 && !equalsNoCase(work.candidate, codes.FoundTargetText) &&
      parts_.installs.isFamilyInstall(work.id, work.candidate)) {
    // The hijack named another install of the browser (Beta, GX, a web
    // app's helper): that is the one the shortcut started, not the first
    // the browser's records find.
    codes.FoundTargetText.clear();
    codes.RecoveryCode = recovery_code::kNone;
    work.keepWorkingFolder = false;
    L.NewTarget = work.candidate;
  } else {
    L.NewTarget = !codes.FoundTargetText.empty() ? codes.FoundTargetText : acceptedCandidate(work);
  }
  // A script is what adware points shortcuts to, never the cure.
  if (isScriptFile(L.NewTarget)) L.NewTarget.clear();
  if (!L.NewTarget.empty()) return true;
  if (work.unknownInstall && !showsPlantSign(L.Target)) {
    keepUnknownInstall(work);
  } else {
    deleteUnrecovered(work);
  }
  return false;
}

std::u16string ShortcutCure::helperBeside(const Work& work, const std::u16string& recovered) {
  if (work.id == 0) return recovered;
  const std::u16string targetFile = GetFileNameAndExt(work.L.Target);
  if (equalsNoCase(targetFile, GetFileNameAndExt(recovered))) return recovered;
  for (const BrowserInfo& record : parts_.database.records(work.id)) {
    for (const std::u16string& helper : record.Helpers) {
      if (!equalsNoCase(helper, targetFile)) continue;
      // A web app or a private window stays one: its helper beside the
      // recovered browser, or nothing.
      std::u16string beside = BuildPath({GetPathName(recovered), targetFile});
      return parts_.files.isFileExists(beside) ? beside : std::u16string();
    }
  }
  return recovered;
}

std::u16string ShortcutCure::acceptedCandidate(const Work& work) {
  // For a browser shortcut a program in a folder where adware drops its
  // copies is no browser, unless the browser really is installed there.
  if (work.id != 0 && showsPlantSign(work.candidate) &&
      !parts_.installs.isFamilyInstall(work.id, work.candidate)) {
    return {};
  }
  return work.candidate;
}

void ShortcutCure::chooseArguments(Work& work) {
  LnkRecord& L = work.L;
  if (work.argumentsLegitimate) {
    L.NewArguments = L.Arguments;
    return;
  }
  // A shortcut named otherwise that starts a browser installed in its own
  // folder is that browser's shortcut for its switches ("Work" keeps its
  // profile).
  const BrowserID judgedAs = work.id != 0 ? work.id : parts_.installs.browserOfTarget(L.NewTarget);
  if (judgedAs == 0) {
    // A shortcut met in a folder was not named as damaged: a program's own
    // launch options stay unless they carry what hijacks add.
    const bool ownOptions = work.source == ShortcutSource::kFolderWalk &&
                            !containsWebAddress(L.Arguments) &&
                            !containsHijackSwitch(L.Arguments) &&
                            !isScriptHost(L.Target, L.Arguments) && !isScriptFile(L.Target);
    L.NewArguments = ownOptions ? L.Arguments : std::u16string();
    return;
  }
  // After a redirection the browser's switches are those the hijack passed
  // on to it, not the interpreter's.
  const std::u16string_view source =
      work.fromHijackText ? std::u16string_view(work.hijackSwitches) : L.Arguments;
  SwitchVerdict verdict =
      judgeBrowserSwitches(source, parts_.identification.legitSwitches(judgedAs));
  if (!verdict.dropped && !work.fromHijackText && !source.empty()) {
    L.NewArguments = L.Arguments;
  } else if (!verdict.kept.empty()) {
    L.NewArguments = std::move(verdict.kept);
  } else if (work.id != 0) {
    L.NewArguments = parts_.identification.GetBrowserInfo(L.LnkName).DefaultArgs;
  } else {
    L.NewArguments.clear();
  }
}

void ShortcutCure::rewrite(Work& work) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  const platform::Win32Code deleted =
      parts_.deletion.DeleteFileEx(L.LnkPath, L.Target, L.Arguments);
  // Explorer is a host only when given an address: the one it was given.
  const bool sameTarget = equalsNoCase(L.NewTarget, L.Target);
  if (isScriptHost(L.NewTarget, sameTarget ? L.Arguments : L.NewArguments)) {
    // A script host is what the hijack started: the shortcut goes.
    if (deleted == platform::kErrorSuccess) {
      parts_.log.reportLine(&RunStatistics::Deleted, status::kDeleted, L.LnkPath, u"", u"",
                            parts_.messages.msg(Msg::kNotRecovered), codes.RecoveryCode,
                            codes.RuleCode, codes.ListSelector, !codes.FoundTargetText.empty());
    }
    return;
  }
  if (deleted != platform::kErrorSuccess) return;
  work.awaitingSave = true;
  if (!parts_.writer.SaveLNK(L)) restore(L.LnkPath);
  work.awaitingSave = false;
}

void ShortcutCure::keepUnknownInstall(Work& work) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  L.NewTarget = L.Target;
  chooseArguments(work);
  if (L.NewArguments != L.Arguments) {
    // The hijack's switches still go; the program and its folder stay.
    work.keepWorkingFolder = true;
    rewrite(work);
  }
  parts_.log.reportLine(&RunStatistics::Warnings, status::kWarning, L.LnkPath, L.Target,
                        L.NewArguments, parts_.messages.msg(Msg::kUnknownInstall), u"", u"",
                        codes.ListSelector, false);
}

void ShortcutCure::leaveAsItIs(Work& work, Msg message) {
  LnkRecord& L = work.L;
  const Translation& messages = parts_.messages;
  std::u16string_view tag = status::kWarning;
  std::u16string result = messages.msg(message);
  RunCounter counter = &RunStatistics::Warnings;
  if (L.WasHidden || L.WasSystem) {
    result = messages.msg(Msg::kOk);
    if (work.attributesCleared) {
      tag = status::kAttributes;
      if (L.WasHidden) result += u" " + messages.msg(Msg::kHiddenRemoved);
      if (L.WasSystem) result += u" " + messages.msg(Msg::kSystemRemoved);
      counter = &RunStatistics::Cured;
    } else {
      tag = kErrorAndAttributes;
      result += u" " + messages.msg(Msg::kCannotRemoveAttributes);
      counter = &RunStatistics::Errors;
    }
  }
  parts_.log.reportLine(counter, tag, L.LnkPath, L.Target, L.Arguments, result, u"", u"",
                        state_.codes.ListSelector, false);
}

bool ShortcutCure::isHostsOwnShortcut(const LnkRecord& L) {
  if (!isScriptHost(L.Target, L.Arguments) || !isScriptHostAtHome(L.Target, folders_)) {
    return false;
  }
  const auto harmless = [&](std::u16string_view text) {
    if (containsWebAddress(text) || containsHijackSwitch(text)) return false;
    for (const std::u16string& program : parts_.database.programNames()) {
      if (findNoCase(text, program) != std::u16string_view::npos) return false;
    }
    return true;
  };
  if (!harmless(L.Arguments)) return false;
  // The scripts it runs: in a program's own folder, and as harmless.
  std::u16string_view rest = L.Arguments;
  for (int scripts = 0; scripts < kMostHostsInText; ++scripts) {
    const auto named = findScriptInText(rest);
    if (!named) return true;
    const std::u16string script = UnQuote(recorder_, slice(rest, named->firstIndex, named->length));
    if (inScriptDropFolder(script) || !harmless(parts_.analysis.GetBAT_FirstLine(script, false))) {
      return false;
    }
    rest = sliceFrom(rest, named->firstIndex + named->length);
  }
  return false;
}

void ShortcutCure::deleteUnrecovered(Work& work) {
  LnkRecord& L = work.L;
  CureCodes& codes = state_.codes;
  if (isNetworkPath(L.Target)) {
    // The share may just be offline: a shortcut to it is left as it is.
    parts_.log.reportLine(&RunStatistics::Warnings, status::kWarning, L.LnkPath, L.Target,
                          L.Arguments, parts_.messages.msg(Msg::kNotRecovered), codes.RecoveryCode,
                          codes.RuleCode, codes.ListSelector, !codes.FoundTargetText.empty());
    return;
  }
  if (parts_.deletion.DeleteFileEx(L.LnkPath, L.Target, L.Arguments) != platform::kErrorSuccess) {
    return;
  }
  parts_.log.reportLine(&RunStatistics::Deleted, status::kDeleted, L.LnkPath, u"", u"",
                        parts_.messages.msg(Msg::kNotRecovered), codes.RecoveryCode, codes.RuleCode,
                        codes.ListSelector, !codes.FoundTargetText.empty());
}

bool ShortcutCure::matches(const RegExp& pattern, std::u16string_view text) {
  return guarded(
      recorder_, false, [&] { return pattern.Test(text); },
      [] { return ErrorContext(u"Parser.TestPattern"); });
}

void ShortcutCure::restore(const std::u16string& path) {
  const platform::Win32Code code = parts_.backup.Restore(path);
  if (code == platform::kErrorSuccess) return;
  recorder_.recordError(
      Failure{static_cast<std::int32_t>(code), u"Cannot restore the shortcut from its backup",
              static_cast<std::int32_t>(code)},
      ErrorContext(u"Engine.FixLNK", u"Restore:", path));
}

}  // namespace tolvaran
