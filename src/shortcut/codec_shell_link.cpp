#include "shortcut/codec_shell_link.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <utility>

#include "platform/scoped_file.h"
#include "shortcut/id_list_path.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_reader.h"
#include "shortcut/lnk_writer.h"
#include "support/text.h"

namespace tolvaran::lnk {
namespace {

using platform::ComResult;
using platform::ComStatus;
using platform::HResult;

std::u16string_view upToNul(std::u16string_view text) {
  return text.substr(0, text.find(u'\0'));
}

// What a buffer of `bufferChars` characters holds after the shell copied
// `text` into it (lstrcpynW).
std::u16string intoBuffer(std::u16string_view text, std::int32_t bufferChars) {
  if (bufferChars <= 0) return {};
  return std::u16string(upToNul(text).substr(0, static_cast<std::size_t>(bufferChars) - 1));
}

bool namesEnvironmentVariable(std::u16string_view text) {
  const std::size_t open = text.find(u'%');
  return open != std::u16string_view::npos &&
         text.find(u'%', open + 1) != std::u16string_view::npos;
}

std::u16string_view folderOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? std::u16string_view() : path.substr(0, slash);
}

class CodecShellLink final : public platform::ShellLink {
 public:
  CodecShellLink(platform::Files& files, platform::System& system)
      : files_(files), system_(system), codec_(systemCodec(system)) {}

  ComStatus load(std::u16string_view path, std::uint32_t /*mode*/) override {
    std::string bytes;
    if (const HResult failed = readAll(path, bytes)) return {failed};
    ReadResult read = readLnk(bytes, codec_);
    const bool notShortcut = read.error == ReadError::kTruncatedHeader ||
                             read.error == ReadError::kBadHeaderSize ||
                             read.file.header.clsid != kShellLinkClsid;
    if (notShortcut) return {platform::kHresultFail};
    file_ = std::move(read.file);
    linkPath_ = fullPath(path);
    return {read.ok() ? platform::kHresultOk : platform::kHresultFail};
  }

  ComStatus save(std::u16string_view path, bool remember) override {
    const WriteResult written = writeLnk(file_, codec_);
    if (!written.ok()) return {platform::kHresultInvalidArg};
    const auto opened =
        files_.createFile(path, platform::access::kGenericWrite, platform::share::kNone,
                          platform::Disposition::kCreateAlways);
    if (!opened.ok()) return {platform::hresultFromWin32(opened.code)};
    platform::ScopedFile file(files_, opened.value);
    std::span<const std::byte> rest = std::as_bytes(std::span(written.bytes));
    while (!rest.empty()) {
      const auto wrote = files_.writeFile(file.get(), rest);
      if (!wrote.ok()) return {platform::hresultFromWin32(wrote.code)};
      if (wrote.value == 0) return {platform::kHresultFail};
      rest = rest.subspan(std::min<std::size_t>(wrote.value, rest.size()));
    }
    if (remember) linkPath_ = fullPath(path);
    return {};
  }

  ComStatus saveCompleted(std::u16string_view /*path*/) override { return {}; }

  ComResult<std::u16string> getPath(std::int32_t bufferChars, std::uint32_t flags) override {
    const std::u16string path = target(flags);
    return {intoBuffer(path, bufferChars),
            path.empty() ? platform::kHresultFalse : platform::kHresultOk};
  }
  ComResult<std::u16string> getArguments(std::int32_t bufferChars) override {
    return {intoBuffer(text(StringField::kArguments), bufferChars)};
  }
  ComResult<std::u16string> getDescription(std::int32_t bufferChars) override {
    return {intoBuffer(text(StringField::kName), bufferChars)};
  }
  ComResult<std::uint16_t> getHotkey() override { return {file_.header.hotKey}; }
  ComResult<platform::IconLocation> getIconLocation(std::int32_t bufferChars) override {
    return {{intoBuffer(text(StringField::kIconLocation), bufferChars), file_.header.iconIndex}};
  }
  ComResult<std::int32_t> getShowCmd() override {
    return {static_cast<std::int32_t>(file_.header.showCommand)};
  }
  ComResult<std::u16string> getWorkingDirectory(std::int32_t bufferChars) override {
    return {intoBuffer(text(StringField::kWorkingDir), bufferChars)};
  }

  ComStatus setPath(std::u16string_view path) override {
    std::u16string given(upToNul(path));
    if (given.size() >= 2 && given.front() == u'"' && given.back() == u'"') {
      given = given.substr(1, given.size() - 2);
    }
    if (given.empty()) {
      setTargetPath(file_, {}, codec_);
      return {};
    }
    std::u16string full;
    if (namesEnvironmentVariable(given)) {
      const auto expanded = system_.expandEnvironmentStrings(given);
      full = fullPath(expanded.ok() ? expanded.value : given);
      setEnvironmentTarget(file_, given, full, codec_);
    } else {
      full = fullPath(given);
      setTargetPath(file_, full, codec_);
    }
    return {files_.getFileAttributes(full).ok() ? platform::kHresultOk : platform::kHresultFalse};
  }
  ComStatus setArguments(std::u16string_view arguments) override {
    lnk::setArguments(file_, upToNul(arguments), codec_);
    return {};
  }
  ComStatus setWorkingDirectory(std::u16string_view folder) override {
    lnk::setWorkingDirectory(file_, upToNul(folder), codec_);
    return {};
  }
  ComStatus setIconLocation(std::u16string_view path, std::int32_t index) override {
    lnk::setIconLocation(file_, upToNul(path), index, codec_);
    return {};
  }
  ComStatus setShowCmd(std::int32_t showCmd) override {
    setShowCommand(file_, static_cast<std::uint32_t>(showCmd));
    return {};
  }
  ComStatus setHotkey(std::uint16_t hotkey) override {
    setHotKey(file_, hotkey);
    return {};
  }
  ComStatus setDescription(std::u16string_view description) override {
    lnk::setDescription(file_, upToNul(description), codec_);
    return {};
  }

 private:
  // The file's first kShortcutReadLimit bytes; 0, or the open or read
  // error as an HRESULT.
  HResult readAll(std::u16string_view path, std::string& bytes) {
    // The shell opens shortcuts for reading and lets others read too.
    const auto opened =
        files_.createFile(path, platform::access::kGenericRead, platform::share::kRead,
                          platform::Disposition::kOpenExisting);
    if (!opened.ok()) return platform::hresultFromWin32(opened.code);
    platform::ScopedFile file(files_, opened.value);
    std::array<std::byte, 64 * 1024> chunk{};
    while (bytes.size() < kShortcutReadLimit) {
      const auto read = files_.readFile(file.get(), chunk);
      if (!read.ok()) return platform::hresultFromWin32(read.code);
      if (read.value == 0) break;
      bytes.append(reinterpret_cast<const char*>(chunk.data()),
                   std::min<std::size_t>(read.value, chunk.size()));
    }
    if (bytes.size() > kShortcutReadLimit) bytes.resize(kShortcutReadLimit);
    return platform::kHresultOk;
  }

  std::u16string fullPath(std::u16string_view path) {
    const auto full = files_.getFullPathName(path);
    return full.ok() ? full.value : std::u16string(path);
  }

  std::u16string_view text(StringField field) const {
    const auto& value = file_.strings[field];
    return value ? upToNul(*value) : std::u16string_view();
  }

  bool exists(std::u16string_view path) { return files_.getFileAttributes(path).ok(); }

  std::u16string target(std::uint32_t flags) {
    if (auto environment = environmentTarget(flags)) return std::move(*environment);
    if (file_.idList) {
      if (auto path = idListFileSystemPath(*file_.idList, codec_)) {
        if (flags & platform::shell_link::kSlgpUncPriority) return uncForMappedDrive(*path);
        return std::move(*path);
      }
    }
    if (file_.linkInfo && !file_.hasFlag(flag::kForceNoLinkInfo)) {
      std::u16string path = linkInfoTarget(*file_.linkInfo, flags);
      if (!path.empty()) return path;
    }
    return relativeTarget();
  }

  std::optional<std::u16string> environmentTarget(std::uint32_t flags) {
    if (!file_.hasFlag(flag::kHasExpString)) return std::nullopt;
    const ExtraBlock* block = file_.findBlock(sig::kEnvironmentVariables);
    const auto value = block ? readExpandableString(*block) : std::nullopt;
    if (!value) return std::nullopt;
    std::u16string raw = value->unicode.empty() ? codec_.toText(value->ansi) : value->unicode;
    if (raw.empty()) return std::nullopt;
    if (flags & platform::shell_link::kSlgpRawPath) return raw;
    const auto expanded = system_.expandEnvironmentStrings(raw);
    return expanded.ok() ? expanded.value : raw;
  }

  // A path on the mapped drive the LinkInfo's network part records, on its
  // share instead.
  std::u16string uncForMappedDrive(const std::u16string& path) {
    if (!file_.linkInfo || !file_.linkInfo->network) return path;
    const NetworkLink& link = *file_.linkInfo->network;
    const std::u16string device = deviceName(link);
    if ((link.flags & netlink::kValidDevice) == 0 || device.empty()) return path;
    if (!startsWithNoCase(path, device)) return path;
    const std::u16string_view rest = sliceFrom(path, device.size());
    if (!rest.empty() && rest.front() != u'\\') return path;
    std::u16string share = link.unicode && !link.unicode->netName.empty()
                               ? link.unicode->netName
                               : codec_.toText(link.netName);
    if (!rest.empty() && !share.empty() && share.back() == u'\\') share.pop_back();
    return share + std::u16string(rest);
  }

  std::u16string deviceName(const NetworkLink& link) const {
    return link.unicode && !link.unicode->deviceName.empty() ? link.unicode->deviceName
                                                             : codec_.toText(link.deviceName);
  }

  std::u16string linkInfoTarget(const LinkInfo& info, std::uint32_t flags) {
    if (info.network && (flags & platform::shell_link::kSlgpUncPriority)) {
      return networkPath(info, codec_);
    }
    if (info.local) return localPath(info, codec_);
    if (!info.network) return {};
    const NetworkLink& link = *info.network;
    std::u16string device = deviceName(link);
    if ((link.flags & netlink::kValidDevice) == 0 || device.empty())
      return networkPath(info, codec_);
    const std::u16string suffix =
        info.commonPathSuffixUnicode.value_or(codec_.toText(info.commonPathSuffix));
    if (!suffix.empty()) device += u'\\' + suffix;
    return device;
  }

  // The shell looks for a relative target beside the shortcut, then in the
  // working folder; failing both it gives the relative text itself.
  std::u16string relativeTarget() {
    const std::u16string relative(text(StringField::kRelativePath));
    if (relative.empty()) return {};
    const std::u16string_view linkFolder = folderOf(linkPath_);
    if (!linkFolder.empty()) {
      std::u16string candidate = fullPath(std::u16string(linkFolder) + u'\\' + relative);
      if (exists(candidate)) return candidate;
    }
    const std::u16string_view workingFolder = text(StringField::kWorkingDir);
    if (!workingFolder.empty()) {
      std::u16string candidate = fullPath(std::u16string(workingFolder) + u'\\' + relative);
      if (exists(candidate)) return candidate;
    }
    return relative;
  }

  platform::Files& files_;
  platform::System& system_;
  AnsiCodec codec_;
  LnkFile file_;
  std::u16string linkPath_;  // the file last loaded or saved to be remembered
};

}  // namespace

platform::ComResult<std::unique_ptr<platform::ShellLink>> CodecShellLinks::createShellLink() {
  return {std::make_unique<CodecShellLink>(files_, system_), platform::kHresultOk};
}

}  // namespace tolvaran::lnk
