#include "simrun/machine_changes.h"

#include <algorithm>
#include <array>
#include <utility>

#include "shortcut/id_list_path.h"
#include "shortcut/lnk_reader.h"
#include "simrun/machine_description.h"
#include "support/text.h"

namespace tolvaran::simrun {
namespace {

void walk(const platform::sim::SimFiles& files, const std::u16string& folder, DiskState& state) {
  for (const std::u16string& name : files.listFolder(folder + u"\\")) {
    const std::u16string path = folder + u"\\" + name;
    DiskEntry entry{path, files.attributesOf(path).value_or(0), {}};
    if (entry.isFolder()) {
      state.emplace(foldCase(path), entry);
      walk(files, path, state);
    } else {
      entry.bytes = files.readFileBytes(path).value_or(std::string());
      state.emplace(foldCase(path), std::move(entry));
    }
  }
}

bool ignoredPath(const std::u16string& folded, const std::vector<std::u16string>& ignored) {
  for (const std::u16string& prefix : ignored) {
    if (prefix.empty()) continue;
    if (folded == prefix) return true;
    if (folded.size() > prefix.size() && folded.starts_with(prefix) &&
        folded[prefix.size()] == u'\\') {
      return true;
    }
  }
  return false;
}

bool isShortcut(std::u16string_view path) {
  return endsWithNoCase(path, u".lnk");
}

std::string inQuotes(std::u16string_view value) {
  std::string out(1, '"');
  out += narrow(value);
  out += '"';
  return out;
}

std::string iconText(const ShortcutFieldsView& fields) {
  return inQuotes(fields.iconLocation) + "," + std::to_string(fields.iconIndex);
}

using FieldList = std::array<std::pair<const char*, std::string>, 5>;

FieldList fieldsOf(const ShortcutFieldsView& f) {
  return {{{"target", inQuotes(f.target)},
           {"arguments", inQuotes(f.arguments)},
           {"workingDir", inQuotes(f.workingDir)},
           {"icon", iconText(f)},
           {"description", inQuotes(f.description)}}};
}

std::string fieldLine(const char* name, const std::string& value) {
  std::string line = "             ";
  line += name;
  line.append(12 - std::min<std::size_t>(12, std::string_view(name).size()), ' ');
  line += value;
  return line;
}

void addShortcutFields(std::vector<std::string>& lines, const DiskEntry& entry,
                       const lnk::AnsiCodec& codec) {
  const auto fields = readShortcutFields(entry.bytes, codec);
  if (!fields) {
    lines.push_back(fieldLine("(bytes)", "no shortcut"));
    return;
  }
  for (const auto& [name, value] : fieldsOf(*fields)) {
    if (value != "\"\"" && value != "\"\",0") lines.push_back(fieldLine(name, value));
  }
}

void addShortcutDifferences(std::vector<std::string>& lines, const DiskEntry& before,
                            const DiskEntry& after, const lnk::AnsiCodec& codec) {
  const auto was = readShortcutFields(before.bytes, codec);
  const auto now = readShortcutFields(after.bytes, codec);
  if (!was || !now) {
    lines.push_back(fieldLine("(bytes)", std::string(was ? "shortcut" : "no shortcut") + " -> " +
                                             (now ? "shortcut" : "no shortcut")));
    return;
  }
  const FieldList a = fieldsOf(*was);
  const FieldList b = fieldsOf(*now);
  bool any = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].second == b[i].second) continue;
    lines.push_back(fieldLine(a[i].first, a[i].second + " -> " + b[i].second));
    any = true;
  }
  if (!any) lines.push_back(fieldLine("(bytes)", "fields unchanged"));
}

}  // namespace

DiskState snapshotDisk(const platform::sim::SimFiles& files,
                       const std::vector<std::u16string>& roots) {
  DiskState state;
  for (const std::u16string& root : roots) walk(files, root, state);
  return state;
}

std::optional<ShortcutFieldsView> readShortcutFields(std::string_view bytes,
                                                     const lnk::AnsiCodec& codec) {
  const lnk::ReadResult read = lnk::readLnk(bytes, codec);
  if (read.error == lnk::ReadError::kTruncatedHeader ||
      read.error == lnk::ReadError::kBadHeaderSize) {
    return std::nullopt;
  }
  const lnk::LnkFile& file = read.file;
  ShortcutFieldsView view;
  const auto string = [&](lnk::StringField field) {
    const auto& value = file.strings[field];
    return value ? value->substr(0, value->find(u'\0')) : std::u16string();
  };
  view.arguments = string(lnk::StringField::kArguments);
  view.workingDir = string(lnk::StringField::kWorkingDir);
  view.iconLocation = string(lnk::StringField::kIconLocation);
  view.description = string(lnk::StringField::kName);
  view.iconIndex = file.header.iconIndex;
  if (const lnk::ExtraBlock* block = file.findBlock(lnk::sig::kEnvironmentVariables)) {
    if (const auto variables = lnk::readExpandableString(*block)) {
      view.target =
          !variables->unicode.empty() ? variables->unicode : codec.toText(variables->ansi);
    }
  }
  if (view.target.empty() && file.idList) {
    view.target = lnk::idListFileSystemPath(*file.idList, codec).value_or(std::u16string());
  }
  if (view.target.empty() && file.linkInfo) view.target = lnk::localPath(*file.linkInfo, codec);
  return view;
}

std::vector<std::string> describeChanges(const DiskState& before, const DiskState& after,
                                         const std::vector<std::u16string>& ignored,
                                         const std::vector<std::u16string>& recycled,
                                         const lnk::AnsiCodec& codec) {
  std::vector<std::string> lines;
  const auto wasRecycled = [&](const std::u16string& key) {
    return std::any_of(recycled.begin(), recycled.end(),
                       [&](const std::u16string& path) { return foldCase(path) == key; });
  };
  for (const auto& [key, was] : before) {
    if (ignoredPath(key, ignored) || after.contains(key)) continue;
    const char* gone = was.isFolder()     ? "removed folder "
                       : wasRecycled(key) ? "recycled   "
                                          : "removed    ";
    lines.push_back(gone + narrow(was.path));
  }
  for (const auto& [key, now] : after) {
    if (ignoredPath(key, ignored)) continue;
    const auto old = before.find(key);
    if (old == before.end()) {
      lines.push_back(std::string(now.isFolder() ? "added folder " : "added      ") +
                      narrow(now.path) + "  (" + attributeLetters(now.attributes) + ")");
      if (!now.isFolder() && isShortcut(now.path)) addShortcutFields(lines, now, codec);
      continue;
    }
    const DiskEntry& was = old->second;
    if (was.path != now.path) {
      lines.push_back("renamed    " + narrow(was.path) + " -> " + narrow(now.path));
    }
    if (was.bytes != now.bytes) {
      lines.push_back("rewritten  " + narrow(now.path));
      if (isShortcut(now.path)) addShortcutDifferences(lines, was, now, codec);
    }
    if (was.attributes != now.attributes) {
      lines.push_back("attributes " + narrow(now.path) + "  " + attributeLetters(was.attributes) +
                      " -> " + attributeLetters(now.attributes));
    }
  }
  return lines;
}

}  // namespace tolvaran::simrun
