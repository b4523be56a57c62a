#include "engine/InPlaceRewrite.h"

#include <algorithm>

#include "platform/File.h"

namespace kavex {
namespace {

// Pieces as large as the journal's, so a crash can fall between any two of them.
constexpr std::size_t kWriteChunk = 65536;

void RunHook(const RewriteOptions& options) {
    if (options.beforeEachWrite != nullptr && *options.beforeEachWrite) {
        (*options.beforeEachWrite)();
    }
}

bool WriteWhole(platform::File& file, std::string_view bytes, const RewriteOptions& options) {
    for (std::size_t done = 0; done < bytes.size(); done += kWriteChunk) {
        RunHook(options);
        if (!file.WriteAt(static_cast<std::int64_t>(done), bytes.substr(done, kWriteChunk))) {
            return false;
        }
    }
    RunHook(options);
    if (!file.Truncate(static_cast<std::int64_t>(bytes.size()))) return false;
    return !options.sync || file.Sync();
}

bool SameAsRead(int fd, const FileIdentity& read, std::string_view oldBytes) {
    FileIdentity now;
    return IdentityOf(fd, now) && now.device == read.device && now.inode == read.inode &&
           now.size == static_cast<std::int64_t>(oldBytes.size()) &&
           now.modifiedNs == read.modifiedNs;
}

}  // namespace

RewriteResult RewriteInPlace(const std::string& path, const FileIdentity& read,
                             std::string_view oldBytes, std::string_view newBytes,
                             const RewriteOptions& options) {
    platform::File file = platform::File::Open(path, platform::File::Mode::ReadWrite);
    if (!file.IsOpen()) return {RewriteStatus::OpenFailed, file.Error()};
    // Between the read and this open the file was not held: whatever happened meanwhile wins.
    if (!SameAsRead(file.Descriptor(), read, oldBytes)) return {RewriteStatus::ChangedSinceRead, 0};
    if (WriteWhole(file, newBytes, options)) {
        RunHook(options);
        if (file.Close()) return {RewriteStatus::Written, 0};
        // A failed close may mean lost data (a deferred write error): put the old bytes back.
        const int error = file.Error();
        platform::File again = platform::File::Open(path, platform::File::Mode::ReadWrite);
        const bool restored =
            again.IsOpen() && WriteWhole(again, oldBytes, options) && again.Close();
        return {restored ? RewriteStatus::FailedRestored : RewriteStatus::FailedNotRestored, error};
    }
    const int error = file.Error();
    const bool restored = WriteWhole(file, oldBytes, options) && file.Close();
    return {restored ? RewriteStatus::FailedRestored : RewriteStatus::FailedNotRestored, error};
}

}  // namespace kavex
