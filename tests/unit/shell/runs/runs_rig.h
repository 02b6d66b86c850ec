#pragma once
// A whole program over a fresh simulated machine, with the main window a
// string and a drop a list of names, and a hook into the message pump:
// what a user does while a run is in progress (a second click, a drop, the
// close button) arrives exactly there.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "shell/msg_box.h"
#include "shell/runs/cure_runs.h"
#include "shortcut/codec_shell_link.h"
#include "simrun/sim_window.h"
#include "support/text.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran::runs_test {

inline constexpr std::u16string_view kProgramFolder = u"C:\\Tools";
inline constexpr std::u16string_view kDesktop = u"C:\\Users\\User\\Desktop";
inline constexpr std::u16string_view kTool = u"C:\\Apps\\tool.exe";

// The machine's window, with a hook run whenever the program lets pending
// messages through.
class HookedUi final : public platform::Ui {
 public:
  explicit HookedUi(platform::sim::SimUi& ui) : ui_(ui) {}
  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override {
    return ui_.messageBox(text, caption, type);
  }
  void setStatus(std::u16string_view text) override { ui_.setStatus(text); }
  void pumpMessages() override {
    ui_.pumpMessages();
    if (onPump) onPump();
  }
  [[noreturn]] void endProgram(std::uint32_t exitCode) override { ui_.endProgram(exitCode); }

  std::function<void()> onPump;

 private:
  platform::sim::SimUi& ui_;
};

inline platform::sim::SimMachine& prepared(platform::sim::SimMachine& machine) {
  machine.shellLinks().registerClass(
      std::make_unique<lnk::CodecShellLinks>(machine.files(), machine.system()));
  machine.clock().setLocalTime({2026, 12, 0, 7, 10, 0, 0, 0});
  machine.files().addFolder(kProgramFolder);
  machine.files().addFolder(kDesktop);
  machine.files().addFolder(u"C:\\Users\\User\\AppData\\Local\\Temp");
  machine.files().addFile(u"C:\\Windows\\explorer.exe", "MZ explorer");
  machine.files().addFile(kTool, "MZ tool");
  return machine;
}

inline platform::Ports withUi(platform::Ports ports, platform::Ui& ui) {
  return platform::Ports{
      ports.files,     ports.system,     ports.clock,     ports.profile,  ui,
      ports.registry,  ports.osInfo,     ports.processes, ports.shellOps, ports.shellLinks,
      ports.installer, ports.shellNotify};
}

struct RunsRig {
  RunsRig() { runs.LoadLanguageEx(1033); }

  // A shortcut to a program that needs no cure.
  void addPlainShortcut(std::u16string_view path) {
    machine.files().addFile(path, engine_test::shortcutBytes(
                                      {.target = std::u16string(kTool), .workingDir = u"C:\\Apps"},
                                      lnk::systemCodec(machine.system())));
  }
  [[nodiscard]] const std::vector<platform::sim::ShownMessage>& shown() {
    return machine.ui().messages();
  }
  // The report files in LOG (the originals kept sit in a folder beside them).
  [[nodiscard]] std::vector<std::u16string> reports() {
    std::vector<std::u16string> names;
    for (auto& name : machine.files().listFolder(std::u16string(kProgramFolder) + u"\\LOG")) {
      if (name.ends_with(u".log")) names.push_back(std::move(name));
    }
    return names;
  }
  [[nodiscard]] std::u16string reportText() {
    const auto bytes = machine.files().readFileBytes(program.log().ReportLogPath());
    return bytes ? utf16leToText(*bytes) : std::u16string();
  }
  [[nodiscard]] std::string errorLog() {
    return machine.files().readFileBytes(program.errors().ErrorLogPath()).value_or("");
  }
  [[nodiscard]] const std::u16string& msg(Msg id) { return program.messages().msg(id); }

  platform::sim::SimMachine machine;
  HookedUi ui{prepared(machine).ui()};
  Program program{withUi(machine.ports(), ui),
                  ProgramSetup{ProgramIdentity{std::u16string(kProgramFolder),
                                               std::u16string(kAppTitle), u"1.0.0.0"},
                               1033,
                               {}}};
  simrun::SimMainView view;
  CureRuns runs{program, view};
};

inline bool contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace tolvaran::runs_test
