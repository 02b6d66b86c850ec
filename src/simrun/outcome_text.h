#pragma once
// A session's outcome as UTF-8 text for a person: each run's report, the
// message boxes it showed, the status texts and what it opened, then what
// changed on the machine and which originals were kept.
#include <string>

#include "simrun/whole_run.h"

namespace tolvaran::simrun {

struct OutcomeTextOptions {
  bool reports = true;
  bool details = true;  // dialogs, statuses, opened, changes, backups
};

std::string outcomeText(const SessionOutcome& outcome, const OutcomeTextOptions& options = {});

// "64 Information" and the like: a box's flags as a person reads them.
std::string dialogFlagsText(std::uint32_t flags);
// "Yes", "No", "OK" or the number.
std::string answerText(int answer);

}  // namespace tolvaran::simrun
