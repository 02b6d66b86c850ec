#pragma once
// The intake of a whole program over the engine rig's simulated machine, with
// helpers to plant list files and read what a run reported and asked.
#include <string>
#include <string_view>
#include <vector>

#include "intake/intake.h"
#include "support/text.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran::intake_test {

using namespace engine_test;

inline constexpr std::u16string_view kCaption = u"Tolvaran";
inline constexpr std::u16string_view kLists = u"C:\\Lists";

// A list file's bytes as a text editor saves them.
inline std::string utf16File(std::u16string_view text, bool withMark = true) {
  std::string bytes(withMark ? "\xFF\xFE" : "");
  bytes += textToUtf16le(text);
  return bytes;
}
inline std::string utf8File(std::u16string_view text) {
  std::string bytes("\xEF\xBB\xBF");
  bytes += utf16ToUtf8(text);
  return bytes;
}

struct IntakeRig : EngineRig {
  IntakeRig() { machine.files().addFolder(kLists); }

  // A shortcut to a program that needs no cure.
  void addPlainShortcut(std::u16string_view path) {
    addProgram(u"C:\\Apps\\tool.exe");
    addShortcut(path, {.target = u"C:\\Apps\\tool.exe", .workingDir = u"C:\\Apps"});
  }

  [[nodiscard]] std::vector<std::u16string> linesTagged(std::u16string_view tag) const {
    std::vector<std::u16string> tagged;
    for (std::u16string& line : lines()) {
      if (line.starts_with(tag)) tagged.push_back(std::move(line));
    }
    return tagged;
  }
  // Whether the cure of this run handled the shortcut at `path`, however spelt.
  [[nodiscard]] bool processed(std::u16string_view path) {
    return engine.state().isProcessed(pathIdentity(ports.files, path));
  }
  [[nodiscard]] std::size_t processedCount() { return engine.state().processedCount(); }
  [[nodiscard]] const std::vector<platform::sim::ShownMessage>& shown() {
    return machine.ui().messages();
  }
  [[nodiscard]] std::u16string rememberedHash() { return settings.ReadSetting(kLastHashKey, u""); }
  // Records of the intake's own procedures; the cure's are its business.
  [[nodiscard]] std::size_t intakeFailures() const {
    std::size_t n = 0;
    for (const std::u16string_view name :
         {u"Parser.CureListLNK", u"Parser.CureLinkLine", u"Parser.ReadFileToArray",
          u"Parser.FindLNK", u"Parser.CureObject", u"Parser.DeleteListedObject", u"Parser.RemoveWalkedObject",
          u"Parser.CompareInputHashes", u"Engine.ParseHalvestry_LOG_Orvik"}) {
      n += failures.count(name);
    }
    return n;
  }

  Intake& intake = program.intake();
};

}  // namespace tolvaran::intake_test
