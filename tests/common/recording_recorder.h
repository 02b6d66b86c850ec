#pragma once
// A FailureRecorder for tests: keeps every failure it is given, with the
// context's items, so a test can assert on exactly what was recorded.
#include <cstddef>
#include <string>
#include <vector>

#include "support/failure.h"

namespace tolvaran {

class RecordingRecorder : public FailureRecorder {
 public:
  struct Record {
    Failure failure;
    std::vector<std::u16string> context;
  };

  void recordError(const Failure& failure, const ErrorContext& context) noexcept override;

  [[nodiscard]] const std::vector<Record>& records() const noexcept { return records_; }
  [[nodiscard]] std::size_t size() const noexcept { return records_.size(); }
  [[nodiscard]] bool empty() const noexcept { return records_.empty(); }
  void clear() noexcept { records_.clear(); }

 private:
  std::vector<Record> records_;
};

}  // namespace tolvaran
