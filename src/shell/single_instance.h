#pragma once
// One copy of the program at a time: a named mutex held for the life of the
// process. A second copy is only let through when the user asks for it.
// The handle is closed before the program starts a copy of itself, so that
// the copy does not take itself for a second instance, and taken again when
// that relaunch did not happen.
#include <string_view>

#include "platform/modules.h"
#include "platform/ui.h"
#include "system/translation.h"

namespace tolvaran {

inline constexpr std::u16string_view kSingleInstanceMutex = u"mutex_Tolvaran";

class SingleInstance {
 public:
  explicit SingleInstance(platform::Modules& modules) noexcept : modules_(modules) {}
  ~SingleInstance() { close(); }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Creates (or opens) the mutex, owned; true when another copy already
  // held it. An earlier handle of this object is closed first.
  bool create();
  void close() noexcept;
  [[nodiscard]] bool held() const noexcept { return handle_ != platform::kNoHandle; }

 private:
  platform::Modules& modules_;
  platform::KernelHandle handle_ = platform::kNoHandle;
};

enum class InstanceCheck {
  kOnlyCopy,       // no other copy runs
  kSecondAllowed,  // another copy runs; the user wants this one too
  kSecondRefused,  // another copy runs; this one must end before any window shows
};

// Takes the mutex; when another copy holds it, asks (message 003) whether
// to run this one too.
InstanceCheck checkSingleInstance(SingleInstance& instance, platform::Ui& ui,
                                  const Translation& messages);

}  // namespace tolvaran
