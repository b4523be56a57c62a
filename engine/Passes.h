// The two passes of a run and what they share. Internal to the engine.
#pragma once

#include <string>

#include "engine/Journal.h"
#include "engine/Run.h"
#include "engine/Scanner.h"
#include "engine/SystemTexts.h"

namespace kavex {

struct RunContext {
    RunHost& host;
    const SystemTexts& texts;
    const RunSettings& settings;
    const Scanner& scanner;
    const TargetTable& targets;
    const ExtensionList& extensions;
    const JournalSettings& journal;  // where the data pass keeps the old bytes of each file
    // Set by a pass that stops on a file error: the message box text the run shows at its end.
    std::string stopMessage;
};

enum class PassOutcome { Completed, Cancelled, StoppedOnFileError };

// Rewrites the contents of the selected files, first row first.
[[nodiscard]] PassOutcome RunDataPass(RunContext& context);
// Renames the selected entries, last row first.
[[nodiscard]] PassOutcome RunNamePass(RunContext& context);

}  // namespace kavex
