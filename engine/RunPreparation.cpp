#include <algorithm>
#include <numeric>

#include "engine/PathHelpers.h"
#include "engine/Run.h"
#include "platform/FileSystem.h"

namespace kavex {

std::int32_t PathDepth(std::string_view path) {
    return static_cast<std::int32_t>(std::count_if(path.begin(), path.end(), IsSeparator));
}

TargetTable BuildTargetTable(RunHost& host, std::size_t count) {
    TargetTable table;
    table.rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        host.SetProgressPosition(static_cast<std::int32_t>(i * 50 / count));
        TargetRow row;
        row.path = host.TargetItem(i);
        row.size = platform::FileLength(row.path).value_or(0);
        row.depth = PathDepth(row.path);
        table.byteTotal += 2 * row.size;
        table.maxDepth = std::max(table.maxDepth, row.depth);
        table.rows.push_back(std::move(row));
    }
    return table;
}

void OrderByDepth(TargetTable& table, RunHost& host) {
    // The exact exchange loop decides the order of equal depths; run it on indexes and depths,
    // then move the rows once.
    const std::size_t count = table.rows.size();
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::int32_t> depths(count);
    for (std::size_t i = 0; i < count; ++i) depths[i] = table.rows[i].depth;
    for (std::size_t i = 0; i < count; ++i) {
        host.SetProgressPosition(static_cast<std::int32_t>(i * 50 / count + 50));
        for (std::size_t j = 0; j < count; ++j) {
            if (depths[i] < depths[j]) {
                std::swap(depths[i], depths[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    std::vector<TargetRow> ordered;
    ordered.reserve(count);
    for (std::size_t index : order) ordered.push_back(std::move(table.rows[index]));
    table.rows = std::move(ordered);
}

ExtensionList BuildExtensionList(const RunSettings& settings) {
    ExtensionList list;
    const std::string* source = settings.m_nES3 == 1   ? &settings.m_sES2
                                : settings.m_nES3 == 2 ? &settings.m_sES3
                                                       : nullptr;
    if (source == nullptr) return list;
    for (char byte : *source) {
        if (byte == ',') {
            if (list.entries.size() - 1 < kMaxExtensionIndex) list.entries.emplace_back();
            list.entries.back().clear();
        } else {
            list.entries.back() += byte;
        }
    }
    return list;
}

bool ExtensionFilterIncludes(std::string_view path, const ExtensionList& list, std::int32_t mode) {
    bool included = mode != 1;
    if (mode != 1 && mode != 2) return included;
    const std::string extension = PathExtension(path);
    for (const std::string& entry : list.entries) {
        if (!entry.empty() && entry == extension) included = mode == 1;
    }
    return included;
}

}  // namespace kavex
