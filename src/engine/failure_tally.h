#pragma once
// A recorder that passes every failure on and keeps count, so that a caller
// can tell whether a guarded procedure it called failed even when that
// procedure's neutral result looks like a valid answer (a shortcut read that
// failed gives a record as empty as a shortcut without a target).
#include <cstddef>

#include "support/failure.h"

namespace tolvaran {

class FailureTally final : public FailureRecorder {
 public:
  explicit FailureTally(FailureRecorder& inner) : inner_(inner) {}
  FailureTally(const FailureTally&) = delete;
  FailureTally& operator=(const FailureTally&) = delete;

  void recordError(const Failure& failure, const ErrorContext& context) noexcept override {
    ++count_;
    try {
      last_ = failure;
    } catch (...) {
      // Out of memory copying the text: the number still tells what failed.
      last_.number = failure.number;
    }
    inner_.recordError(failure, context);
  }

  [[nodiscard]] std::size_t count() const noexcept { return count_; }
  // The failure recorded last; meaningful only when count() has grown.
  [[nodiscard]] const Failure& last() const noexcept { return last_; }

 private:
  FailureRecorder& inner_;
  std::size_t count_ = 0;
  Failure last_;
};

}  // namespace tolvaran
