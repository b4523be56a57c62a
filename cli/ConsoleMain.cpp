#include "cli/ConsoleMain.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CancelSignal.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleOutput.h"
#include "engine/Journal.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace kavex::cli {
namespace {

int UsageError(const std::string& message) {
    (void)WriteAll(STDERR_FILENO,
                   "kavex-cli: " + message + "\nTry 'kavex-cli --help' for more information.\n");
    return kExitUsage;
}

}  // namespace

int ExitStatusFor(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Completed:
            return kExitCompleted;
        case RunOutcome::EndedBeforeStart:
            return kExitEndedBeforeStart;
        case RunOutcome::StoppedOnFileError:
            return kExitStoppedOnFileError;
        case RunOutcome::Cancelled:
            return kExitCancelled;
    }
    return kExitStoppedOnFileError;
}

int RunConsole(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ParsedCommandLine parsed = ParseCommandLine(args);
    CommandLine& line = parsed.commandLine;
    if (line.action == Action::ShowHelp) return WriteAll(STDOUT_FILENO, HelpText()) ? 0 : 1;
    if (line.action == Action::ShowVersion) return WriteAll(STDOUT_FILENO, VersionText()) ? 0 : 1;
    if (!parsed.error.empty()) return UsageError(parsed.error);

    // A dropped path always exists; a mistyped one is refused here, before anything changes,
    // rather than silently skipped by the run.
    for (const std::string& target : line.targets) {
        if (!platform::EntryExists(target)) {
            return UsageError("cannot access '" + target + "': " + std::strerror(ENOENT));
        }
    }

    // The passes name and rename an entry by what follows its last separator, and a path with none
    // has no name to them: a bare name given here would never be renamed. A dropped path always
    // has one, so a bare name is given the current folder's.
    for (std::string& target : line.targets) {
        if (target.find('/') == std::string::npos) target.insert(0, "./");
    }

    if (line.codePageName)
        platform::SetProcessCodePage(*platform::CodePage::FromName(*line.codePageName));
    const platform::CodePage& codePage = platform::ProcessCodePage();

    ConsoleHost host(std::move(line.settings), line.targets, codePage);
    // Files a killed run left half-written get their old bytes back before anything else.
    (void)RecoverJournalAtStart(host);
    // Only now: until the run starts nothing has changed, so Ctrl-C while a huge folder is being
    // listed may simply end the process.
    InstallCancelSignalHandlers();
    const RunOutcome outcome = RunReplacement(host);
    if (!line.quiet) (void)WriteAll(STDOUT_FILENO, ConsoleLines(host.Log()));
    return ExitStatusFor(outcome);
}

}  // namespace kavex::cli
