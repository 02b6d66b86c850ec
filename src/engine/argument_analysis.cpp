#include "engine/argument_analysis.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/path_scan.h"
#include "fileops/file_bytes.h"
#include "fileops/text_decoding.h"
#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {

namespace {

using platform::Win32Code;

// The system calls are given buffers of these sizes, terminator included.
constexpr std::size_t kPathBufferLength = 32767;
constexpr std::size_t kEnvironmentBufferLength = 261;
constexpr std::size_t kPercentWindow = 100;
constexpr std::size_t kPercentThreshold = 20;
// Shorter paths tried when the longest match names no file. Each costs a few
// existence calls and a copy of its text, so a pasted line of thousands of
// "x.exe" pieces must not try them all; a hijacked command line puts the
// program within its first few extensions.
constexpr std::size_t kShorterCandidates = 32;

[[noreturn]] void fail(std::int32_t number, Win32Code code) {
  throw RuntimeError(runtimeFailure(number, static_cast<std::int32_t>(code)));
}

}  // namespace

std::size_t CountOfPercent(std::u16string_view text) noexcept {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'%'));
}

std::u16string removePercentPieces(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t from = 0;
  while (true) {
    const std::size_t open = text.find(u'%', from);
    const std::size_t close =
        open == std::u16string_view::npos ? std::u16string_view::npos : text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      out.append(text.substr(from));
      return out;
    }
    out.append(text.substr(from, open - from));
    from = close + 1;
  }
}

ArgumentAnalysis::ArgumentAnalysis(const platform::Ports& ports, modFile& fileHelpers,
                                   FailureRecorder& recorder, RegExpObjects& patterns)
    : files_(ports.files),
      system_(ports.system),
      fileHelpers_(fileHelpers),
      recorder_(recorder),
      patterns_(patterns) {}

bool ArgumentAnalysis::TestPattern(std::u16string_view text, std::u16string_view pattern) {
  return guarded(
      recorder_, false,
      [&] {
        patterns_.general.setPattern(pattern);
        return patterns_.general.Test(text);
      },
      [] { return ErrorContext(u"Parser.TestPattern"); });
}

std::u16string ArgumentAnalysis::ParseEXEfromArg_1(std::u16string_view text) {
  return findExecutable(text).path;
}

ExecutableInText ArgumentAnalysis::findExecutable(std::u16string_view text) {
  return guarded(
      recorder_, ExecutableInText{},
      [&]() -> ExecutableInText {
        const auto found = findExecutableInText(text);
        if (!found) return {};
        std::vector<PathScanMatch> matches{*found};
        const auto shorter =
            shorterMatchesAtStart(PathKind::kExecutable, text, *found, kShorterCandidates);
        matches.insert(matches.end(), shorter.begin(), shorter.end());
        for (const PathScanMatch& match : matches) {
          const std::u16string candidate =
              UnQuote(recorder_, slice(text, match.firstIndex, match.length));
          if (fileHelpers_.isFileExists(candidate)) {
            return {GetLongPath(candidate), match.firstIndex + match.length};
          }
        }
        return {};
      },
      [] { return ErrorContext(u"Parser.ParseEXEfromArg_1"); });
}

std::u16string ArgumentAnalysis::GetBAT_FirstLine(std::u16string_view text, bool isArgs) {
  std::u16string file;
  return guarded(
      recorder_, std::u16string(),
      [&]() -> std::u16string {
        if (isArgs) {
          const auto found = findScriptInText(text);
          if (!found) return {};
          file = UnQuote(recorder_, slice(text, found->firstIndex, found->length));
          if (!fileHelpers_.isFileExists(file)) return {};
        } else {
          file.assign(text);
        }
        if (!fileHelpers_.isFileExists(file) || fileHelpers_.GetFileSize(file) == 0) return {};
        std::u16string script =
            decodeScript(readFileBytes(files_, file, kScriptReadLimit, OverLimit::kTruncate));
        if (CountOfPercent(left(script, kPercentWindow)) >= kPercentThreshold) {
          script = removePercentPieces(script);
        }
        return script;
      },
      [&] {
        const std::u16string where =
            isArgs ? u"String: " + std::u16string(text) + u" File: " + file : u"File: " + file;
        return ErrorContext(u"Parser.GetBAT_FirstLine", where);
      });
}

std::u16string ArgumentAnalysis::decodeScript(const std::string& bytes) {
  DecodedText decoded = decodeTextBytes(system_, bytes);
  const bool utf16 =
      decoded.encoding == TextEncoding::kUtf16Le || decoded.encoding == TextEncoding::kUtf16Be;
  // A wide script's text ends at its first NUL, as it always has here.
  if (const std::size_t nul = decoded.text.find(u'\0'); utf16 && nul != std::u16string::npos) {
    decoded.text.resize(nul);
  }
  return std::move(decoded.text);
}

std::u16string ArgumentAnalysis::ClearPathFromRegistry(std::u16string_view value) {
  return guarded(
      recorder_, std::u16string(),
      [&]() -> std::u16string {
        if (!value.empty() && value.front() == u'"') {
          const std::size_t close = value.find(u'"', 1);
          // The quoted part runs to a closing quote that is not there.
          if (close == std::u16string_view::npos) fail(rt::kInvalidProcedureCall, 0);
          return std::u16string(value.substr(1, close - 1));
        }
        if (!endsWithNoCase(value, u".EXE")) {
          return std::u16string(value.substr(0, value.find(u' ')));
        }
        return std::u16string(value);
      },
      [] { return ErrorContext(u"Parser.ClearPathFromRegistry"); });
}

std::u16string ArgumentAnalysis::GetFullPath(std::u16string_view path) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        const auto full = files_.getFullPathName(path);
        if (!full.ok() || full.value.size() >= kPathBufferLength) return std::u16string(path);
        return full.value;
      },
      [] { return ErrorContext(u"Parser.GetFullPath"); });
}

std::u16string ArgumentAnalysis::GetLongPath(std::u16string_view path) {
  const auto longPath = files_.getLongPathName(path);
  if (!longPath.ok() || longPath.value.size() >= kPathBufferLength) return std::u16string(path);
  return longPath.value;
}

std::u16string ArgumentAnalysis::EnvironW(std::u16string_view text) {
  const auto expanded = system_.expandEnvironmentStrings(text);
  if (!expanded.ok() || expanded.value.size() >= kEnvironmentBufferLength) {
    return std::u16string(text);
  }
  return expanded.value;
}

}  // namespace tolvaran
