#include "engine/Passes.h"
#include "engine/PathHelpers.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

bool OfSelectedKind(std::int32_t targetKind, const std::string& path) {
    // A path that cannot be examined counts as a folder.
    const bool folder = platform::GetPathKind(path) != platform::PathKind::NotFolder;
    switch (targetKind) {
        case 0:
            return true;
        case 1:
            return !folder;
        case 2:
            return folder;
        default:
            return false;
    }
}

}  // namespace

PassOutcome RunNamePass(RunContext& context) {
    RunHost& host = context.host;
    const SystemTexts& texts = context.texts;
    const auto& rows = context.targets.rows;
    const auto count = static_cast<std::int64_t>(rows.size());
    host.AppendLog(std::string(kLineBreak) + texts.logNameHeader);

    for (std::int64_t i = count - 1; i >= 0; --i) {
        if (host.TakeCancelRequest()) return PassOutcome::Cancelled;
        host.SetProgressStatus(texts.NameStatus(i, count));
        const std::string& path = rows[static_cast<std::size_t>(i)].path;
        if (!ExtensionFilterIncludes(path, context.extensions, context.settings.m_nES3) ||
            !OfSelectedKind(context.settings.m_nES1, path)) {
            continue;
        }
        const std::string oldName = LastPathComponent(path);
        const ScanResult scan = context.scanner.ScanAndReplace(oldName);
        if (scan.replaced) {
            std::string line(kLineBreak);
            line.append("[").append(oldName);
            if (scan.text == oldName) {
                line.append(texts.unchanged);
            } else if (platform::RenameNoReplace(path, DirectoryPart(path) + scan.text) == 0) {
                line.append(texts.countBefore)
                    .append(std::to_string(scan.count))
                    .append(texts.countAfter);
            } else {
                line.append(texts.renameFailed);
            }
            host.AppendLog(line + scan.detail);
        }
        host.SetProgressPosition(static_cast<std::int32_t>((count - i) * 100 / count));
    }
    return PassOutcome::Completed;
}

}  // namespace kavex
