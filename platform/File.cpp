#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kavex::platform {

File File::Open(const std::string& path, Mode mode) {
    File file;
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::CreateTruncate:
            flags |= O_WRONLY | O_CREAT;
            break;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        file.m_nError = errno;
        return file;
    }
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (mode == Mode::CreateTruncate && ::ftruncate(fd, 0) != 0) {
        // Cut only once the lock is held, so a file in use is never emptied.
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        file.m_nError = error;
        return file;
    }
    file.m_nFd = fd;
    return file;
}

File::File(File&& other) noexcept
    : m_nFd(std::exchange(other.m_nFd, -1)), m_nError(other.m_nError) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (IsOpen()) (void)Close();
        m_nFd = std::exchange(other.m_nFd, -1);
        m_nError = other.m_nError;
    }
    return *this;
}

File::~File() {
    if (IsOpen()) ::close(m_nFd);
}

std::optional<std::int64_t> File::Size() {
    struct stat status {};
    if (::fstat(m_nFd, &status) != 0) {
        m_nError = errno;
        return std::nullopt;
    }
    return static_cast<std::int64_t>(status.st_size);
}

std::int64_t File::Read(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t count = ::read(m_nFd, buffer, capacity);
        if (count >= 0) return count;
        if (errno == EINTR) continue;
        m_nError = errno;
        return -1;
    }
}

bool File::WriteAll(std::string_view bytes, std::optional<std::int64_t> offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const char* from = bytes.data() + done;
        const std::size_t left = bytes.size() - done;
        const ssize_t count =
            offset ? ::pwrite(m_nFd, from, left,
                              static_cast<off_t>(*offset + static_cast<std::int64_t>(done)))
                   : ::write(m_nFd, from, left);
        if (count < 0) {
            if (errno == EINTR) continue;
            m_nError = errno;
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool File::Truncate(std::int64_t length) {
    if (::ftruncate(m_nFd, static_cast<off_t>(length)) == 0) return true;
    m_nError = errno;
    return false;
}

bool File::Sync() {
    if (::fsync(m_nFd) == 0) return true;
    m_nError = errno;
    return false;
}

bool File::Close() {
    const int fd = std::exchange(m_nFd, -1);
    if (fd < 0) return true;
    if (::close(fd) == 0) return true;
    m_nError = errno;
    return false;
}

}  // namespace kavex::platform
