// The replacement definition file: one definition per line, "search>replacement" or
// "replacement<search", with backslash escapes. The parser is the only part of the system that
// knows double-byte characters: a byte inside one is never a mark, an escape or a line end.
//
//   ParseResult parsed = ParseDefinitions("abc>xyz\r\nfoo<bar", platform::CodePage::ShiftJis());
//   // parsed.table.rows: {abc, >, xyz}, {bar, >, foo}
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace kavex {

class RunHost;
struct SystemTexts;

struct Definition {
    std::string search;       // what is searched for; never empty in a loaded table
    std::string mark = ">";   // ">" after loading
    std::string replacement;  // what replaces it; may be empty
};

struct DefinitionTable {
    std::vector<Definition> rows;  // in the order of the file's lines
};

inline constexpr std::size_t kMaxDefinitions = 9999;

enum class DefinitionError { None, TooManyLines, MalformedLine };

struct ParseResult {
    DefinitionTable table;
    DefinitionError error = DefinitionError::None;
    std::int64_t line = 0;  // 1-based line of a MalformedLine error
};

// Parses a file's content (already cut at its first NUL). A line whose search text is empty once
// its escapes are gone is refused as malformed: a run must never loop on it.
[[nodiscard]] ParseResult ParseDefinitions(std::string_view content,
                                           const platform::CodePage& codePage);

// Reads and parses the definition file; on failure shows the message box and returns nothing.
[[nodiscard]] std::optional<DefinitionTable> LoadDefinitions(const std::string& path, RunHost& host,
                                                             const SystemTexts& texts,
                                                             const platform::CodePage& codePage);

}  // namespace kavex
