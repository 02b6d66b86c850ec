#include "shell/file_version.h"

#include "support/text.h"

namespace tolvaran {

std::u16string versionText(const platform::FileVersion& version) {
  const auto part = [](std::uint32_t word) {
    return toDecimal(static_cast<std::int64_t>(word & 0xFFFF));
  };
  return part(version.mostSignificant >> 16) + u"." + part(version.mostSignificant) + u"." +
         part(version.leastSignificant >> 16) + u"." + part(version.leastSignificant);
}

std::u16string GetFilePropVersion(platform::Modules& modules, FailureRecorder& recorder,
                                  std::u16string_view path) {
  return guarded(
      recorder, std::u16string(),
      [&] {
        const auto version = modules.getFileVersion(path);
        return version.ok() ? versionText(version.value) : std::u16string();
      },
      [&] { return ErrorContext(u"GetFilePropVersion", u"Path:", path); });
}

}  // namespace tolvaran
