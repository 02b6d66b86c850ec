#pragma once
// The main window as the simulated machine has it: an edit box that is a
// string, a window that stays where it is unless told to move, and a record
// of what the runs asked of it. Drops are lists of names.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/runs/cure_runs.h"
#include "shell/runs/main_view.h"
#include "shell/startup.h"

namespace tolvaran::simrun {

class SimMainView : public MainView {
 public:
  std::u16string txtLNK_GetText() override { return editBox.substr(0, editBox.find(u'\0')); }
  void txtLNK_SetText(std::u16string_view text) override { editBox = text; }
  WindowPosition position() override { return where; }
  void applyLanguage(const Translation& messages) override {
    cureCaption = messages.msg(Msg::kCureButton);
  }
  void installSubclasses() override { subclassed = true; }
  void Finalize() override {
    subclassed = false;
    finalized = true;
  }
  void close() override { closed = true; }
  platform::WindowHandle handle() override { return kHandle; }
  std::u16string clipboardText(FailureRecorder& /*recorder*/) override { return clipboard; }
  void pauseSubclasses() override { ++subclassPauses; }
  void resumeSubclasses() override { --subclassPauses; }

  static constexpr platform::WindowHandle kHandle = 0x10010;
  std::u16string clipboard;
  int subclassPauses = 0;  // paused and not yet resumed
  std::u16string editBox;
  WindowPosition where;
  std::u16string cureCaption;
  bool subclassed = false;
  bool finalized = false;
  bool closed = false;
};

// The main window as start-up makes it: the view above, the window's steps
// recorded, the timer's tick kept for the message loop, and a message loop
// that is whatever the session plays (its runs, one after the other).
class SimStartupWindow final : public StartupWindow {
 public:
  using Loop = std::function<int(SimStartupWindow&)>;
  SimStartupWindow(Program& program, Loop loop)
      : program_(program), runs_(program, view_), loop_(std::move(loop)) {}

  MainView& view() override { return view_; }
  SimMainView& simView() noexcept { return view_; }
  Program& program() noexcept { return program_; }
  bool create() override { return true; }
  CureRuns& runs() override { return runs_; }
  void CenterForm() override { runs_.recordRestPosition(view_.where); }
  void makeLayered() override {}
  void allowDropsFromLowerIntegrity() override {}
  void setVersionLabel(std::u16string_view text) override { versionLabel = text; }
  void showInForeground() override {}
  void unload() override {
    view_.Finalize();
    view_.close();
  }
  void startTimer(std::function<void()> firstTick) override { firstTick_ = std::move(firstTick); }
  int messageLoop() override { return loop_(*this); }
  // The start-up timer's one tick; nothing when it has run.
  void tick() {
    if (auto tick = std::exchange(firstTick_, nullptr)) tick();
  }

  std::u16string versionLabel;

 private:
  Program& program_;
  SimMainView view_;
  CureRuns runs_;
  Loop loop_;
  std::function<void()> firstTick_;
};

class SimDroppedFiles final : public DroppedFiles {
 public:
  explicit SimDroppedFiles(std::vector<std::u16string> names) : names_(std::move(names)) {}

  std::uint32_t fileCount() override { return static_cast<std::uint32_t>(names_.size()); }
  std::uint32_t nameLength(std::uint32_t index) override {
    return index < names_.size() ? static_cast<std::uint32_t>(names_[index].size()) : 0;
  }
  // As DragQueryFileW fills a buffer: at most bufferChars - 1 characters and a NUL.
  std::u16string name(std::uint32_t index, std::uint32_t bufferChars) override {
    std::u16string buffer(bufferChars, u'\0');
    if (index >= names_.size() || bufferChars == 0) return buffer;
    const std::u16string& name = names_[index];
    name.copy(buffer.data(), std::min<std::size_t>(name.size(), bufferChars - 1));
    return buffer;
  }
  void finish() override { ++finishCount; }

  std::uint32_t finishCount = 0;

 private:
  std::vector<std::u16string> names_;
};

}  // namespace tolvaran::simrun
