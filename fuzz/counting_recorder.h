#pragma once
// A failure recorder for fuzz targets: counts records, keeps nothing.
#include <cstddef>

#include "support/failure.h"

namespace tolvaran {

class CountingRecorder final : public FailureRecorder {
 public:
  void recordError(const Failure&, const ErrorContext&) noexcept override { ++count; }
  std::size_t count = 0;
};

}  // namespace tolvaran
