#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

constexpr std::uint32_t kOffline = 0x1000;
constexpr std::uint32_t kNotContentIndexed = 0x2000;
constexpr std::uint32_t kSettableAttributes = attr::kReadOnly | attr::kHidden | attr::kSystem |
                                              attr::kArchive | attr::kTemporary | kOffline |
                                              kNotContentIndexed;
// Attributes SetFileAttributes can neither set nor clear; a test may give
// them to entries it adds (a junction is a folder with a reparse point).
constexpr std::uint32_t kFixedAttributes =
    attr::kSparseFile | attr::kReparsePoint | attr::kCompressed;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kFileReadData = 0x1;
constexpr std::uint32_t kFileWriteData = 0x2;
constexpr std::uint32_t kFileAppendData = 0x4;
// A write that would make a file larger than this fails as a full disk would,
// so hostile offsets cannot exhaust the test process's memory.
constexpr std::uint64_t kMaxFileSize = 1ull << 30;

bool wantsRead(std::uint32_t access) {
  return (access & (access::kGenericRead | kGenericAll | kFileReadData)) != 0;
}
bool wantsWrite(std::uint32_t access) {
  return (access & (access::kGenericWrite | kGenericAll | kFileWriteData | kFileAppendData)) != 0;
}
bool wantsDelete(std::uint32_t access) {
  return (access & (access::kDelete | kGenericAll)) != 0;
}
bool wantsData(std::uint32_t access) {
  return wantsRead(access) || wantsWrite(access) || wantsDelete(access);
}

// The server part of an upper-cased "\\SERVER\SHARE" volume key.
std::u16string_view serverOf(std::u16string_view volume) {
  const auto end = volume.find(u'\\', 2);
  return volume.substr(0, end);
}

// The entry a call acts on must exist, be named as what it is and not be on
// its way out.
Win32Code checkExisting(Win32Code lookupCode, const SimFiles::Node* node, const SimPath& path) {
  if (lookupCode != kErrorSuccess) return lookupCode;
  if (!node) return kErrorFileNotFound;
  if (path.trailingSeparator && !node->isFolder()) return kErrorInvalidName;
  if (node->deletePending) return kErrorAccessDenied;
  return kErrorSuccess;
}

// The parent's entry may be the node's last owner: nothing touches the node
// after the erase.
void detach(SimFiles::Node& node) {
  SimFiles::Node* parent = std::exchange(node.parent, nullptr);
  if (parent) parent->children.erase(fileNameUpcase(node.name));
}

void attach(SimFiles::Node& parent, const std::shared_ptr<SimFiles::Node>& node) {
  node->parent = &parent;
  parent.children[fileNameUpcase(node->name)] = node;
}

FindData findDataOf(const SimFiles::Node& node, std::u16string_view name) {
  FindData data;
  data.attributes = node.attributes;
  data.times = node.times;
  data.size = node.isFolder() ? 0 : node.contents.size();
  data.name = name;
  return data;
}

// A folder's entries in the order of their upper-cased names, unit by unit,
// as NTFS lists them.
std::vector<const SimFiles::Node*> inListingOrder(const SimFiles::Node& folder) {
  std::vector<std::pair<std::u16string_view, const SimFiles::Node*>> keyed;
  keyed.reserve(folder.children.size());
  for (const auto& [key, child] : folder.children) keyed.emplace_back(key, child.get());
  std::sort(keyed.begin(), keyed.end());
  std::vector<const SimFiles::Node*> nodes;
  nodes.reserve(keyed.size());
  for (const auto& entry : keyed) nodes.push_back(entry.second);
  return nodes;
}

bool hasWildcard(std::u16string_view name) {
  return name.find_first_of(u"*?") != std::u16string_view::npos;
}

}  // namespace

SimFiles::SimFiles(const SimClock& clock) : clock_(clock), faults_(sameSimPath) {
  addVolume(u"C:");
}

SimFiles::~SimFiles() = default;

template <class R, class Body>
R SimFiles::call(FileOp op, std::u16string_view path, std::u16string_view otherPath, Body&& body) {
  R result{};
  if (const Win32Code fault = faults_.check(op, path); fault != kErrorSuccess) {
    result.code = fault;
  } else {
    result = body();
  }
  journal_.push_back({op, std::u16string(path), std::u16string(otherPath), result.code});
  return result;
}

// --- Lookups ---------------------------------------------------------------

SimFiles::Lookup SimFiles::resolve(std::u16string_view path, NameCheck check) const {
  return resolve(parseSimPath(path, check));
}

SimFiles::Lookup SimFiles::resolveView(std::u16string_view path, NameCheck check) const {
  return resolve(wow64_.apply(parseSimPath(path, check)));
}

SimFiles::Lookup SimFiles::resolve(SimPath parsed) const {
  Lookup lookup;
  lookup.path = std::move(parsed);
  const SimPath& path = lookup.path;
  if (!path.ok()) {
    lookup.code = path.code;
    return lookup;
  }
  const std::u16string volumeKey = fileNameUpcase(path.volume);
  const auto volume = volumes_.find(volumeKey);
  if (volume == volumes_.end()) {
    lookup.code = kErrorPathNotFound;
    if (path.isUnc()) {
      const bool knownServer = std::any_of(volumes_.begin(), volumes_.end(), [&](const auto& v) {
        return v.first.size() > 2 && v.first[0] == u'\\' &&
               serverOf(v.first) == serverOf(volumeKey);
      });
      lookup.code = knownServer ? Win32Code{67} : kErrorBadNetPath;  // ERROR_BAD_NET_NAME
    }
    return lookup;
  }
  std::shared_ptr<Node> current = volume->second;
  if (path.components.empty()) {
    lookup.node = current;
    return lookup;
  }
  for (std::size_t i = 0; i + 1 < path.components.size(); ++i) {
    const auto child = current->children.find(fileNameUpcase(path.components[i]));
    if (child == current->children.end() || !child->second->isFolder()) {
      lookup.code = kErrorPathNotFound;
      return lookup;
    }
    current = child->second;
  }
  lookup.parent = current;
  const auto last = current->children.find(fileNameUpcase(path.components.back()));
  if (last != current->children.end()) lookup.node = last->second;
  return lookup;
}

std::shared_ptr<SimFiles::Node> SimFiles::makeNode(std::u16string_view name,
                                                   std::uint32_t attributes) const {
  auto node = std::make_shared<Node>();
  node->name = name;
  node->attributes = attributes;
  const std::uint64_t now = clock_.fileTimeNow();
  node->times = FileTimes{now, now, now};
  return node;
}

bool SimFiles::sharingConflict(const Node& node, std::uint32_t access, std::uint32_t share) const {
  if (!wantsData(access)) return false;
  for (const auto& [handle, open] : files_) {
    if (open.node.get() != &node || !wantsData(open.access)) continue;
    if ((wantsRead(access) && !(open.share & share::kRead)) ||
        (wantsWrite(access) && !(open.share & share::kWrite)) ||
        (wantsDelete(access) && !(open.share & share::kDelete)) ||
        (wantsRead(open.access) && !(share & share::kRead)) ||
        (wantsWrite(open.access) && !(share & share::kWrite)) ||
        (wantsDelete(open.access) && !(share & share::kDelete))) {
      return true;
    }
  }
  return false;
}

bool SimFiles::isOpen(const Node& node) const {
  return std::any_of(files_.begin(), files_.end(),
                     [&](const auto& entry) { return entry.second.node.get() == &node; });
}

std::u16string SimFiles::handlePath(std::uint64_t handle) const {
  if (const auto file = files_.find(handle); file != files_.end()) return file->second.path;
  if (const auto find = finds_.find(handle); find != finds_.end()) return find->second.pattern;
  return {};
}

// --- Port calls --------------------------------------------------------------

Result<std::uint32_t> SimFiles::getFileAttributes(std::u16string_view path) {
  auto result = call<Result<std::uint32_t>>(FileOp::kGetFileAttributes, path, {},
                                            [&] { return doGetFileAttributes(path); });
  if (!result.ok()) result.value = kInvalidFileAttributes;
  return result;
}

Result<std::uint32_t> SimFiles::doGetFileAttributes(std::u16string_view path) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(lookup.code, lookup.node.get(), lookup.path)) {
    return {kInvalidFileAttributes, code};
  }
  return {lookup.node->attributes, kErrorSuccess};
}

Status SimFiles::setFileAttributes(std::u16string_view path, std::uint32_t attributes) {
  return call<Status>(FileOp::kSetFileAttributes, path, {},
                      [&] { return doSetFileAttributes(path, attributes); });
}

Status SimFiles::doSetFileAttributes(std::u16string_view path, std::uint32_t attributes) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(lookup.code, lookup.node.get(), lookup.path)) {
    return {code};
  }
  Node& node = *lookup.node;
  const std::uint32_t kept =
      (attributes & kSettableAttributes) | (node.attributes & kFixedAttributes);
  if (node.isFolder()) {
    node.attributes = attr::kDirectory | kept;
  } else {
    node.attributes = kept != 0 ? kept : attr::kNormal;
  }
  return {kErrorSuccess};
}

Status SimFiles::deleteFile(std::u16string_view path) {
  return call<Status>(FileOp::kDeleteFile, path, {}, [&] { return doDeleteFile(path); });
}

Status SimFiles::doDeleteFile(std::u16string_view path) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(lookup.code, lookup.node.get(), lookup.path)) {
    return {code};
  }
  Node& node = *lookup.node;
  if (node.isFolder()) return {kErrorAccessDenied};
  if (sharingConflict(node, access::kDelete, share::kRead | share::kWrite | share::kDelete)) {
    return {kErrorSharingViolation};
  }
  if (node.attributes & attr::kReadOnly) return {kErrorAccessDenied};
  if (isOpen(node)) {
    node.deletePending = true;
  } else {
    detach(node);
  }
  return {kErrorSuccess};
}

Status SimFiles::createDirectory(std::u16string_view path) {
  return call<Status>(FileOp::kCreateDirectory, path, {}, [&] { return doCreateDirectory(path); });
}

Status SimFiles::doCreateDirectory(std::u16string_view path) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (lookup.code != kErrorSuccess) return {lookup.code};
  if (!lookup.parent) return {kErrorAccessDenied};  // a volume's root
  if (lookup.node) return {kErrorAlreadyExists};
  attach(*lookup.parent, makeNode(lookup.path.components.back(), attr::kDirectory));
  return {kErrorSuccess};
}

Status SimFiles::removeDirectory(std::u16string_view path) {
  return call<Status>(FileOp::kRemoveDirectory, path, {}, [&] { return doRemoveDirectory(path); });
}

Status SimFiles::doRemoveDirectory(std::u16string_view path) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(lookup.code, lookup.node.get(), lookup.path)) {
    return {code};
  }
  Node& node = *lookup.node;
  if (!node.isFolder()) return {kErrorDirectory};
  if (!lookup.parent) return {kErrorAccessDenied};
  if (node.attributes & attr::kReadOnly) return {kErrorAccessDenied};
  if (!node.children.empty()) return {kErrorDirNotEmpty};
  detach(node);
  return {kErrorSuccess};
}

Status SimFiles::moveFile(std::u16string_view existing, std::u16string_view target) {
  return call<Status>(FileOp::kMoveFile, existing, target,
                      [&] { return doMoveFile(existing, target); });
}

Status SimFiles::doMoveFile(std::u16string_view existing, std::u16string_view target) {
  const Lookup source = resolveView(existing, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(source.code, source.node.get(), source.path)) {
    return {code};
  }
  if (!source.parent) return {kErrorAccessDenied};
  const Lookup destination = resolveView(target, NameCheck::kStrict);
  if (destination.code != kErrorSuccess) return {destination.code};
  if (!destination.parent) return {kErrorAccessDenied};
  if (destination.node && destination.node != source.node) return {kErrorAlreadyExists};
  if (destination.path.trailingSeparator && !source.node->isFolder()) return {kErrorInvalidName};
  if (sharingConflict(*source.node, access::kDelete,
                      share::kRead | share::kWrite | share::kDelete)) {
    return {kErrorSharingViolation};
  }
  for (const Node* up = destination.parent.get(); up; up = up->parent) {
    if (up == source.node.get()) return {kErrorAccessDenied};
  }
  if (source.node->isFolder() &&
      !equalsFileNameNoCase(source.path.volume, destination.path.volume)) {
    return {kErrorNotSameDevice};
  }
  const std::shared_ptr<Node> node = source.node;
  detach(*node);
  node->name = destination.path.components.back();
  attach(*destination.parent, node);
  return {kErrorSuccess};
}

Status SimFiles::copyFile(std::u16string_view existing, std::u16string_view target,
                          bool failIfExists) {
  return call<Status>(FileOp::kCopyFile, existing, target,
                      [&] { return doCopyFile(existing, target, failIfExists); });
}

Status SimFiles::doCopyFile(std::u16string_view existing, std::u16string_view target,
                            bool failIfExists) {
  const Lookup source = resolveView(existing, NameCheck::kStrict);
  if (const Win32Code code = checkExisting(source.code, source.node.get(), source.path)) {
    return {code};
  }
  if (source.node->isFolder()) return {kErrorAccessDenied};
  if (sharingConflict(*source.node, access::kGenericRead, share::kRead | share::kWrite)) {
    return {kErrorSharingViolation};
  }
  const Lookup destination = resolveView(target, NameCheck::kStrict);
  if (destination.code != kErrorSuccess) return {destination.code};
  if (!destination.parent) return {kErrorAccessDenied};
  if (destination.path.trailingSeparator) return {kErrorInvalidName};
  const Node& from = *source.node;
  std::uint32_t attributes = (from.attributes & ~attr::kNormal) | attr::kArchive;
  if (destination.node) {
    Node& to = *destination.node;
    if (to.isFolder() || to.deletePending) return {kErrorAccessDenied};
    if (failIfExists) return {kErrorFileExists};
    if (sharingConflict(to, access::kGenericWrite, share::kNone)) return {kErrorSharingViolation};
    if (to.attributes & (attr::kReadOnly | attr::kHidden)) return {kErrorAccessDenied};
    to.contents = from.contents;
    to.attributes = attributes;
    to.times.lastWrite = from.times.lastWrite;
    to.times.lastAccess = clock_.fileTimeNow();
    return {kErrorSuccess};
  }
  auto copy = makeNode(destination.path.components.back(), attributes);
  copy->contents = from.contents;
  copy->times.lastWrite = from.times.lastWrite;
  attach(*destination.parent, copy);
  return {kErrorSuccess};
}

Result<std::u16string> SimFiles::getFullPathName(std::u16string_view path) {
  return call<Result<std::u16string>>(
      FileOp::kGetFullPathName, path, {}, [&]() -> Result<std::u16string> {
        const std::u16string_view text = path.substr(0, path.find(u'\0'));
        // The literal form is already absolute: returned as written.
        if (text.starts_with(u"\\\\?\\")) return {std::u16string(text), kErrorSuccess};
        const SimPath parsed = parseSimPath(text, NameCheck::kNone);
        if (!parsed.ok()) return {{}, parsed.code};
        return {joinSimPath(parsed), kErrorSuccess};
      });
}

Result<std::u16string> SimFiles::getLongPathName(std::u16string_view path) {
  return call<Result<std::u16string>>(FileOp::kGetLongPathName, path, {},
                                      [&] { return doGetLongPathName(path); });
}

Result<std::u16string> SimFiles::doGetLongPathName(std::u16string_view path) {
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (lookup.code != kErrorSuccess) return {{}, lookup.code};
  if (!lookup.node) return {{}, kErrorFileNotFound};
  return {std::u16string(path.substr(0, path.find(u'\0'))), kErrorSuccess};
}

Result<FindFirst> SimFiles::findFirstFile(std::u16string_view pattern) {
  return call<Result<FindFirst>>(FileOp::kFindFirstFile, pattern, {},
                                 [&] { return doFindFirstFile(pattern); });
}

Result<FindFirst> SimFiles::doFindFirstFile(std::u16string_view pattern) {
  const SimPath parsed = wow64_.apply(parseSimPath(pattern, NameCheck::kWildcardsInLast));
  if (!parsed.ok()) return {{}, parsed.code};
  if (parsed.trailingSeparator || parsed.components.empty()) return {{}, kErrorFileNotFound};
  const Lookup lookup = resolve(parsed);
  if (lookup.code != kErrorSuccess) return {{}, lookup.code};

  OpenFind find;
  find.pattern = pattern;
  const std::u16string& last = parsed.components.back();
  if (!hasWildcard(last)) {
    if (lookup.node) find.entries.push_back(findDataOf(*lookup.node, lookup.node->name));
  } else {
    const Node& folder = *lookup.parent;
    if (folder.parent) {
      if (matchesWildcard(last, u".")) find.entries.push_back(findDataOf(folder, u"."));
      if (matchesWildcard(last, u"..")) find.entries.push_back(findDataOf(*folder.parent, u".."));
    }
    for (const Node* child : inListingOrder(folder)) {
      if (matchesWildcard(last, child->name))
        find.entries.push_back(findDataOf(*child, child->name));
    }
  }
  if (find.entries.empty()) return {{}, kErrorFileNotFound};

  const FindHandle handle = nextHandle_;
  nextHandle_ += 4;
  FindFirst first{handle, find.entries.front()};
  find.next = 1;
  finds_.emplace(handle, std::move(find));
  return {std::move(first), kErrorSuccess};
}

Result<FindData> SimFiles::findNextFile(FindHandle find) {
  return call<Result<FindData>>(FileOp::kFindNextFile, handlePath(find), {},
                                [&]() -> Result<FindData> {
                                  const auto open = finds_.find(find);
                                  if (open == finds_.end()) return {{}, kErrorInvalidHandle};
                                  OpenFind& state = open->second;
                                  if (state.next >= state.entries.size())
                                    return {{}, kErrorNoMoreFiles};
                                  return {state.entries[state.next++], kErrorSuccess};
                                });
}

Status SimFiles::findClose(FindHandle find) {
  return call<Status>(FileOp::kFindClose, handlePath(find), {}, [&]() -> Status {
    return {finds_.erase(find) == 1 ? kErrorSuccess : kErrorInvalidHandle};
  });
}

Result<FileHandle> SimFiles::createFile(std::u16string_view path, std::uint32_t desiredAccess,
                                        std::uint32_t shareMode, Disposition disposition) {
  return call<Result<FileHandle>>(FileOp::kCreateFile, path, {}, [&] {
    return doCreateFile(path, desiredAccess, shareMode, disposition);
  });
}

Result<FileHandle> SimFiles::doCreateFile(std::u16string_view path, std::uint32_t desiredAccess,
                                          std::uint32_t shareMode, Disposition disposition) {
  const auto how = static_cast<std::uint32_t>(disposition);
  if (how < 1 || how > 5) return {kInvalidFileHandle, kErrorInvalidParameter};
  if (disposition == Disposition::kTruncateExisting && !wantsWrite(desiredAccess)) {
    return {kInvalidFileHandle, kErrorInvalidParameter};
  }
  const Lookup lookup = resolveView(path, NameCheck::kStrict);
  if (lookup.code != kErrorSuccess) return {kInvalidFileHandle, lookup.code};
  if (!lookup.parent) return {kInvalidFileHandle, kErrorAccessDenied};  // a volume's root

  std::shared_ptr<Node> node = lookup.node;
  if (node) {
    if (node->isFolder()) {
      return {kInvalidFileHandle,
              disposition == Disposition::kCreateNew ? kErrorFileExists : kErrorAccessDenied};
    }
    if (lookup.path.trailingSeparator) return {kInvalidFileHandle, kErrorInvalidName};
    if (node->deletePending) return {kInvalidFileHandle, kErrorAccessDenied};
    if (disposition == Disposition::kCreateNew) return {kInvalidFileHandle, kErrorFileExists};
    if (sharingConflict(*node, desiredAccess, shareMode)) {
      return {kInvalidFileHandle, kErrorSharingViolation};
    }
    const bool truncates =
        disposition == Disposition::kCreateAlways || disposition == Disposition::kTruncateExisting;
    if ((node->attributes & attr::kReadOnly) && (truncates || wantsWrite(desiredAccess))) {
      return {kInvalidFileHandle, kErrorAccessDenied};
    }
    if (truncates && (node->attributes & (attr::kHidden | attr::kSystem))) {
      return {kInvalidFileHandle, kErrorAccessDenied};
    }
    if (truncates) {
      node->contents.clear();
      node->times.lastWrite = clock_.fileTimeNow();
      node->attributes = disposition == Disposition::kCreateAlways
                             ? attr::kArchive
                             : (node->attributes & ~attr::kNormal) | attr::kArchive;
    }
  } else {
    if (disposition == Disposition::kOpenExisting ||
        disposition == Disposition::kTruncateExisting) {
      return {kInvalidFileHandle, kErrorFileNotFound};
    }
    if (lookup.path.trailingSeparator) return {kInvalidFileHandle, kErrorInvalidName};
    node = makeNode(lookup.path.components.back(), attr::kArchive);
    attach(*lookup.parent, node);
  }
  const FileHandle handle = nextHandle_;
  nextHandle_ += 4;
  files_.emplace(handle, OpenFile{node, std::u16string(path), desiredAccess, shareMode, 0});
  return {handle, kErrorSuccess};
}

Result<std::uint32_t> SimFiles::readFile(FileHandle file, std::span<std::byte> buffer) {
  return call<Result<std::uint32_t>>(
      FileOp::kReadFile, handlePath(file), {}, [&]() -> Result<std::uint32_t> {
        const auto open = files_.find(file);
        if (open == files_.end()) return {0, kErrorInvalidHandle};
        OpenFile& state = open->second;
        if (!wantsRead(state.access)) return {0, kErrorAccessDenied};
        const std::string& contents = state.node->contents;
        if (state.position >= contents.size()) return {0, kErrorSuccess};
        const std::uint64_t available = contents.size() - state.position;
        const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            {available, buffer.size(), std::numeric_limits<std::uint32_t>::max()}));
        std::memcpy(buffer.data(), contents.data() + state.position, count);
        state.position += count;
        return {count, kErrorSuccess};
      });
}

Result<std::uint32_t> SimFiles::writeFile(FileHandle file, std::span<const std::byte> data) {
  return call<Result<std::uint32_t>>(
      FileOp::kWriteFile, handlePath(file), {}, [&]() -> Result<std::uint32_t> {
        const auto open = files_.find(file);
        if (open == files_.end()) return {0, kErrorInvalidHandle};
        OpenFile& state = open->second;
        if (!wantsWrite(state.access)) return {0, kErrorAccessDenied};
        const auto count = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(data.size(), std::numeric_limits<std::uint32_t>::max()));
        if (state.position > kMaxFileSize || count > kMaxFileSize - state.position) {
          return {0, kErrorDiskFull};
        }
        std::string& contents = state.node->contents;
        const auto end = static_cast<std::size_t>(state.position + count);
        if (contents.size() < end) contents.resize(end, '\0');
        if (count != 0) std::memcpy(contents.data() + state.position, data.data(), count);
        state.position = end;
        state.node->times.lastWrite = clock_.fileTimeNow();
        return {count, kErrorSuccess};
      });
}

Result<std::uint64_t> SimFiles::getFileSize(FileHandle file) {
  return call<Result<std::uint64_t>>(FileOp::kGetFileSize, handlePath(file), {},
                                     [&]() -> Result<std::uint64_t> {
                                       const auto open = files_.find(file);
                                       if (open == files_.end()) return {0, kErrorInvalidHandle};
                                       return {open->second.node->contents.size(), kErrorSuccess};
                                     });
}

Result<std::uint64_t> SimFiles::seekFile(FileHandle file, std::uint64_t offset) {
  return call<Result<std::uint64_t>>(
      FileOp::kSeekFile, handlePath(file), {}, [&]() -> Result<std::uint64_t> {
        const auto open = files_.find(file);
        if (open == files_.end()) return {0, kErrorInvalidHandle};
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
          return {0, 131};  // ERROR_NEGATIVE_SEEK: the offset is signed to Win32
        }
        open->second.position = offset;
        return {offset, kErrorSuccess};
      });
}

Result<FileTimes> SimFiles::getFileTime(FileHandle file) {
  return call<Result<FileTimes>>(FileOp::kGetFileTime, handlePath(file), {},
                                 [&]() -> Result<FileTimes> {
                                   const auto open = files_.find(file);
                                   if (open == files_.end()) return {{}, kErrorInvalidHandle};
                                   return {open->second.node->times, kErrorSuccess};
                                 });
}

Status SimFiles::closeHandle(FileHandle file) {
  return call<Status>(FileOp::kCloseHandle, handlePath(file), {}, [&]() -> Status {
    const auto open = files_.find(file);
    if (open == files_.end()) return {kErrorInvalidHandle};
    const std::shared_ptr<Node> node = std::move(open->second.node);
    files_.erase(open);
    if (node->deletePending && !isOpen(*node)) detach(*node);
    return {kErrorSuccess};
  });
}

Result<bool> SimFiles::pathFileExists(std::u16string_view path) {
  return call<Result<bool>>(FileOp::kPathFileExists, path, {}, [&]() -> Result<bool> {
    const auto attributes = doGetFileAttributes(path);
    return {attributes.ok(), attributes.code};
  });
}

Result<bool> SimFiles::shellPathFileExists(std::u16string_view path) {
  return call<Result<bool>>(FileOp::kShellPathFileExists, path, {}, [&]() -> Result<bool> {
    const auto attributes = doGetFileAttributes(path);
    return {attributes.ok(), attributes.code};
  });
}

Result<Wow64RedirectionValue> SimFiles::disableWow64FsRedirection() {
  return call<Result<Wow64RedirectionValue>>(FileOp::kDisableWow64FsRedirection, {}, {},
                                             [&] { return wow64_.disable(); });
}

Status SimFiles::revertWow64FsRedirection(Wow64RedirectionValue oldValue) {
  return call<Status>(FileOp::kRevertWow64FsRedirection, {}, {},
                      [&] { return wow64_.revert(oldValue); });
}

// --- Setting up and inspecting ---------------------------------------------

bool SimFiles::addVolume(std::u16string_view root) {
  SimPath path = parseSimPath(root, NameCheck::kStrict);
  if (!path.ok() || !path.components.empty() || path.literal) return false;
  const bool isDrive = root.size() == 2 || (root.size() == 3 && root[2] == u'\\');
  if (!isDrive && !path.isUnc()) return false;
  auto node = makeNode(path.volume, attr::kDirectory);
  return volumes_.emplace(fileNameUpcase(path.volume), std::move(node)).second;
}

std::shared_ptr<SimFiles::Node> SimFiles::ensureFolder(const SimPath& path) {
  const auto volume = volumes_.find(fileNameUpcase(path.volume));
  if (volume == volumes_.end()) return nullptr;
  std::shared_ptr<Node> current = volume->second;
  for (const auto& component : path.components) {
    const auto child = current->children.find(fileNameUpcase(component));
    if (child == current->children.end()) {
      auto folder = makeNode(component, attr::kDirectory);
      attach(*current, folder);
      current = std::move(folder);
    } else if (child->second->isFolder()) {
      current = child->second;
    } else {
      return nullptr;
    }
  }
  return current;
}

bool SimFiles::addFolder(std::u16string_view path, std::uint32_t attributes) {
  const SimPath parsed = parseSimPath(path, NameCheck::kStrict);
  if (!parsed.ok()) return false;
  const auto folder = ensureFolder(parsed);
  if (!folder) return false;
  folder->attributes = (attributes & (kSettableAttributes | kFixedAttributes)) | attr::kDirectory;
  return true;
}

bool SimFiles::addFile(std::u16string_view path, std::string_view contents,
                       std::uint32_t attributes) {
  SimPath parsed = parseSimPath(path, NameCheck::kStrict);
  if (!parsed.ok() || parsed.components.empty() || parsed.trailingSeparator) return false;
  const std::u16string name = parsed.components.back();
  parsed.components.pop_back();
  const auto folder = ensureFolder(parsed);
  if (!folder) return false;
  const auto existing = folder->children.find(fileNameUpcase(name));
  if (existing != folder->children.end() && existing->second->isFolder()) return false;
  attributes &= kSettableAttributes | kFixedAttributes;
  auto node = makeNode(name, attributes != 0 ? attributes : attr::kNormal);
  node->contents = contents;
  if (existing != folder->children.end()) detach(*existing->second);
  attach(*folder, node);
  return true;
}

bool SimFiles::exists(std::u16string_view path) const {
  return resolve(path, NameCheck::kStrict).node != nullptr;
}

std::optional<std::uint32_t> SimFiles::attributesOf(std::u16string_view path) const {
  const Lookup lookup = resolve(path, NameCheck::kStrict);
  if (!lookup.node) return std::nullopt;
  return lookup.node->attributes;
}

std::optional<std::string> SimFiles::readFileBytes(std::u16string_view path) const {
  const Lookup lookup = resolve(path, NameCheck::kStrict);
  if (!lookup.node || lookup.node->isFolder()) return std::nullopt;
  return lookup.node->contents;
}

std::optional<FileTimes> SimFiles::timesOf(std::u16string_view path) const {
  const Lookup lookup = resolve(path, NameCheck::kStrict);
  if (!lookup.node) return std::nullopt;
  return lookup.node->times;
}

bool SimFiles::setTimes(std::u16string_view path, const FileTimes& times) {
  const Lookup lookup = resolve(path, NameCheck::kStrict);
  if (!lookup.node) return false;
  lookup.node->times = times;
  return true;
}

std::vector<std::u16string> SimFiles::listFolder(std::u16string_view path) const {
  std::vector<std::u16string> names;
  const Lookup lookup = resolve(path, NameCheck::kStrict);
  if (!lookup.node || !lookup.node->isFolder()) return names;
  for (const Node* child : inListingOrder(*lookup.node)) names.push_back(child->name);
  return names;
}

std::size_t SimFiles::openHandleCount() const noexcept {
  return files_.size();
}
std::size_t SimFiles::openFindCount() const noexcept {
  return finds_.size();
}

}  // namespace tolvaran::platform::sim
