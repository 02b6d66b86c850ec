#pragma once
// The simulated machine's system services: Windows' English message texts,
// a configurable ANSI code page, an environment block with case-insensitive
// names, the program's path and one fixed regional date rendering.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace tolvaran::platform::sim {

class SimSystem final : public System {
 public:
  // ANSI code page 1252; the environment of an ordinary 64-bit Windows with
  // one user, "User" (see sim_system.cpp); program at C:\Tools\Tolvaran.exe.
  SimSystem();

  Result<std::u16string> formatMessage(std::uint32_t messageId) override;
  std::uint32_t ansiCodePage() override { return codePage_; }
  std::string wideToAnsi(std::u16string_view text) override;
  std::u16string ansiToWide(std::string_view bytes) override;
  Result<std::u16string> getEnvironmentVariable(std::u16string_view name) override;
  Status setEnvironmentVariable(std::u16string_view name, std::u16string_view value) override;
  Status deleteEnvironmentVariable(std::u16string_view name) override;
  Result<std::u16string> expandEnvironmentStrings(std::u16string_view text) override;
  Result<std::u16string> getTempPath() override;
  Result<std::u16string> moduleFileName() override { return {moduleFileName_, kErrorSuccess}; }
  // "dd.MM.yyyy H:mm:ss", e.g. "07.12.2026 1:37:32".
  std::u16string formatDateTime(const SystemTime& time) override;
  // "dd.MM.yyyy".
  std::u16string formatShortDate(const SystemTime& time) override;

  // False for a code page the text tables do not have (866, 1250, 1251, 1252 exist).
  bool setAnsiCodePage(std::uint32_t codePage);
  void setModuleFileName(std::u16string path) { moduleFileName_ = std::move(path); }
  // Replaces or adds the text FormatMessage gives for a code (CR LF included).
  void setMessageText(std::uint32_t messageId, std::u16string text);
  [[nodiscard]] const std::vector<std::pair<std::u16string, std::u16string>>& environment() const {
    return environment_;
  }

 private:
  std::uint32_t codePage_ = 1252;
  std::u16string moduleFileName_;
  std::vector<std::pair<std::u16string, std::u16string>> environment_;
  std::vector<std::pair<std::uint32_t, std::u16string>> extraMessages_;
};

}  // namespace tolvaran::platform::sim
