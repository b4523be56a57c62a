// Paths, attributes, folder listings, renames and copies. Paths are byte strings used as given.
//
//   if (kavex::platform::GetPathKind(path) == PathKind::Folder) { ... }
//   int error = kavex::platform::RenameNoReplace(oldPath, newPath);  // 0 or an errno
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavex::platform {

enum class PathKind { Folder, NotFolder, Unreadable };

// What the path names, following symbolic links; Unreadable when it cannot be examined (missing).
[[nodiscard]] PathKind GetPathKind(const std::string& path);

// True when an entry of that name exists, including a symbolic link whose target is missing.
[[nodiscard]] bool EntryExists(const std::string& path);

// The length of a file; 0 for a folder; nothing when the path cannot be examined.
[[nodiscard]] std::optional<std::int64_t> FileLength(const std::string& path);

// A file is read-only when none of its three write permission bits is set. A missing path is not.
[[nodiscard]] bool IsReadOnly(const std::string& path);
// The write test: fails exactly when the file is read-only or missing.
[[nodiscard]] bool CanWrite(const std::string& path);
// Setting removes all write bits; clearing adds the owner's write bit. No other bit changes.
bool SetReadOnly(const std::string& path, bool readOnly);

struct DirectoryEntry {
    std::string name;
    bool isFolder = false;   // what the entry leads to, through a symbolic link too
    bool isSymlink = false;  // the entry itself is a symbolic link
};

// Every entry of the folder, hidden ones too, never "." or "..", in the file system's order.
// Nothing when the folder cannot be read.
[[nodiscard]] std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder);

// Renames without ever replacing an existing target: 0 on success, else an errno (EEXIST when the
// target exists).
[[nodiscard]] int RenameNoReplace(const std::string& oldPath, const std::string& newPath);

// Copies a file over its destination (created or replaced). False when anything failed.
bool CopyFileReplacing(const std::string& source, const std::string& destination);

// The full path of the running executable.
[[nodiscard]] std::string ExecutablePath();

}  // namespace kavex::platform
