#pragma once
// The file version a file's version resource declares, as the program shows
// it ("1.0.0.0").
#include <string>
#include <string_view>

#include "platform/modules.h"
#include "support/failure.h"

namespace tolvaran {

// The four 16-bit parts, most significant first, joined by ".".
std::u16string versionText(const platform::FileVersion& version);

// Empty when the file is missing or has no version resource. Unexpected
// failures are recorded as "GetFilePropVersion" with the path.
std::u16string GetFilePropVersion(platform::Modules& modules, FailureRecorder& recorder,
                                  std::u16string_view path);

}  // namespace tolvaran
