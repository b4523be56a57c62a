// Rewrites a file in place (the same inode, so hard links, owner, mode and extended attributes
// stay) without ever leaving it half-written when a write fails: it overwrites from the start
// without cutting first, cuts to the new length at the end, and on any failure writes the old bytes
// back.
#pragma once

#include <string>
#include <string_view>

namespace kavex {

enum class RewriteStatus {
    Written,            // the file holds newBytes
    OpenFailed,         // the file could not be opened for writing; it was not touched
    FailedRestored,     // a write, cut or close failed; the file holds oldBytes again
    FailedNotRestored,  // a write failed and so did putting the old bytes back
};

struct RewriteResult {
    RewriteStatus status = RewriteStatus::Written;
    int error = 0;  // errno of the failure
};

// oldBytes must be the file's whole present content.
[[nodiscard]] RewriteResult RewriteInPlace(const std::string& path, std::string_view oldBytes,
                                           std::string_view newBytes);

}  // namespace kavex
