// Applies a definition table to one byte text in a single pass from left to right: at each position
// the first definition in table order that matches wins, its replacement is put in, and the scan
// goes on behind the inserted text (which is never scanned again).
//
//   const kavex::Scanner scanner(table);  // built once per run
//   kavex::ScanResult result = scanner.ScanAndReplace("foo bar foo");
//   // result.text == "baz bar baz", result.count == 2, result.detail ==
//   "\r\n[foo]>[baz]\r\n[foo]>[baz]"
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/Definitions.h"

namespace kavex {

struct ScanResult {
    std::string text;        // the new text
    std::int64_t count = 0;  // replacements made
    bool replaced = false;   // set exactly when count > 0
    std::string detail;      // CR LF "[" search "]>[" replacement "]" per replacement, in order
};

// What ScanAndReplace hands back as the text when nothing was replaced: a copy of the input, or
// nothing, for a caller that only uses the text after a replacement and need not copy a whole file.
enum class UnchangedText { Copy, Omit };

class Scanner {
public:
    // Every search text of the table must be non-empty (the definition parser guarantees it).
    explicit Scanner(const DefinitionTable& table);
    ~Scanner();
    Scanner(Scanner&&) noexcept;
    Scanner& operator=(Scanner&&) noexcept;

    [[nodiscard]] ScanResult ScanAndReplace(std::string_view text,
                                            UnchangedText unchanged = UnchangedText::Copy) const;

private:
    struct Automaton;
    std::unique_ptr<Automaton> m_pAutomaton;
};

// The plain loop that tries every definition at every position: the reference the scanner is
// tested against.
[[nodiscard]] ScanResult ScanAndReplaceByLoop(std::string_view text, const DefinitionTable& table);

}  // namespace kavex
