#pragma once
// Fault injection and call journal for any simulated port. A port checks the
// plan at the top of each call: a matching fault makes the call fail with the
// planned code and leave the machine as it was. Every call, faulted or not,
// is journalled with its result, so a test can assert what was attempted.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace tolvaran::platform::sim {

template <class Op>
struct JournalEntry {
  Op op{};
  std::u16string path;       // as the caller passed it; for handles, the path opened
  std::u16string otherPath;  // the second path of two-path calls (move, copy)
  Win32Code code = kErrorSuccess;
};

template <class Op>
class FaultPlan {
 public:
  // Two paths match when they name the same object; the owning port supplies
  // the comparison (its own path rules).
  using SamePath = std::function<bool(std::u16string_view, std::u16string_view)>;

  explicit FaultPlan(SamePath samePath) : samePath_(std::move(samePath)) {}

  // The nth matching call (counting from 1) fails with `code`; with
  // `persistent`, every later matching call fails too. An empty `path`
  // matches every path.
  void failNth(Op op, std::uint32_t nth, Win32Code code, bool persistent = false,
               std::u16string_view path = {}) {
    faults_.push_back(Fault{op, std::u16string(path), nth == 0 ? 1 : nth, persistent, code, 0});
  }
  void failAlways(Op op, Win32Code code, std::u16string_view path = {}) {
    failNth(op, 1, code, true, path);
  }
  // Removes the faults planned for `path` (a file "unlocked"), or all of them.
  void clearPath(std::u16string_view path) {
    std::erase_if(faults_,
                  [&](const Fault& f) { return !f.path.empty() && samePath_(f.path, path); });
  }
  void clear() { faults_.clear(); }
  [[nodiscard]] bool empty() const noexcept { return faults_.empty(); }

  // The planned failure for this call, or kErrorSuccess. Counts the call
  // against every fault it matches.
  Win32Code check(Op op, std::u16string_view path) {
    Win32Code result = kErrorSuccess;
    for (Fault& fault : faults_) {
      if (fault.op != op) continue;
      if (!fault.path.empty() && !samePath_(fault.path, path)) continue;
      ++fault.seen;
      const bool hits = fault.persistent ? fault.seen >= fault.nth : fault.seen == fault.nth;
      if (hits && result == kErrorSuccess) result = fault.code;
    }
    return result;
  }

 private:
  struct Fault {
    Op op;
    std::u16string path;
    std::uint32_t nth;
    bool persistent;
    Win32Code code;
    std::uint32_t seen;
  };
  SamePath samePath_;
  std::vector<Fault> faults_;
};

}  // namespace tolvaran::platform::sim
