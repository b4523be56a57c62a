#include "cli/ProgressLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "cli/ConsoleOutput.h"

namespace kavex::cli {
namespace {

constexpr std::size_t kBarCells = 20;
// The line is redrawn at most this often while its percentage stays: the data pass reports every
// 10 KiB chunk.
constexpr std::chrono::milliseconds kRedrawInterval{100};
// Go to the start of the line and erase it.
constexpr std::string_view kEraseLine = "\r\x1b[K";

std::size_t TerminalColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

std::string PercentLabel(std::int32_t position, std::int32_t low, std::int32_t high) {
    if (high == low) return "0%";
    std::int64_t q = (std::int64_t{position} - low) * 100 / (std::int64_t{high} - low);
    if (q != 100) q %= 100;
    return std::to_string(q) + "%";
}

std::string_view FitToColumns(std::string_view text, std::size_t columns,
                              const platform::CodePage& codePage) {
    const bool utf8 = !codePage.HasLeadBytes() && codePage.IconvName() == "UTF-8";
    std::size_t used = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t bytes = 1;
        std::size_t width = 1;
        const auto lead = static_cast<unsigned char>(text[end]);
        if (codePage.HasLeadBytes()) {
            if (end + 1 < text.size() && codePage.FormsPair(text[end], text[end + 1])) {
                bytes = 2;
                width = 2;
            }
        } else if (utf8 && lead >= 0xC0) {
            bytes = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            width = bytes >= 3 ? 2 : 1;  // most three- and four-byte characters are wide
        }
        if (used + width > columns || end + bytes > text.size()) break;
        used += width;
        end += bytes;
    }
    return text.substr(0, end);
}

ProgressLine::ProgressLine(int fd, const platform::CodePage& codePage)
    : m_fd(fd), m_codePage(codePage), m_bTerminal(::isatty(fd) == 1) {}

void ProgressLine::SetRange(std::int32_t low, std::int32_t high) {
    m_nLow = low;
    m_nHigh = high;
}

std::int32_t ProgressLine::SetPosition(std::int32_t position) {
    const std::int32_t previous = m_nPosition;
    m_nPosition = position;
    Redraw();
    return previous;
}

void ProgressLine::SetStatus(std::string_view text) {
    m_sStatus = std::string(text);
    Redraw();
}

void ProgressLine::Clear() {
    if (!m_bDrawn) return;
    (void)WriteAll(m_fd, kEraseLine);
    m_bDrawn = false;
}

void ProgressLine::Redraw() {
    if (!m_bTerminal) return;
    // A new percentage is always shown; other changes (the byte counts of the status) wait.
    std::string percent = PercentLabel(m_nPosition, m_nLow, m_nHigh);
    const auto now = std::chrono::steady_clock::now();
    if (m_bDrawn && percent == m_sDrawnPercent && now - m_lastDraw < kRedrawInterval) return;
    m_lastDraw = now;

    std::size_t filled = 0;
    if (m_nHigh > m_nLow) {
        const std::int64_t clamped = std::clamp<std::int64_t>(m_nPosition, m_nLow, m_nHigh);
        filled = static_cast<std::size_t>((clamped - m_nLow) * std::int64_t{kBarCells} /
                                          (std::int64_t{m_nHigh} - m_nLow));
    }
    std::string tail = " [";
    tail.append(filled, '#').append(kBarCells - filled, '-').append("] ");
    tail += percent;
    m_sDrawnPercent = std::move(percent);

    // One column short of the width, so the terminal never wraps the line.
    const std::size_t columns = TerminalColumns(m_fd) - 1;
    const std::size_t room = columns > tail.size() ? columns - tail.size() : 0;
    std::string line(kEraseLine);
    line += FitToColumns(m_sStatus, room, m_codePage);
    line += tail;
    (void)WriteAll(m_fd, line);  // the line is only a display; a failure has nothing to report
    m_bDrawn = true;
}

}  // namespace kavex::cli
