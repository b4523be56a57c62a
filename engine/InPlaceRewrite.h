// Rewrites a file in place (the same inode, so hard links, owner, mode and extended attributes
// stay) without ever leaving it half-written when a write fails: it overwrites from the start
// without cutting first, cuts to the new length at the end, and on any failure writes the old bytes
// back. A crash in the middle is covered by the journal entry written before (engine/Journal.h).
#pragma once

#include <string>
#include <string_view>

#include "engine/Journal.h"

namespace kavex {

enum class RewriteStatus {
    Written,            // the file holds newBytes
    OpenFailed,         // the file could not be opened for writing; it was not touched
    ChangedSinceRead,   // the path names another file now, or the file was changed; not touched
    FailedRestored,     // a write, cut, sync or close failed; the file holds oldBytes again
    FailedNotRestored,  // a write failed and so did putting the old bytes back
};

struct RewriteResult {
    RewriteStatus status = RewriteStatus::Written;
    int error = 0;  // errno of the failure
};

struct RewriteOptions {
    bool sync = false;  // the new bytes reach the disk before the file is closed
    const WriteStepHook* beforeEachWrite = nullptr;
};

// oldBytes must be the file's whole content when it was read, and `read` its identity then; the
// file is only written when it is still that file with that length and modification time.
[[nodiscard]] RewriteResult RewriteInPlace(const std::string& path, const FileIdentity& read,
                                           std::string_view oldBytes, std::string_view newBytes,
                                           const RewriteOptions& options = {});

}  // namespace kavex
