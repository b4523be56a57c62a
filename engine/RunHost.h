// What a replacement run needs from its host (the window, the console, a test): the settings, the
// target list, the message log, message boxes and a progress display with a cancel request.
//
//   class ConsoleHost : public kavex::RunHost { ... };
//   ConsoleHost host(...);
//   kavex::RunOutcome outcome = kavex::RunReplacement(host);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/RunSettings.h"

namespace kavex {

class RunHost {
public:
    virtual ~RunHost() = default;

    // The window copies its path box and Message box into m_sPath and the log...
    virtual void ExchangeFromControls() = 0;
    // ...and shows the log and m_sPath in them.
    virtual void ExchangeToControls() = 0;

    [[nodiscard]] virtual const RunSettings& Settings() const = 0;

    [[nodiscard]] virtual std::size_t TargetCount() const = 0;
    // The text of list item `index`, 0-based in the list's sorted order.
    [[nodiscard]] virtual std::string TargetItem(std::size_t index) const = 0;

    virtual void AssignLog(std::string_view text) = 0;
    virtual void AppendLog(std::string_view text) = 0;

    // A message box with an OK button, no icon, owned by the main window. Texts are code-page
    // bytes.
    virtual void ShowMessageBox(std::string_view text, std::string_view caption) = 0;

    // The progress display. The run opens it once and closes it on every end after opening.
    virtual void OpenProgress() = 0;
    virtual void SetProgressRange(std::int32_t low, std::int32_t high) = 0;
    // Lets the host process pending input first; returns the previous position.
    virtual std::int32_t SetProgressPosition(std::int32_t position) = 0;
    virtual void SetProgressStatus(std::string_view text) = 0;
    // Lets the host process pending input first; a cancel request is latched and reported once.
    [[nodiscard]] virtual bool TakeCancelRequest() = 0;
    virtual void CloseProgress() = 0;
};

}  // namespace kavex
