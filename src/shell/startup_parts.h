#pragma once
// What the start-up offers (archive copy, elevation) work with: the ports
// and the program-wide objects start-up made before them.
//
// Start-up, in order: checkSingleInstance (before any window shows; a
// refused second copy ends at once); languageFromFileName(AppExeName());
// InitVariables; the version, GetFilePropVersion of modulePath() (the real
// file, whatever its name); the browser database; IsLaunchedFromArchive
// (true: unload and end); and once the window is up, CheckAdmin
// (kRelaunched: finalise, unload and end).
#include "fileops/process.h"
#include "platform/ports.h"
#include "shell/program_file.h"
#include "shell/single_instance.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

struct StartupParts {
  platform::Ports ports;
  const Translation& messages;
  ProgramFile& program;
  SingleInstance& instance;
  clsProcess& process;
  FailureRecorder& recorder;
};

}  // namespace tolvaran
