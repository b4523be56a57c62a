// The console's side of a run: settings from the command line, the sorted target list, the log kept
// in memory, message boxes as "CAPTION: TEXT" lines on standard error, a progress line on a
// terminal and Ctrl-C / SIGTERM as the cancel request.
//
//   kavex::cli::ConsoleHost host(settings, targets, codePage);
//   kavex::RunOutcome outcome = kavex::RunReplacement(host);
//   WriteAll(STDOUT_FILENO, ConsoleLines(host.Log()));
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ProgressLine.h"
#include "engine/RunHost.h"
#include "engine/TargetList.h"

namespace kavex::cli {

// The test hook: at this 0-based cancel check the host says so on standard error and waits for a
// cancel signal, so a test can interrupt a run at a known point.
inline constexpr const char* kPauseAtCancelCheckVariable = "KAVEX_CLI_TEST_PAUSE_AT_CANCEL_CHECK";
inline constexpr std::string_view kPausedNotice = "kavex-cli: paused for a cancel signal\n";

class ConsoleHost : public RunHost {
public:
    // targets are taken as dropped paths: each folder brings everything below it.
    ConsoleHost(RunSettings settings, const std::vector<std::string>& targets,
                const platform::CodePage& codePage);

    [[nodiscard]] const std::string& Log() const { return m_sLog; }

    // The path box and the Message box are the command line and standard output here.
    void ExchangeFromControls() override {}
    void ExchangeToControls() override {}
    [[nodiscard]] const RunSettings& Settings() const override { return m_settings; }
    [[nodiscard]] std::size_t TargetCount() const override { return m_targets.Count(); }
    [[nodiscard]] std::string TargetItem(std::size_t index) const override {
        return m_targets.Items().at(index);
    }
    void AssignLog(std::string_view text) override { m_sLog = std::string(text); }
    void AppendLog(std::string_view text) override { m_sLog += text; }
    void ShowMessageBox(std::string_view text, std::string_view caption) override;
    void OpenProgress() override {}
    void SetProgressRange(std::int32_t low, std::int32_t high) override;
    std::int32_t SetProgressPosition(std::int32_t position) override;
    void SetProgressStatus(std::string_view text) override;
    [[nodiscard]] bool TakeCancelRequest() override;
    void CloseProgress() override;

private:
    RunSettings m_settings;
    TargetList m_targets;
    std::string m_sLog;
    ProgressLine m_progress;
    std::optional<long> m_nPauseAtCheck;
    long m_nCancelChecks = 0;
};

}  // namespace kavex::cli
