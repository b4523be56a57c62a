// The console's progress display: one line on a terminal, redrawn in place, with the status text,
// a bar and the percentage as the window's label shows it; cleared when the run closes it.
//
//   kavex::cli::ProgressLine line(STDERR_FILENO, codePage);  // draws only if the fd is a terminal
//   line.SetStatus(text); line.SetPosition(42); line.Clear();
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace kavex::cli {

// The percent label's text for a position in a range: q = (position - low) * 100 / (high - low),
// truncated; unless q is exactly 100 it becomes q % 100 (with the sign of q); shown as "%d%".
// A range whose bounds are equal shows "0%".
[[nodiscard]] std::string PercentLabel(std::int32_t position, std::int32_t low, std::int32_t high);

// The longest start of text, in whole characters of the code page, that fills at most `columns`
// terminal columns (a double-byte character or a wide UTF-8 character takes two).
[[nodiscard]] std::string_view FitToColumns(std::string_view text, std::size_t columns,
                                            const platform::CodePage& codePage);

class ProgressLine {
public:
    ProgressLine(int fd, const platform::CodePage& codePage);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    [[nodiscard]] bool Shown() const { return m_bTerminal; }
    void SetRange(std::int32_t low, std::int32_t high);
    // Returns the previous position.
    std::int32_t SetPosition(std::int32_t position);
    void SetStatus(std::string_view text);
    // Removes the line from the terminal (before other output, and at the end).
    void Clear();

private:
    void Redraw();

    int m_fd;
    const platform::CodePage& m_codePage;
    bool m_bTerminal;
    bool m_bDrawn = false;
    std::int32_t m_nLow = 0;
    std::int32_t m_nHigh = 100;
    std::int32_t m_nPosition = 0;
    std::string m_sStatus;
    std::string m_sDrawnPercent;
    std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace kavex::cli
