#pragma once
// A failing COM call of the shell (a negative HRESULT) fails the procedure
// that made it, the way the run-time raises it: the HRESULT is the failure's
// number, so that E_FAIL from a damaged shortcut reaches the error log as
// 0x80004005.
#include <cstdint>

#include "platform/shell_link.h"
#include "support/failure.h"

namespace tolvaran {

inline void throwIfFailed(platform::HResult hr) {
  if (platform::hresultFailed(hr)) {
    throw RuntimeError(static_cast<std::int32_t>(hr), u"Automation error");
  }
}

}  // namespace tolvaran
