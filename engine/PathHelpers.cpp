#include "engine/PathHelpers.h"

#include <algorithm>
#include <cstdint>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

constexpr std::size_t kPieceSize = 1024;

std::size_t LastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) return i - 1;
    }
    return std::string_view::npos;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& text) {
    platform::File file = platform::File::Open(path, platform::File::Mode::Read);
    if (!file.IsOpen()) return false;
    const std::optional<std::int64_t> length = file.Size();
    if (!length) return false;
    // Read no more than the length taken at the open, even if the file grows meanwhile.
    std::string content(static_cast<std::size_t>(*length), '\0');
    std::size_t filled = 0;
    char piece[kPieceSize];
    while (filled < content.size()) {
        const std::int64_t count = file.Read(piece, std::min(kPieceSize, content.size() - filled));
        if (count < 0) return false;
        if (count == 0) break;
        content.replace(filled, static_cast<std::size_t>(count), piece,
                        static_cast<std::size_t>(count));
        filled += static_cast<std::size_t>(count);
    }
    content.resize(filled);
    const std::size_t nul = content.find('\0');
    if (nul != std::string::npos) content.resize(nul);
    text = std::move(content);
    return true;
}

bool FileExists(const std::string& path) { return platform::EntryExists(path); }

std::string DirectoryOfExecutable(std::string_view executablePath) {
    const std::size_t separator = LastSeparator(executablePath);
    std::string directory(separator == std::string_view::npos
                              ? std::string_view{}
                              : executablePath.substr(0, separator + 1));
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory;
}

std::string ExecutableDirectory() { return DirectoryOfExecutable(platform::ExecutablePath()); }

bool WriteWholeFile(const std::string& path, std::string_view text) {
    platform::SetReadOnly(path, false);
    platform::File file = platform::File::Open(path, platform::File::Mode::CreateTruncate);
    if (!file.IsOpen()) return false;
    bool written = true;
    for (std::size_t offset = 0; offset < text.size() && written; offset += kPieceSize) {
        written = file.Write(text.substr(offset, kPieceSize));
    }
    return file.Close() && written;
}

bool CopyFileReplacing(const std::string& source, const std::string& destination) {
    platform::CopyFileReplacing(source, destination);
    return true;
}

std::string PathExtension(std::string_view path) {
    for (std::size_t i = path.size(); i > 1; --i) {
        if (path[i - 1] == '.') return std::string(path.substr(i));
    }
    return {};
}

std::string LastPathComponent(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    if (separator == std::string_view::npos) return {};
    return std::string(path.substr(separator + 1));
}

std::string DirectoryPart(std::string_view path) {
    const std::size_t separator = LastSeparator(path);
    if (separator == std::string_view::npos) return {};
    return std::string(path.substr(0, separator + 1));
}

}  // namespace kavex
