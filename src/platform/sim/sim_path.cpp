#include "platform/sim/sim_path.h"

#include <cstddef>

#include "platform/files.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

constexpr std::size_t kMaxPathChars = 32767;
constexpr std::size_t kMaxNameChars = 255;

bool isSeparator(char16_t c, bool literal) {
  return c == u'\\' || (!literal && c == u'/');
}

bool isDriveLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool startsWithDrive(std::u16string_view text) {
  return text.size() >= 2 && isDriveLetter(text[0]) && text[1] == u':';
}

std::u16string driveVolume(char16_t letter) {
  const char16_t upper =
      (letter >= u'a' && letter <= u'z') ? char16_t(letter - u'a' + u'A') : letter;
  return std::u16string{upper, u':'};
}

bool isValidNameChar(char16_t c, bool wildcardsAllowed) {
  if (c < 0x20) return false;
  switch (c) {
    case u'<':
    case u'>':
    case u':':
    case u'"':
    case u'|':
    case u'/':
    case u'\\': return false;
    case u'*':
    case u'?': return wildcardsAllowed;
    default: return true;
  }
}

// Splits on separators. Empty pieces (runs of separators) are kept so the
// literal form can reject them.
std::vector<std::u16string_view> split(std::u16string_view text, bool literal) {
  std::vector<std::u16string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || isSeparator(text[i], literal)) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return pieces;
}

std::u16string_view trimTrailingDotsAndSpaces(std::u16string_view name) {
  while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.remove_suffix(1);
  return name;
}

// Win32 normalisation of the part after the volume: "." and ".." by text,
// one trailing dot off inner components, dots and spaces off the last.
void normalise(std::u16string_view rest, SimPath& out) {
  const auto pieces = split(rest, false);
  out.trailingSeparator = false;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const bool last = i + 1 == pieces.size();
    std::u16string_view piece = pieces[i];
    if (piece.empty()) {
      if (last && !out.components.empty()) out.trailingSeparator = true;
      continue;
    }
    if (piece == u".") continue;
    if (piece == u"..") {
      if (!out.components.empty()) out.components.pop_back();
      continue;
    }
    if (last) {
      piece = trimTrailingDotsAndSpaces(piece);
      if (piece.empty()) {
        out.trailingSeparator = !out.components.empty();
        continue;
      }
    } else if (piece.back() == u'.') {
      piece.remove_suffix(1);
    }
    out.components.emplace_back(piece);
  }
}

void literalComponents(std::u16string_view rest, SimPath& out) {
  const auto pieces = split(rest, true);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::u16string_view piece = pieces[i];
    if (piece.empty()) {
      if (i + 1 == pieces.size() && i > 0) {
        out.trailingSeparator = true;
        continue;
      }
      if (i == 0 && pieces.size() == 1) continue;  // "\\?\C:" names the volume
      out.code = kErrorInvalidName;
      return;
    }
    if (piece == u"." || piece == u"..") {
      out.code = kErrorInvalidName;
      return;
    }
    out.components.emplace_back(piece);
  }
}

// "server\share\rest" after the leading "\\" (or "\\?\UNC\").
std::u16string_view takeShare(std::u16string_view text, bool literal, SimPath& out) {
  std::size_t serverEnd = 0;
  while (serverEnd < text.size() && !isSeparator(text[serverEnd], literal)) ++serverEnd;
  if (serverEnd == 0 || serverEnd == text.size()) {
    out.code = kErrorInvalidName;
    return {};
  }
  std::size_t shareEnd = serverEnd + 1;
  while (shareEnd < text.size() && !isSeparator(text[shareEnd], literal)) ++shareEnd;
  if (shareEnd == serverEnd + 1) {
    out.code = kErrorInvalidName;
    return {};
  }
  out.volume = u"\\\\";
  out.volume.append(text.substr(0, serverEnd));
  out.volume.push_back(u'\\');
  out.volume.append(text.substr(serverEnd + 1, shareEnd - serverEnd - 1));
  return text.substr(shareEnd);
}

void checkNames(SimPath& out, NameCheck check) {
  if (check == NameCheck::kNone) return;
  for (std::size_t i = 0; i < out.components.size(); ++i) {
    const bool wildcards = check == NameCheck::kWildcardsInLast && i + 1 == out.components.size();
    const std::u16string& name = out.components[i];
    if (name.size() > kMaxNameChars) {
      out.code = kErrorInvalidName;
      return;
    }
    for (char16_t c : name) {
      if (!isValidNameChar(c, wildcards)) {
        out.code = kErrorInvalidName;
        return;
      }
    }
  }
}

}  // namespace

SimPath parseSimPath(std::u16string_view path, NameCheck check) {
  SimPath out;
  if (const auto nul = path.find(u'\0'); nul != std::u16string_view::npos)
    path = path.substr(0, nul);
  if (path.empty()) {
    out.code = kErrorPathNotFound;
    return out;
  }
  if (path.size() > kMaxPathChars) {
    out.code = kErrorFilenameExcedRange;
    return out;
  }

  if (path.starts_with(u"\\\\?\\")) {
    out.literal = true;
    std::u16string_view rest = path.substr(4);
    if (startsWithNoCase(rest, u"UNC\\")) {
      rest = takeShare(rest.substr(4), true, out);
    } else if (startsWithDrive(rest) && (rest.size() == 2 || rest[2] == u'\\')) {
      out.volume = driveVolume(rest[0]);
      rest = rest.substr(2);
    } else {
      out.code = kErrorInvalidName;
    }
    if (!out.ok()) return out;
    if (!rest.empty()) literalComponents(rest.substr(1), out);
    if (out.ok()) checkNames(out, check);
    return out;
  }

  std::u16string_view rest;
  if (isSeparator(path[0], false) && path.size() > 1 && isSeparator(path[1], false)) {
    if (path.size() > 2 && (path[2] == u'.' || path[2] == u'?') &&
        (path.size() == 3 || isSeparator(path[3], false))) {
      out.code = kErrorInvalidName;  // the device namespace is not simulated
      return out;
    }
    rest = takeShare(path.substr(2), false, out);
    if (!out.ok()) return out;
  } else if (startsWithDrive(path)) {
    out.volume = driveVolume(path[0]);
    rest = path.substr(2);
  } else {
    out.volume = u"C:";
    rest = path;
  }
  normalise(rest, out);
  checkNames(out, check);
  return out;
}

std::u16string joinSimPath(const SimPath& path) {
  std::u16string text = path.volume;
  if (path.components.empty()) {
    if (!path.isUnc() || path.trailingSeparator) text.push_back(u'\\');
    return text;
  }
  for (const auto& component : path.components) {
    text.push_back(u'\\');
    text.append(component);
  }
  if (path.trailingSeparator) text.push_back(u'\\');
  return text;
}

bool sameSimPath(std::u16string_view a, std::u16string_view b) {
  const SimPath pa = parseSimPath(a, NameCheck::kNone);
  const SimPath pb = parseSimPath(b, NameCheck::kNone);
  if (!pa.ok() || !pb.ok()) return equalsFileNameNoCase(a, b);
  if (!equalsFileNameNoCase(pa.volume, pb.volume) || pa.components.size() != pb.components.size()) {
    return false;
  }
  for (std::size_t i = 0; i < pa.components.size(); ++i) {
    if (!equalsFileNameNoCase(pa.components[i], pb.components[i])) return false;
  }
  return true;
}

namespace {

bool matchFrom(std::u16string_view pattern, std::u16string_view name) {
  // Iterative glob with one backtrack point: linear enough for file names.
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::u16string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == u'?' || fileNameUpcase(pattern[p]) == fileNameUpcase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool matchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*") return true;
  return matchFrom(pattern, name);
}

}  // namespace tolvaran::platform::sim
