// A file opened without sharing: every open takes an exclusive, non-blocking lock, so a file that
// another holder has open fails to open here, as on a system with share modes.
//
//   kavex::platform::File file = kavex::platform::File::Open(path, File::Mode::Read);
//   if (!file.IsOpen()) return false;  // file.Error() holds the errno
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavex::platform {

class File {
public:
    enum class Mode {
        Read,            // an existing file, for reading; a folder does not open
        ReadWrite,       // an existing file, for reading and writing in place; nothing is cut
        CreateTruncate,  // for writing: created when missing, cut to length 0 once locked
    };

    static File Open(const std::string& path, Mode mode);

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    [[nodiscard]] bool IsOpen() const { return m_nFd >= 0; }
    // The errno of the last failure (open, read, write, cut, close).
    [[nodiscard]] int Error() const { return m_nError; }
    [[nodiscard]] int Descriptor() const { return m_nFd; }

    [[nodiscard]] std::optional<std::int64_t> Size();
    // Reads up to `capacity` bytes at the current offset: the count read, 0 at the end, -1 on
    // error.
    [[nodiscard]] std::int64_t Read(char* buffer, std::size_t capacity);
    // Writes all bytes at the given offset (retrying short writes).
    [[nodiscard]] bool WriteAt(std::int64_t offset, std::string_view bytes) {
        return WriteAll(bytes, offset);
    }
    // Writes all bytes at the current offset.
    [[nodiscard]] bool Write(std::string_view bytes) { return WriteAll(bytes, std::nullopt); }
    [[nodiscard]] bool Truncate(std::int64_t length);
    [[nodiscard]] bool Sync();
    // Closes and reports whether the close succeeded; the file is closed either way.
    [[nodiscard]] bool Close();

private:
    explicit File(int fd) : m_nFd(fd) {}
    // Retries short writes; at the offset when given, else at the current offset.
    bool WriteAll(std::string_view bytes, std::optional<std::int64_t> offset);

    int m_nFd = -1;
    int m_nError = 0;
};

}  // namespace kavex::platform
