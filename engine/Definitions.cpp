#include "engine/Definitions.h"

#include <algorithm>

#include "engine/PathHelpers.h"
#include "engine/RunHost.h"
#include "engine/SystemTexts.h"

namespace kavex {
namespace {

// Tracks whether a position is passed over: it starts a double-byte pair, or the position before
// it did. The pair test runs at every position, including a pair's second byte.
class PairTracker {
public:
    explicit PairTracker(const platform::CodePage& codePage) : m_codePage(codePage) {}

    bool PassOver(std::string_view text, std::size_t i) {
        if (i + 1 < text.size() && m_codePage.FormsPair(text[i], text[i + 1])) {
            m_nCounter = 2;
            return true;
        }
        if (m_nCounter > 0) --m_nCounter;
        return m_nCounter >= 1;
    }

private:
    const platform::CodePage& m_codePage;
    int m_nCounter = 0;
};

struct RawRow {
    std::string sides[2];
    char mark = '>';
};

// Removes escaping backslashes; the byte after a removed one is kept without being looked at.
std::string Unescape(std::string text, const platform::CodePage& codePage) {
    PairTracker pairs(codePage);
    for (std::size_t j = 0; j < text.size(); ++j) {
        if (pairs.PassOver(text, j)) continue;
        if (text[j] == '\\') text.erase(j, 1);
    }
    return text;
}

ParseResult Malformed(std::size_t acceptedRows) {
    ParseResult result;
    result.error = DefinitionError::MalformedLine;
    result.line = static_cast<std::int64_t>(acceptedRows) + 1;
    return result;
}

}  // namespace

ParseResult ParseDefinitions(std::string_view content, const platform::CodePage& codePage) {
    if (static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1 >
        kMaxDefinitions) {
        ParseResult result;
        result.error = DefinitionError::TooManyLines;
        return result;
    }

    std::vector<RawRow> rows;
    RawRow row;
    int side = 0;
    std::size_t sideStart = 0;
    std::size_t backslashRun = 0;
    bool malformed = false;
    PairTracker pairs(codePage);
    const std::size_t length = content.size();
    for (std::size_t i = 0; i < length && !malformed; ++i) {
        if (!pairs.PassOver(content, i)) {
            const char byte = content[i];
            if ((byte == '>' || byte == '<') && i != 0) {
                const bool escaped = content[i - 1] == '\\' && backslashRun % 2 == 1;
                if (!escaped) {
                    if (side == 1) {
                        malformed = true;
                        break;
                    }
                    row.sides[0] = std::string(content.substr(sideStart, i - sideStart));
                    row.mark = byte;
                    sideStart = i + 1;
                    side = 1;
                }
            }
            backslashRun = byte == '\\' ? backslashRun + 1 : 0;
            if (byte == '\n') {
                if (i > 0) {
                    const std::size_t end = content[i - 1] == '\r' ? i - 1 : i;
                    row.sides[side] = std::string(
                        content.substr(sideStart, std::max(end, sideStart) - sideStart));
                }
                if (side == 0) {
                    malformed = true;
                    break;
                }
                rows.push_back(std::move(row));
                row = RawRow{};
                side = 0;
                sideStart = i + 1;
                continue;
            }
        }
        if (i + 1 == length) {
            row.sides[side] = std::string(content.substr(sideStart));
            if (side == 0) {
                malformed = true;
                break;
            }
            rows.push_back(std::move(row));
        }
    }

    ParseResult result;
    for (RawRow& raw : rows) {
        std::string first = Unescape(std::move(raw.sides[0]), codePage);
        std::string second = Unescape(std::move(raw.sides[1]), codePage);
        Definition definition;
        definition.search = raw.mark == '>' ? std::move(first) : std::move(second);
        definition.replacement = raw.mark == '>' ? std::move(second) : std::move(first);
        // An empty search text would match at every position; refuse its line, the first bad one.
        if (definition.search.empty()) return Malformed(result.table.rows.size());
        result.table.rows.push_back(std::move(definition));
    }
    if (malformed) return Malformed(rows.size());
    return result;
}

std::optional<DefinitionTable> LoadDefinitions(const std::string& path, RunHost& host,
                                               const SystemTexts& texts,
                                               const platform::CodePage& codePage) {
    std::string content;
    if (!ReadWholeFile(path, content)) {
        host.ShowMessageBox(texts.definitionReadFailed, texts.captionLevel1);
        return std::nullopt;
    }
    ParseResult parsed = ParseDefinitions(content, codePage);
    switch (parsed.error) {
        case DefinitionError::None:
            return std::move(parsed.table);
        case DefinitionError::TooManyLines:
            host.ShowMessageBox(texts.tooManyDefinitions, texts.captionError);
            break;
        case DefinitionError::MalformedLine:
            host.ShowMessageBox(texts.DefinitionError(parsed.line), texts.captionLevel1);
            break;
    }
    return std::nullopt;
}

}  // namespace kavex
