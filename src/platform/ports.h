#pragma once
// Every Windows service the program uses, reached through one bundle.
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/os_info.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/shell_operations.h"
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
  Processes& processes;
  ShellOperations& shellOps;
  ShellLinks& shellLinks;
  Installer& installer;
  ShellNotify& shellNotify;
};

}  // namespace tolvaran::platform
