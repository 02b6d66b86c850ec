#include "fileops/dir_wide_char.h"

#include <utility>

#include "support/text.h"

namespace tolvaran {
namespace {

// Sparse files and reparse points (links, cloud placeholders) are never listed.
constexpr std::uint32_t kAlwaysExcluded =
    platform::attr::kSparseFile | platform::attr::kReparsePoint;

// Redirection off for one path inside System32, and on again on every way out.
class System32RedirectionOff {
 public:
  System32RedirectionOff(clsDirWideChar& folders, std::u16string_view path)
      : folders_(folders), path_(path) {
    folders_.FS_Disable_Redirection(true, path_);
  }
  ~System32RedirectionOff() { folders_.FS_Disable_Redirection(false, path_); }
  System32RedirectionOff(const System32RedirectionOff&) = delete;
  System32RedirectionOff& operator=(const System32RedirectionOff&) = delete;

 private:
  clsDirWideChar& folders_;
  std::u16string_view path_;
};

}  // namespace

clsDirWideChar::clsDirWideChar(const platform::Ports& ports, FailureRecorder& recorder,
                               SavedFsRedirection& saved, std::u16string bitness,
                               std::u16string sys32)
    : files_(ports.files),
      recorder_(recorder),
      saved_(saved),
      bitness_(std::move(bitness)),
      sys32_(std::move(sys32)) {}

clsDirWideChar::~clsDirWideChar() {
  closeSearch();
}

void clsDirWideChar::closeSearch() noexcept {
  if (search_ == platform::kInvalidFindHandle) return;
  try {
    (void)files_.findClose(search_);
  } catch (...) {
    // The destructor closes through here, so nothing may leave it; and
    // nothing can be done about a search that will not close.
  }
  search_ = platform::kInvalidFindHandle;
}

bool clsDirWideChar::wanted(const platform::FindData& entry) const noexcept {
  const bool isFolder = (entry.attributes & platform::attr::kDirectory) != 0;
  return isFolder == wantFolders_ && (entry.attributes & (flagsExclude_ | kAlwaysExcluded)) == 0;
}

std::u16string clsDirWideChar::DirW(std::u16string_view path, std::uint32_t flagsExclude,
                                    bool isDirectory) {
  return guarded(
      recorder_, std::u16string(),
      [&]() -> std::u16string {
        try {
          platform::FindData entry;
          if (!path.empty() || search_ == platform::kInvalidFindHandle) {
            wantFolders_ = isDirectory;
            flagsExclude_ = flagsExclude;
            closeSearch();
            auto first = files_.findFirstFile(path);
            if (!first.ok()) return {};
            search_ = first.value.handle;
            entry = std::move(first.value.data);
          } else {
            auto next = files_.findNextFile(search_);
            if (!next.ok()) {
              closeSearch();
              return {};
            }
            entry = std::move(next.value);
          }
          while (!wanted(entry)) {
            auto next = files_.findNextFile(search_);
            if (!next.ok()) {
              closeSearch();
              return {};
            }
            entry = std::move(next.value);
          }
          return entry.name.substr(0, entry.name.find(u'\0'));
        } catch (...) {
          // Not ignored: the search is closed and the failure goes on to be recorded.
          closeSearch();
          throw;
        }
      },
      [] { return ErrorContext(u"clsDirWideChar.DirW"); });
}

bool clsDirWideChar::IsFolder(std::u16string_view path) {
  return guarded(
      recorder_, false,
      [&] {
        const std::u16string_view trimmed = trimSpaces(path);
        const System32RedirectionOff off(*this, trimmed);
        const auto attributes = files_.getFileAttributes(trimmed);
        return attributes.ok() && (attributes.value & platform::attr::kDirectory) != 0;
      },
      [] { return ErrorContext(u"clsDirWideChar.IsFolder"); });
}

bool clsDirWideChar::CreateFolderStruct(std::u16string_view path, bool lastComponentIsFile) {
  return guarded(
      recorder_, false,
      [&] {
        std::u16string_view folder = path;
        if (lastComponentIsFile) {
          const std::size_t slash = folder.rfind(u'\\');
          folder =
              slash == std::u16string_view::npos ? std::u16string_view() : folder.substr(0, slash);
        }
        if (folder.empty()) return false;
        bool created = false;
        // The wide call: a folder name outside the ANSI code page (a program
        // folder in Chinese on an English system) must survive.
        const auto ensure = [&](std::u16string_view prefix) {
          if (!prefix.empty() && !IsFolder(prefix)) created = files_.createDirectory(prefix).ok();
        };
        for (std::size_t slash = folder.find(u'\\'); slash != std::u16string_view::npos;
             slash = folder.find(u'\\', slash + 1)) {
          ensure(folder.substr(0, slash));
        }
        ensure(folder);
        return created;
      },
      [] { return ErrorContext(u"clsDirWideChar.CreateFolderStruct"); });
}

bool clsDirWideChar::FS_Disable_Redirection(bool disable, std::u16string_view path) {
  return guarded(
      recorder_, false,
      [&] {
        if (bitness_ != u"x64") return false;
        if (!path.empty() && !startsWithNoCase(path, sys32_)) return false;
        if (disable) {
          const auto disabled = files_.disableWow64FsRedirection();
          if (disabled.ok()) saved_.value = disabled.value;
          return disabled.ok();
        }
        return files_.revertWow64FsRedirection(saved_.value).ok();
      },
      [&] { return ErrorContext(u"clsDirWideChar.FS_Disable_Redirection", u"Path:", path); });
}

}  // namespace tolvaran
