#include "engine/InPlaceRewrite.h"

#include "platform/File.h"

namespace kavex {
namespace {

bool WriteWhole(platform::File& file, std::string_view bytes) {
    return file.WriteAt(0, bytes) && file.Truncate(static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

RewriteResult RewriteInPlace(const std::string& path, std::string_view oldBytes,
                             std::string_view newBytes) {
    platform::File file = platform::File::Open(path, platform::File::Mode::ReadWrite);
    if (!file.IsOpen()) return {RewriteStatus::OpenFailed, file.Error()};
    if (WriteWhole(file, newBytes)) {
        if (file.Close()) return {RewriteStatus::Written, 0};
        // A failed close may mean lost data (a deferred write error): put the old bytes back.
        const int error = file.Error();
        platform::File again = platform::File::Open(path, platform::File::Mode::ReadWrite);
        const bool restored = again.IsOpen() && WriteWhole(again, oldBytes) && again.Close();
        return {restored ? RewriteStatus::FailedRestored : RewriteStatus::FailedNotRestored, error};
    }
    const int error = file.Error();
    const bool restored = WriteWhole(file, oldBytes) && file.Close();
    return {restored ? RewriteStatus::FailedRestored : RewriteStatus::FailedNotRestored, error};
}

}  // namespace kavex
