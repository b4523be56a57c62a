#include "engine/TargetList.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/FileSystem.h"

namespace kavex {
namespace {

char FoldCase(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

}  // namespace

bool TargetLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    // Bytes equal as they are are equal folded too, so the shared prefix (long in the paths of one
    // folder) is skipped a block at a time.
    constexpr std::size_t kBlock = 16;
    std::size_t i = 0;
    while (i + kBlock <= common && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0)
        i += kBlock;
    for (; i < common; ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void AppendFolderContents(const std::string& folder, std::vector<std::string>& out) {
    const auto entries = platform::ListDirectory(folder);
    if (!entries) return;
    for (const platform::DirectoryEntry& entry : *entries) {
        std::string path = folder + "/" + entry.name;
        const bool descend = entry.isFolder && !entry.isSymlink;
        out.push_back(path);
        if (descend) AppendFolderContents(path, out);
    }
}

std::vector<std::string> ExpandDroppedPaths(const std::vector<std::string>& dropped) {
    std::vector<std::string> paths;
    for (const std::string& path : dropped) {
        paths.push_back(path);
        if (platform::GetPathKind(path) == platform::PathKind::Folder) {
            AppendFolderContents(path, paths);
        }
    }
    return paths;
}

void TargetList::Add(std::vector<std::string> paths) {
    std::stable_sort(paths.begin(), paths.end(), TargetLess);
    const auto middle = static_cast<std::ptrdiff_t>(m_items.size());
    m_items.insert(m_items.end(), std::make_move_iterator(paths.begin()),
                   std::make_move_iterator(paths.end()));
    // Existing items come first among equals, so a new item goes after an equal old one.
    std::inplace_merge(m_items.begin(), m_items.begin() + middle, m_items.end(), TargetLess);
}

}  // namespace kavex
