#include "engine/Run.h"

#include <optional>

#include "engine/Definitions.h"
#include "engine/Passes.h"
#include "engine/Scanner.h"
#include "engine/SystemTexts.h"
#include "platform/CodePage.h"

namespace kavex {
namespace {

// Closes the progress display on every way out once it is open.
class ProgressGuard {
public:
    explicit ProgressGuard(RunHost& host) : m_host(host) { m_host.OpenProgress(); }
    ~ProgressGuard() { m_host.CloseProgress(); }
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;

private:
    RunHost& m_host;
};

RunOutcome ToRunOutcome(PassOutcome outcome) {
    switch (outcome) {
        case PassOutcome::Completed:
            return RunOutcome::Completed;
        case PassOutcome::Cancelled:
            return RunOutcome::Cancelled;
        case PassOutcome::StoppedOnFileError:
            return RunOutcome::StoppedOnFileError;
    }
    return RunOutcome::Completed;
}

}  // namespace

RunOutcome RunReplacement(RunHost& host) {
    return RunReplacement(host, JournalSettingsFromEnvironment());
}

RunOutcome RunReplacement(RunHost& host, const JournalSettings& journal) {
    const platform::CodePage& codePage = platform::ProcessCodePage();
    const SystemTexts texts(codePage);
    host.ExchangeFromControls();
    const RunSettings& settings = host.Settings();

    const std::optional<DefinitionTable> definitions =
        LoadDefinitions(settings.m_sPath, host, texts, codePage);
    if (!definitions) return RunOutcome::EndedBeforeStart;

    const std::size_t count = host.TargetCount();
    if (count > kMaxTargets) {
        host.ShowMessageBox(texts.tooManyTargets, texts.captionError);
        return RunOutcome::EndedBeforeStart;
    }

    std::string stopMessage;
    RunOutcome outcome = RunOutcome::Completed;
    {
        ProgressGuard progress(host);
        host.SetProgressRange(0, 100);
        host.SetProgressStatus(texts.statusPreparing);
        host.AssignLog(texts.logStart);

        TargetTable targets = BuildTargetTable(host, count);
        OrderByDepth(targets, host);
        const ExtensionList extensions = BuildExtensionList(settings);
        host.SetProgressStatus(texts.statusData);
        host.AppendLog(std::string(kLineBreak) + texts.logTotal + std::to_string(count));
        host.AppendLog(std::string(kLineBreak) + texts.logDepthRange +
                       std::to_string(targets.maxDepth));

        const Scanner scanner(*definitions);
        RunContext context{host, texts, settings, scanner, targets, extensions, journal, {}};
        const std::int32_t passes = settings.m_nES2;
        if (passes == 0 || passes == 2) outcome = ToRunOutcome(RunDataPass(context));
        if (outcome == RunOutcome::Completed && (passes == 0 || passes == 1)) {
            outcome = ToRunOutcome(RunNamePass(context));
        }
        stopMessage = std::move(context.stopMessage);
        host.ExchangeToControls();
    }
    // After the progress display is gone, so the message box is the only window asking.
    if (outcome == RunOutcome::StoppedOnFileError) {
        host.ShowMessageBox(stopMessage, texts.captionError);
    }
    return outcome;
}

}  // namespace kavex
