#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/File.h"

namespace kavex::platform {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

PathKind GetPathKind(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return PathKind::Unreadable;
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::NotFolder;
}

bool EntryExists(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::lstat(path.c_str(), &status) == 0;
}

std::optional<std::int64_t> FileLength(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    if (S_ISDIR(status.st_mode)) return 0;
    return static_cast<std::int64_t>(status.st_size);
}

bool IsReadOnly(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & kWriteBits) == 0;
}

bool CanWrite(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & kWriteBits) != 0;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    const mode_t mode = status.st_mode & 07777;
    const mode_t wanted = readOnly ? (mode & ~kWriteBits) : (mode | S_IWUSR);
    if (wanted == mode) return true;
    return ::chmod(path.c_str(), wanted) == 0;
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    const std::string prefix = folder + "/";
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        DirectoryEntry item{name, entry->d_type == DT_DIR, entry->d_type == DT_LNK};
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            item.isSymlink =
                ::lstat((prefix + name).c_str(), &status) == 0 && S_ISLNK(status.st_mode);
            item.isFolder = !item.isSymlink && S_ISDIR(status.st_mode);
        }
        if (item.isSymlink) item.isFolder = GetPathKind(prefix + name) == PathKind::Folder;
        entries.push_back(std::move(item));
    }
    return entries;
}

int RenameNoReplace(const std::string& oldPath, const std::string& newPath) {
    if (::renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return error;
    // The file system refuses the flag: a file can still move without a race by link + unlink,
    // since link never replaces an existing name. A folder cannot; refuse it.
    struct stat status {};
    if (::lstat(oldPath.c_str(), &status) != 0) return errno;
    if (S_ISDIR(status.st_mode)) return error;
    if (::link(oldPath.c_str(), newPath.c_str()) != 0) return errno;
    if (::unlink(oldPath.c_str()) != 0) {
        const int unlinkError = errno;
        ::unlink(newPath.c_str());
        return unlinkError;
    }
    return 0;
}

bool CopyFileReplacing(const std::string& source, const std::string& destination) {
    File in = File::Open(source, File::Mode::Read);
    if (!in.IsOpen()) return false;
    // Opening the destination takes its lock before cutting it, so copying a file onto itself
    // fails instead of emptying it.
    File out = File::Open(destination, File::Mode::CreateTruncate);
    if (!out.IsOpen()) return false;
    char buffer[65536];
    for (;;) {
        const std::int64_t count = in.Read(buffer, sizeof buffer);
        if (count < 0) return false;
        if (count == 0) break;
        if (!out.Write({buffer, static_cast<std::size_t>(count)})) return false;
    }
    return out.Close();
}

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace kavex::platform
