#pragma once
// The one failure convention: a guarded procedure records what went wrong
// with its dotted name and the values it was working on, then returns its
// neutral result. Nothing thrown inside ever reaches its caller.
//
// The words for it: guarded()/guardedStep() record and go on; attempt()
// records and hands the failure back, for a caller that must tell a failure
// from an empty result; ignoringFailures() records nothing. All of them let
// platform::ProgramEnded through.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "support/result.h"

namespace tolvaran {

struct Failure {
  std::int32_t number = 0;
  std::u16string description;
  std::int32_t lastSystemError = 0;
};

// Thrown inside a guarded body to fail with a specific number and text.
class RuntimeError {
 public:
  explicit RuntimeError(Failure failure) : failure_(std::move(failure)) {}
  RuntimeError(std::int32_t number, std::u16string description, std::int32_t lastSystemError = 0)
      : failure_{number, std::move(description), lastSystemError} {}
  [[nodiscard]] const Failure& failure() const noexcept { return failure_; }

 private:
  Failure failure_;
};

// The run-time error numbers the program reports, with their usual texts.
namespace rt {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kBadFileNameOrNumber = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kFileAlreadyOpen = 55;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kInputPastEndOfFile = 62;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kCantCreateObject = 429;
inline constexpr std::int32_t kKeyAlreadyAssociated = 457;
}  // namespace rt

// The run-time's text for its error number; "Application-defined or
// object-defined error" for numbers it does not know.
std::u16string runtimeErrorText(std::int32_t number);
Failure runtimeFailure(std::int32_t number, std::int32_t lastSystemError = 0);

// The run-time error a failed file call raises: 53 and 76 for a missing file
// or folder, 70 for a file another program holds, 75 for anything else.
Failure fileCallFailure(platform::Win32Code code);

// The failure the exception in flight stands for. Call only inside a catch.
Failure failureFromCurrentException() noexcept;

// Element 0 is the procedure's dotted name; the rest are labels and values,
// already rendered as text (truth values as "True"/"False").
class ErrorContext {
 public:
  template <class... Values>
  explicit ErrorContext(std::u16string_view procedure, const Values&... values) {
    items_.reserve(1 + sizeof...(values));
    items_.emplace_back(procedure);
    (items_.push_back(render(values)), ...);
  }
  [[nodiscard]] const std::vector<std::u16string>& items() const noexcept { return items_; }
  [[nodiscard]] std::u16string_view procedure() const noexcept { return items_.front(); }

  static std::u16string render(std::u16string_view text) { return std::u16string(text); }
  static std::u16string render(const std::u16string& text) { return text; }
  static std::u16string render(const char16_t* text) { return text ? text : u""; }
  static std::u16string render(bool value) { return value ? u"True" : u"False"; }
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char16_t>) static std::u16string
      render(T value) {
    return renderInteger(static_cast<std::int64_t>(value));
  }

 private:
  static std::u16string renderInteger(std::int64_t value);
  std::vector<std::u16string> items_;
};

// Receives every recorded failure. Implementations never throw.
class FailureRecorder {
 public:
  virtual ~FailureRecorder() = default;
  virtual void recordError(const Failure& failure, const ErrorContext& context) noexcept = 0;
};

// Runs `body`; on any failure records it with the context that
// `makeContext()` builds at that moment and hands the failure back; nothing
// when the body ran to its end. A simulated end of the program
// (platform::ProgramEnded) is the one thing let through.
template <class Body, class MakeContext>
[[nodiscard]] std::optional<Failure> attempt(FailureRecorder& recorder, Body&& body,
                                             MakeContext&& makeContext) {
  try {
    std::forward<Body>(body)();
    return std::nullopt;
  } catch (const platform::ProgramEnded&) {
    throw;
  } catch (...) {
    Failure failure = failureFromCurrentException();
    try {
      recorder.recordError(failure, std::forward<MakeContext>(makeContext)());
    } catch (...) {
      // Building the context failed too (out of memory): nothing left to report with.
    }
    return std::optional<Failure>(std::move(failure));
  }
}

// Records and goes on: runs `body` as attempt() does and returns its result,
// or `neutral` when it failed.
template <class R, class Body, class MakeContext>
[[nodiscard]] R guarded(FailureRecorder& recorder, R neutral, Body&& body,
                        MakeContext&& makeContext) {
  std::optional<R> result;
  if (attempt(
          recorder, [&] { result.emplace(std::forward<Body>(body)()); },
          std::forward<MakeContext>(makeContext))) {
    return neutral;
  }
  return std::move(*result);
}

// The same for a step that yields nothing: true when it completed. Most
// callers only need the failure recorded and go on.
template <class Body, class MakeContext>
bool guardedStep(FailureRecorder& recorder, Body&& body, MakeContext&& makeContext) {
  return !attempt(recorder, std::forward<Body>(body), std::forward<MakeContext>(makeContext));
}

// Runs `body` and ignores any failure in it, recording nothing: for steps
// whose failure is of no interest to anyone. Like guarded(), it lets a
// simulated end of the program through. Returns the body's result, or
// `neutral` when it failed.
template <class R, class Body>
[[nodiscard]] R ignoringFailures(R neutral, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const platform::ProgramEnded&) {
    throw;
  } catch (...) {
    return neutral;
  }
}

// The same for a step that yields nothing: true when it completed.
template <class Body>
bool ignoringFailures(Body&& body) {
  return ignoringFailures(false, [&] {
    std::forward<Body>(body)();
    return true;
  });
}

}  // namespace tolvaran
