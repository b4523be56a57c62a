#include "engine/Scanner.h"

namespace kavex {

// Placeholder until the automaton lands: the plain loop over a copy of the table.
struct Scanner::Automaton {
    DefinitionTable table;
};

Scanner::Scanner(const DefinitionTable& table) : m_pAutomaton(new Automaton{table}) {}
Scanner::~Scanner() = default;
Scanner::Scanner(Scanner&&) noexcept = default;
Scanner& Scanner::operator=(Scanner&&) noexcept = default;

ScanResult Scanner::ScanAndReplace(std::string_view text) const {
    return ScanAndReplaceByLoop(text, m_pAutomaton->table);
}

}  // namespace kavex
