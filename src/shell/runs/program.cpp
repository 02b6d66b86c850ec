#include "shell/runs/program.h"

#include <utility>

namespace tolvaran {
Program::Program(platform::Ports ports, ProgramSetup setup)
    : ports_(ports),
      identity_(std::move(setup.identity)),
      errors_(ports_, messages_, identity_.folder, setup.observer),
      registry_(ports.registry, ports.system, errors_),
      os_(ports.osInfo, ports.registry, errors_),
      folders_(setup.folders ? std::move(*setup.folders)
                             : InitVariables(ports.system, registry_, os_, errors_)),
      settings_(ports.profile, errors_, folders_.SettingsPath),
      crc_(ports.system, ports.files),
      log_(ports_, messages_, errors_, settings_, crc_, os_, identity_),
      files_(ports_, errors_, saved_, folders_.bIsWin64),
      process_(ports_, errors_),
      backup_(ports.files),
      md5_(ports.system, ports.files, errors_),
      engine_(EngineServices{ports_, errors_, messages_, log_, os_, files_, process_, backup_,
                             registry_, md5_},
              engineFolders(folders_, os_)),
      dir_(ports_, errors_, saved_, os_.Bitness(), folders_.Sys32),
      intake_(IntakeServices{ports_, errors_, messages_, log_, settings_, files_, dir_, md5_,
                             engine_, identity_.title}) {
  messages_.LoadLanguage(setup.languageCode, static_cast<std::uint32_t>(os_.LangDisplayCode()),
                         static_cast<std::uint32_t>(os_.LangNonUnicodeCode()), ports_.ui,
                         identity_.title);
  engine_.start();
  log_.ResetLogState();
}

Program::~Program() {
  engine_.stop();
}

}  // namespace tolvaran
