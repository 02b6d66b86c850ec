#pragma once
// The simulated window: message boxes answered from a script, every box and
// status text recorded, and the end of the program turned into an exception
// that unwinds to the test.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tolvaran::platform::sim {

struct ShownMessage {
  std::u16string text;
  std::u16string caption;
  std::uint32_t type = 0;
  int answer = 0;
};

class SimUi final : public Ui {
 public:
  // Answers the next queued answer; with none queued, the box's first button
  // (IDOK for MB_OK and MB_OKCANCEL, IDABORT, IDYES for MB_YESNO and
  // MB_YESNOCANCEL, IDRETRY for MB_RETRYCANCEL, IDCANCEL for
  // MB_CANCELTRYCONTINUE).
  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override;
  void setStatus(std::u16string_view text) override;
  void pumpMessages() override { ++pumps_; }
  [[noreturn]] void endProgram(std::uint32_t exitCode) override;

  void queueAnswer(int answer) { answers_.push_back(answer); }
  [[nodiscard]] std::size_t queuedAnswers() const noexcept { return answers_.size(); }
  [[nodiscard]] const std::vector<ShownMessage>& messages() const noexcept { return messages_; }
  [[nodiscard]] const std::vector<std::u16string>& statusHistory() const noexcept {
    return statuses_;
  }
  // The status text showing now (the last one set).
  [[nodiscard]] std::u16string status() const {
    return statuses_.empty() ? std::u16string() : statuses_.back();
  }
  [[nodiscard]] std::uint32_t pumpCount() const noexcept { return pumps_; }
  [[nodiscard]] std::optional<std::uint32_t> exitCode() const noexcept { return exitCode_; }

 private:
  std::deque<int> answers_;
  std::vector<ShownMessage> messages_;
  std::vector<std::u16string> statuses_;
  std::uint32_t pumps_ = 0;
  std::optional<std::uint32_t> exitCode_;
};

}  // namespace tolvaran::platform::sim
