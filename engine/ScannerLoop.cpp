#include "engine/Scanner.h"

namespace kavex {

ScanResult ScanAndReplaceByLoop(std::string_view text, const DefinitionTable& table) {
    ScanResult result;
    result.text = std::string(text);
    std::string& current = result.text;
    for (std::size_t p = 0; p < current.size(); ++p) {
        for (const Definition& definition : table.rows) {
            const std::size_t s = definition.search.size();
            if (p + s > current.size() || current.compare(p, s, definition.search) != 0) continue;
            result.detail.append("\r\n[").append(definition.search).append("]>[");
            result.detail.append(definition.replacement).append("]");
            current.replace(p, s, definition.replacement);
            result.replaced = true;
            ++result.count;
            // Resume behind the inserted text; the loop's ++p makes up the -1.
            p = p + definition.replacement.size();
            --p;
            break;
        }
    }
    return result;
}

}  // namespace kavex
