#pragma once
// The user-interface port: what the program's logic asks of its window.
#include <cstdint>
#include <string_view>

#include "support/result.h"

namespace tolvaran::platform {

// MessageBoxW flags and answers, with Win32's numbers.
namespace mb {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kOkCancel = 0x1;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kDefButton2 = 0x100;
inline constexpr std::uint32_t kSystemModal = 0x1000;
inline constexpr std::uint32_t kSetForeground = 0x10000;
}  // namespace mb

namespace id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace id

class Ui {
 public:
  virtual ~Ui() = default;
  virtual int messageBox(std::u16string_view text, std::u16string_view caption,
                         std::uint32_t type) = 0;
  virtual void setStatus(std::u16string_view text) = 0;
  // Lets pending window messages be processed once.
  virtual void pumpMessages() = 0;
  // Closes the window and ends the process. The simulated machine records
  // the request and unwinds to the test by throwing ProgramEnded.
  [[noreturn]] virtual void endProgram(std::uint32_t exitCode) = 0;
};

}  // namespace tolvaran::platform
