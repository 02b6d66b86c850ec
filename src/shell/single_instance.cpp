#include "shell/single_instance.h"

#include "shell/msg_box.h"

namespace tolvaran {

bool SingleInstance::create() {
  close();
  const auto created = modules_.createMutex(kSingleInstanceMutex, true);
  handle_ = created.value;
  return created.code == platform::kErrorAlreadyExists;
}

void SingleInstance::close() noexcept {
  if (handle_ == platform::kNoHandle) return;
  try {
    (void)modules_.closeMutex(handle_);
  } catch (...) {
    // The destructor closes through here, so nothing may leave it; nothing
    // is left to do with a handle the system would not close.
  }
  handle_ = platform::kNoHandle;
}

InstanceCheck checkSingleInstance(SingleInstance& instance, platform::Ui& ui,
                                  const Translation& messages) {
  if (!instance.create()) return InstanceCheck::kOnlyCopy;
  const int answer = MsgBoxW(ui, messages[Msg::kSecondCopy], msg_flags::kYesNoWarning);
  return answer == platform::id::kNo ? InstanceCheck::kSecondRefused
                                     : InstanceCheck::kSecondAllowed;
}

}  // namespace tolvaran
