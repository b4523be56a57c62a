#include "cli/ConsoleOutput.h"

#include <unistd.h>

#include <cerrno>

namespace kavex::cli {

std::string ConsoleLines(std::string_view text) {
    if (text.empty()) return {};
    std::string lines;
    lines.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    lines += '\n';
    return lines;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace kavex::cli
