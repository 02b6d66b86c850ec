#pragma once
// The main window as the simulated machine has it: an edit box that is a
// string, a window that stays where it is unless told to move, and a record
// of what the runs asked of it. Drops are lists of names.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "shell/runs/main_view.h"

namespace tolvaran::simrun {

class SimMainView : public MainView {
 public:
  std::u16string txtLNK_GetText() override { return editBox.substr(0, editBox.find(u'\0')); }
  void txtLNK_SetText(std::u16string_view text) override { editBox = text; }
  WindowPosition position() override { return where; }
  void applyLanguage(const Translation& messages) override { cureCaption = messages.msg(21); }
  void installSubclasses() override { subclassed = true; }
  void Finalize() override {
    subclassed = false;
    finalized = true;
  }
  void close() override { closed = true; }
  platform::WindowHandle handle() override { return kHandle; }

  static constexpr platform::WindowHandle kHandle = 0x10010;
  std::u16string editBox;
  WindowPosition where;
  std::u16string cureCaption;
  bool subclassed = false;
  bool finalized = false;
  bool closed = false;
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
