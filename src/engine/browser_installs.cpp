#include "engine/browser_installs.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/path_names.h"
#include "support/text.h"

namespace tolvaran {

namespace {

// What tells two records of the same installation apart: the names that
// share a block (and their de-masked forms) carry copies of its records.
std::u16string installKey(const BrowserInfo& record) {
  std::u16string key = foldCase(record.ExePath);
  for (const std::u16string* part :
       {&record.AppPathsName, &record.InetClass, &record.RegPathValue, &record.RegFolderValue}) {
    key += u'|';
    key += foldCase(*part);
  }
  return key;
}

}  // namespace

bool showsPlantSign(std::u16string_view path) {
  static constexpr std::array<std::u16string_view, 4> kSigns{
      u"\\Temp\\", u"\\AppData\\Roaming\\", u"\\Users\\Public\\", u"\\Downloads\\"};
  for (const std::u16string_view sign : kSigns) {
    if (findNoCase(path, sign) != std::u16string_view::npos) return true;
  }
  return false;
}

BrowserInstalls::BrowserInstalls(BrowserDatabase& database, TargetRecovery& recovery,
                                 const CureFolders& folders, FailureRecorder& recorder)
    : database_(database), recovery_(recovery), folders_(folders), recorder_(recorder) {}

bool BrowserInstalls::isFamilyInstall(BrowserID id, std::u16string_view path) {
  return guarded(
      recorder_, false,
      [&] {
        if (id == 0 || path.empty()) return false;
        return inInstallFolder(recordsRunning(familyOf(id), GetFileNameAndExt(path)), path);
      },
      [&] { return ErrorContext(u"Engine.isFamilyInstall", u"File: ", path); });
}

BrowserID BrowserInstalls::browserOfTarget(std::u16string_view path) {
  return guarded(
      recorder_, BrowserID{0},
      [&]() -> BrowserID {
        if (path.empty()) return 0;
        const std::u16string fileName = GetFileNameAndExt(path);
        for (BrowserID id = 1; id <= database_.browserCount(); ++id) {
          // Each block's records once: its other names would ask the
          // registry the same questions again.
          const std::vector<BrowserInfo> records = recordsRunning({id}, fileName);
          if (!records.empty() && inInstallFolder(records, path)) return id;
        }
        return 0;
      },
      [&] { return ErrorContext(u"Engine.browserOfTarget", u"File: ", path); });
}

std::vector<BrowserInfo> BrowserInstalls::recordsRunning(const std::vector<BrowserID>& ids,
                                                         std::u16string_view fileName) {
  std::vector<BrowserInfo> running;
  std::vector<std::u16string> keys;
  for (const BrowserID id : ids) {
    if (!database_.runsProgram(id, fileName)) continue;
    for (const BrowserInfo& record : database_.records(id)) {
      if (!isProgramOf(record, fileName)) continue;
      std::u16string key = installKey(record);
      if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
      keys.push_back(std::move(key));
      running.push_back(record);
    }
  }
  return running;
}

bool BrowserInstalls::inInstallFolder(const std::vector<BrowserInfo>& records,
                                      std::u16string_view path) {
  const std::u16string folder = GetPathName(path);
  const auto same = [&](std::u16string_view program) {
    const std::u16string known = GetPathName(program);
    if (equalsNoCase(known, folder)) return true;
    // The database's paths name one program-files folder; on 64-bit
    // Windows the browser may sit in the other.
    for (const auto& [from, to] :
         {std::pair{&folders_.PF64, &folders_.PF32}, std::pair{&folders_.PF32, &folders_.PF64}}) {
      if (!from->empty() && !to->empty() && !equalsNoCase(*from, *to) && isInFolder(known, *from) &&
          equalsNoCase(*to + std::u16string(sliceFrom(known, from->size())), folder)) {
        return true;
      }
    }
    return false;
  };
  // The records' own paths first: the registry is asked only when they
  // do not settle it.
  for (const BrowserInfo& record : records) {
    if (!record.ExePath.empty() && same(record.ExePath)) return true;
  }
  for (const BrowserInfo& record : records) {
    for (const std::u16string& registered : recovery_.registeredPaths(record)) {
      if (same(registered)) return true;
    }
  }
  return false;
}

std::vector<BrowserID> BrowserInstalls::familyOf(BrowserID id) {
  const std::u16string family = database_.family(id);
  if (family.empty()) return {id};
  std::vector<BrowserID> members;
  for (BrowserID member = 1; member <= database_.browserCount(); ++member) {
    if (equalsNoCase(database_.family(member), family)) members.push_back(member);
  }
  return members;
}

}  // namespace tolvaran
