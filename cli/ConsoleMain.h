// The whole kavex-cli command: reads the command line, sets the code page, runs the replacement
// with a ConsoleHost, prints the log and turns the run's outcome into the exit status.
//
//   int main(int argc, char** argv) { return kavex::cli::RunConsole(argc, argv); }
#pragma once

#include "engine/Run.h"

namespace kavex::cli {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitEndedBeforeStart = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStoppedOnFileError = 3;
inline constexpr int kExitCancelled = 130;

[[nodiscard]] int ExitStatusFor(RunOutcome outcome);

[[nodiscard]] int RunConsole(int argc, char** argv);

}  // namespace kavex::cli
