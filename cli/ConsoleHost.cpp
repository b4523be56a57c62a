#include "cli/ConsoleHost.h"

#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "cli/CancelSignal.h"
#include "cli/ConsoleOutput.h"

namespace kavex::cli {
namespace {

std::optional<long> PauseAtCancelCheck() {
    const char* value = std::getenv(kPauseAtCancelCheckVariable);
    if (value == nullptr || *value == '\0') return std::nullopt;
    char* end = nullptr;
    const long check = std::strtol(value, &end, 10);
    if (*end != '\0' || check < 0) return std::nullopt;
    return check;
}

}  // namespace

ConsoleHost::ConsoleHost(RunSettings settings, const std::vector<std::string>& targets,
                         const platform::CodePage& codePage)
    : m_settings(std::move(settings)),
      m_progress(STDERR_FILENO, codePage),
      m_nPauseAtCheck(PauseAtCancelCheck()) {
    m_targets.AddDropped(targets);
}

void ConsoleHost::ShowMessageBox(std::string_view text, std::string_view caption) {
    m_progress.Clear();
    std::string line(caption);
    line.append(": ").append(text);
    (void)WriteAll(STDERR_FILENO, ConsoleLines(line));
}

void ConsoleHost::SetProgressRange(std::int32_t low, std::int32_t high) {
    m_progress.SetRange(low, high);
}

std::int32_t ConsoleHost::SetProgressPosition(std::int32_t position) {
    return m_progress.SetPosition(position);
}

void ConsoleHost::SetProgressStatus(std::string_view text) { m_progress.SetStatus(text); }

bool ConsoleHost::TakeCancelRequest() {
    if (m_nPauseAtCheck && *m_nPauseAtCheck == m_nCancelChecks) {
        m_progress.Clear();
        (void)WriteAll(STDERR_FILENO, kPausedNotice);
        // Bounded, so a test that never sends the signal fails instead of hanging.
        for (int waited = 0; waited < 6000 && !CancelSignalPending(); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ++m_nCancelChecks;
    return TakeCancelSignal();
}

void ConsoleHost::CloseProgress() { m_progress.Clear(); }

}  // namespace kavex::cli
