#pragma once
// The error log: one line per recorded failure in Errors.log beside the
// program (in the first of the fallback data folders that takes it when the
// program's folder cannot be written), in the machine's ANSI code page. The
// report copies it into its "Debug Info" section at the end of every run.
//
// A record is never split: control characters in its values become spaces,
// and the text of a failed write is cut to its first 512 characters.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

class ErrorLog final : public FailureRecorder {
 public:
  // `programFolder` may end with a backslash or not. `observer`, when given,
  // is told of every failure recorded too (a tool or a test watching the
  // program's failures).
  ErrorLog(platform::Ports& ports, const Translation& messages, std::u16string programFolder,
           FailureRecorder* observer = nullptr);
  ~ErrorLog() override;
  ErrorLog(const ErrorLog&) = delete;
  ErrorLog& operator=(const ErrorLog&) = delete;

  // RecordError: the time is taken from the machine's clock as the record is built.
  void recordError(const Failure& failure, const ErrorContext& context) noexcept override;

  void WriteErrorLine(std::u16string_view text) noexcept;
  void OpenErrorLog() noexcept;
  void CloseErrorLog() noexcept;

  [[nodiscard]] const std::u16string& ErrorLogPath() const noexcept { return path_; }
  [[nodiscard]] bool isOpen() const noexcept { return file_ != platform::kInvalidFileHandle; }
  // How many times the file was opened (and so emptied) so far.
  [[nodiscard]] std::uint32_t openings() const noexcept { return openings_; }

  // The record line for a failure, without writing it.
  std::u16string buildRecord(const platform::SystemTime& when, const Failure& failure,
                             const ErrorContext& context);

 private:
  std::u16string damagedShortcutLine(std::u16string_view extra);
  platform::Result<platform::FileHandle> create(std::u16string_view path);

  platform::Ports& ports_;
  const Translation& messages_;
  std::u16string programFolder_;
  std::u16string path_;
  platform::FileHandle file_ = platform::kInvalidFileHandle;
  std::uint32_t openings_ = 0;
  FailureRecorder* observer_;
};

// The system's message for a code, with every CR LF pair removed; empty when
// the system has none.
std::u16string SystemErrorText(platform::System& system, std::uint32_t code);

// True when the file has at least one byte and every byte is zero.
bool IsAllNulFile(platform::Files& files, std::u16string_view path);

// The first `count` bytes of the file, one character per byte; `count` is
// lowered to the file's length when it is shorter. Empty when unreadable.
std::u16string ReadFileHead(platform::Files& files, std::u16string_view path, std::uint32_t& count);

// "0x" and two upper-case hex digits per character (its low byte).
std::u16string BytesToHex(std::u16string_view text);

// The file's size in bytes; 0 when it cannot be read.
std::uint64_t fileSizeOrZero(platform::Files& files, std::u16string_view path);

}  // namespace tolvaran
