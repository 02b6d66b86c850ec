#pragma once
// Every Windows service the program uses, reached through one bundle.
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/os_info.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace tolvaran::platform {

struct Ports {
  Files& files;
  System& system;
  Clock& clock;
  Profile& profile;
  Ui& ui;
  Registry& registry;
  OsInfo& osInfo;
};

}  // namespace tolvaran::platform
