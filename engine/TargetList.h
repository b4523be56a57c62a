// The sorted list of targets that both front ends build from dropped paths: alphabetical without
// regard to letter case (bytes compared with ASCII A-Z folded to a-z), an item equal to an existing
// one goes after it, and duplicates are kept.
//
//   kavex::TargetList list;
//   list.AddDropped({"/home/u/b.txt", "/home/u/docs"});  // a folder brings everything below it
//   for (const std::string& path : list.Items()) { ... }
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavex {

// The list's order: true when a sorts before b.
[[nodiscard]] bool TargetLess(std::string_view a, std::string_view b);

// Everything below a folder, in the walk's order: each entry as folder + "/" + name, a subfolder's
// contents right after it. Hidden entries are included, "." and ".." never. A symbolic link to a
// folder is listed but not descended into. A folder that cannot be read adds nothing.
void AppendFolderContents(const std::string& folder, std::vector<std::string>& out);

// The dropped paths as given, each folder followed by its contents (AppendFolderContents).
[[nodiscard]] std::vector<std::string> ExpandDroppedPaths(const std::vector<std::string>& dropped);

class TargetList {
public:
    // Adds the paths at their sorted places; equal items keep their order of arrival. One merge
    // per call, so adding a large batch costs a sort, not an insertion per item.
    void Add(std::vector<std::string> paths);
    // Adds the dropped paths and the contents of every dropped folder.
    void AddDropped(const std::vector<std::string>& dropped) { Add(ExpandDroppedPaths(dropped)); }
    void Clear() { m_items.clear(); }

    [[nodiscard]] const std::vector<std::string>& Items() const { return m_items; }
    [[nodiscard]] std::size_t Count() const { return m_items.size(); }

private:
    std::vector<std::string> m_items;
};

}  // namespace kavex
