#include "common/recording_recorder.h"

namespace tolvaran {

void RecordingRecorder::recordError(const Failure& failure, const ErrorContext& context) noexcept {
  try {
    records_.push_back(Record{failure, context.items()});
  } catch (...) {
    // A recorder never throws; a test that runs out of memory fails anyway.
  }
}

}  // namespace tolvaran
