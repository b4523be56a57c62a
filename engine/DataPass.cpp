#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/InPlaceRewrite.h"
#include "engine/Passes.h"
#include "engine/PathHelpers.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

constexpr std::size_t kChunkSize = 10240;

std::int32_t ProgressPosition(std::int64_t done, std::int64_t total) {
    if (total <= 0) return 0;
    // done * 100 cannot overflow 64 bits for any file a disk holds.
    const std::int64_t position = done / total * 100 + done % total * 100 / total;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(position, std::numeric_limits<std::int32_t>::max()));
}

bool Selected(const RunContext& context, const std::string& path) {
    if (context.settings.m_nES1 == 2) return false;
    if (platform::GetPathKind(path) != platform::PathKind::NotFolder) return false;
    return ExtensionFilterIncludes(path, context.extensions, context.settings.m_nES3);
}

void RunHook(const RewriteOptions& options) {
    if (*options.beforeEachWrite) (*options.beforeEachWrite)();
}

std::string Line(std::string_view name, std::string_view ending) {
    std::string line(kLineBreak);
    line.append("[").append(name).append(ending);
    return line;
}

}  // namespace

PassOutcome RunDataPass(RunContext& context) {
    RunHost& host = context.host;
    const SystemTexts& texts = context.texts;
    const auto& rows = context.targets.rows;
    const auto count = static_cast<std::int64_t>(rows.size());
    const std::int64_t total = context.targets.byteTotal;
    std::int64_t done = 0;
    host.AppendLog(std::string(kLineBreak) + texts.logDataHeader);
    Journal journal(context.journal);
    const RewriteOptions rewriteOptions{journal.Policy() == JournalPolicy::Durable,
                                        &journal.Hook()};

    for (std::int64_t i = 0; i < count; ++i) {
        const TargetRow& row = rows[static_cast<std::size_t>(i)];
        host.SetProgressStatus(texts.DataStatus(i, count, done, total));
        if (!Selected(context, row.path)) continue;
        const std::string name = LastPathComponent(row.path);

        // Read the whole file; the buffer grows if the file has grown since its size was taken, so
        // no byte of it is dropped when it is written back.
        std::string bytes;
        FileIdentity identity;  // as it was read, before the pass changed anything
        {
            platform::File file = platform::File::Open(row.path, platform::File::Mode::Read);
            if (!file.IsOpen()) {
                host.AppendLog(Line(name, texts.readOpenFailed));
                continue;
            }
            bytes.reserve(static_cast<std::size_t>(file.Size().value_or(0)) + 1);
            char chunk[kChunkSize];
            for (;;) {
                const std::int64_t got = file.Read(chunk, kChunkSize);
                if (got < 0) {
                    context.stopMessage = texts.writeFailedBefore + row.path + " (" +
                                          std::strerror(file.Error()) + ")";
                    return PassOutcome::StoppedOnFileError;
                }
                if (got == 0) break;
                bytes.append(chunk, static_cast<std::size_t>(got));
                done += got;
                host.SetProgressStatus(texts.DataStatus(i, count, done, total));
                host.SetProgressPosition(ProgressPosition(done, total));
                if (host.TakeCancelRequest()) return PassOutcome::Cancelled;
            }
            if (!IdentityOf(file.Descriptor(), identity)) {
                context.stopMessage =
                    texts.writeFailedBefore + row.path + " (" + std::strerror(errno) + ")";
                return PassOutcome::StoppedOnFileError;
            }
        }

        // The scanner sees the bytes before the first NUL; the rest is written back unchanged.
        const std::size_t nul = std::min(bytes.find('\0'), bytes.size());
        ScanResult scan = context.scanner.ScanAndReplace(std::string_view(bytes).substr(0, nul),
                                                         UnchangedText::Omit);
        if (!scan.replaced) {
            host.AppendLog(Line(name, texts.noMatch));
        } else {
            scan.text.append(bytes, nul, std::string::npos);
            // The old bytes are safe in the journal before anything about the file changes, its
            // read-only attribute included.
            JournalWrite journaled = journal.Record(row.path, identity, bytes,
                                                    static_cast<std::int64_t>(scan.text.size()));
            if (journaled.error != 0) {
                context.stopMessage =
                    texts.journalFailed + row.path + " (" + std::strerror(journaled.error) + ")";
                return PassOutcome::StoppedOnFileError;
            }
            // Only the file that was read has its attribute changed, never one put in its place.
            const bool clearsReadOnly = identity.ReadOnly() && NamesFile(row.path, identity);
            if (clearsReadOnly) {
                RunHook(rewriteOptions);
                platform::SetReadOnly(row.path, false);
            }
            const RewriteResult rewrite =
                RewriteInPlace(row.path, identity, bytes, scan.text, rewriteOptions);
            if (clearsReadOnly) {
                RunHook(rewriteOptions);
                platform::SetReadOnly(row.path, true);
            }
            switch (rewrite.status) {
                case RewriteStatus::Written:
                    journaled.entry.Remove();
                    host.AppendLog(Line(name, texts.countBefore) + std::to_string(scan.count) +
                                   texts.countAfter + scan.detail);
                    break;
                case RewriteStatus::OpenFailed:
                case RewriteStatus::ChangedSinceRead:
                    journaled.entry.Remove();
                    host.AppendLog(Line(name, texts.writeOpenFailed) + scan.detail);
                    break;
                case RewriteStatus::FailedRestored:
                    journaled.entry.Remove();
                    context.stopMessage = texts.writeFailedBefore + row.path + " (" +
                                          std::strerror(rewrite.error) + ")" + texts.restoredNote;
                    return PassOutcome::StoppedOnFileError;
                case RewriteStatus::FailedNotRestored:
                    // The entry stays: the next start puts the old bytes back.
                    context.stopMessage = texts.writeFailedBefore + row.path + " (" +
                                          std::strerror(rewrite.error) + ")" +
                                          texts.notRestoredNote;
                    if (!journaled.entry.Path().empty()) {
                        context.stopMessage += texts.journalKeptNote + journaled.entry.Path();
                    }
                    return PassOutcome::StoppedOnFileError;
            }
        }
        done += row.size;
        host.SetProgressPosition(ProgressPosition(done, total));
    }
    return PassOutcome::Completed;
}

}  // namespace kavex
