// The replacement run: loads the definitions, takes a snapshot of the targets ordered by depth,
// rewrites the contents of the selected files (data pass, shallowest first) and renames the
// selected entries (name pass, deepest first), reporting every file in the host's log.
//
//   MyHost host;  // a kavex::RunHost
//   if (kavex::RunReplacement(host) == kavex::RunOutcome::Completed) { ... }
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Journal.h"
#include "engine/RunHost.h"

namespace kavex {

inline constexpr std::size_t kMaxTargets = 9999;
inline constexpr std::size_t kMaxExtensionIndex = 999;

enum class RunOutcome {
    Completed,         // went to its end (the result 1)
    EndedBeforeStart,  // a message box before anything changed: definition errors, too many targets
    Cancelled,         // stopped at a cancel check
    StoppedOnFileError,  // a file could not be written; it was restored and the run stopped
};

// 1 for a run that went to its end, 0 otherwise.
[[nodiscard]] constexpr int RunResult(RunOutcome outcome) {
    return outcome == RunOutcome::Completed ? 1 : 0;
}

// Journals every file it rewrites as JournalSettingsFromEnvironment() says.
[[nodiscard]] RunOutcome RunReplacement(RunHost& host);
// The same with the journal's folder and policy given (tests, benchmarks).
[[nodiscard]] RunOutcome RunReplacement(RunHost& host, const JournalSettings& journal);

struct TargetRow {
    std::string path;
    std::int64_t size = 0;   // the length when the row was made; 0 for a folder or a missing path
    std::int32_t depth = 0;  // the number of '\' and '/' bytes in the path
};

struct TargetTable {
    std::vector<TargetRow> rows;
    std::int64_t byteTotal = 0;  // twice the sum of the sizes
    std::int32_t maxDepth = 0;
};

// The extensions of the filter; entries.size() - 1 is the last index (at most 999).
struct ExtensionList {
    std::vector<std::string> entries = {std::string()};
};

[[nodiscard]] std::int32_t PathDepth(std::string_view path);
// Rows in the list's order with sizes and depths; progress positions i * 50 / count.
[[nodiscard]] TargetTable BuildTargetTable(RunHost& host, std::size_t count);
// Ascending depth by the exchange double loop, ties included; progress positions 50 and up.
void OrderByDepth(TargetTable& table, RunHost& host);
[[nodiscard]] ExtensionList BuildExtensionList(const RunSettings& settings);
// The extension filter of both passes for mode m_nES3.
[[nodiscard]] bool ExtensionFilterIncludes(std::string_view path, const ExtensionList& list,
                                           std::int32_t mode);

}  // namespace kavex
