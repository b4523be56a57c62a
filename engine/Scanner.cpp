#include "engine/Scanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

// The scanner is a leftmost-first Aho-Corasick automaton over bytes, built once per run.
//
// What it must find, from a resume position q: the smallest start p >= q at which some search text
// matches, and among the search texts matching at p the first in table order. That is exactly
// what the plain loop does, because the loop never looks at inserted text again: after a
// replacement it goes on at the byte that followed the match, and whether a search text matches
// there depends only on the bytes that were not scanned yet.
//
// The trie. Search texts go in in table order. A search text whose path runs through the end of an
// earlier one can never win (wherever it matches, the earlier one matches at the same start), so
// it is left out; a duplicate keeps the first. Then, along any path of the trie, a deeper end
// belongs to an earlier definition, so at one start the longest match found is the one that wins.
//
// The states. A state is a trie node: the longest suffix of the bytes read that is still a live
// candidate. Before any match that is the textbook automaton. Once the bytes of a state hold a
// complete match, the best match so far is the leftmost-first occurrence inside those bytes, so it
// belongs to the state (`matchBack`, `matchDefinition`); from then on only candidates that start
// at or before that match may go on: the failure chain is cut below the match's start, and where
// no candidate can take the next byte the automaton goes to the dead state and the best match is
// the answer.
//
// The table. The states nearest the root (breadth-first order) get dense rows of 256 transitions;
// the deeper ones, which are many but rarely visited in text where most search texts do not
// occur, keep only their trie edges and follow their (cut) failure links to a dense row. The
// memory thus stays bounded for 9999 long search texts while the common path is one load a byte.

namespace kavex {
namespace {

// A transition value: state id << 3 | kind bits.
constexpr std::uint32_t kMatchBit = 1;    // the state holds a complete match
constexpr std::uint32_t kSparseBit = 2;   // the state has no dense row
constexpr std::uint32_t kShallowBit = 4;  // the root or a child of it, without a match
constexpr std::uint32_t kKindBits = 7;
constexpr std::uint32_t kDead = 0xFFFFFFFFu;
constexpr std::size_t kMaxStates = (std::size_t{1} << 29) - 1;  // ids fit in 29 bits, kDead apart
// The prefilter looks at the first (up to) 8 bytes a search text could start with; 3 to 8 bytes
// are hashed into a bitmap of 2^12 to 2^20 bits (at most 128 KiB), up to 512 bits per search text:
// every position that passes by chance costs a start of the automaton, and at 64 bits a text
// those cost half the scan's speed.
constexpr std::size_t kMaxPrefixLength = 8;
constexpr unsigned kMinPrefixHashBits = 12;
constexpr unsigned kMaxPrefixHashBits = 20;
constexpr std::uint64_t kPrefixHashFactor = 0x9E3779B97F4A7C15ull;
// Dense rows for at most this many states: 4 MiB of transitions. The tests build the scanner a
// second time with a tiny budget, so that the sparse states are tried on every case.
#ifndef KAVEX_SCANNER_DENSE_STATES
#define KAVEX_SCANNER_DENSE_STATES 4096
#endif
constexpr std::size_t kDenseStateBudget = KAVEX_SCANNER_DENSE_STATES;

struct Found {
    std::size_t start = 0;
    std::int32_t definition = -1;
};

}  // namespace

struct Scanner::Automaton {
    // The table's rows with a non-empty search text, in order; match results index into it.
    DefinitionTable table;
    // Set when the search texts are too many bytes for 29-bit state ids: the plain loop then.
    bool byLoop = false;

    std::size_t denseCount = 0;
    std::vector<std::uint32_t> dense;  // denseCount rows of 256 transition values
    // Per state, in breadth-first order (state 0 is the root):
    std::vector<std::int32_t> firstChild;  // children have consecutive ids, ordered by byte
    std::vector<std::uint16_t> childCount;
    std::vector<unsigned char> edgeByte;        // the byte leading into the state
    std::vector<std::int32_t> cutFail;          // failure link, -1 where the cut makes it dead
    std::vector<std::int32_t> matchBack;        // bytes back to the best match's start; 0: none
    std::vector<std::int32_t> matchDefinition;  // the best match's definition; -1: none

    // The prefilter: every search text is at least prefixLength (1 to 8) bytes long, and the bit
    // of its first prefixLength bytes is set; where the bit of the text's bytes is clear, no search
    // text starts. From 3 bytes on the bit is a hash: the first 8 bytes at a position, loaded as
    // one word, masked to the prefix and multiplied.
    std::size_t prefixLength = 0;
    std::uint64_t prefixMask = 0;
    unsigned prefixShift = 0;
    std::vector<std::uint64_t> prefixBits;
    [[nodiscard]] std::size_t PrefixHash(const unsigned char* at) const;  // 8 readable bytes
    [[nodiscard]] std::size_t PrefixBit(const unsigned char* at, std::size_t available) const;
    [[nodiscard]] std::size_t NextCandidate(const unsigned char* bytes, std::size_t size,
                                            std::size_t from) const;

    void Build(const DefinitionTable& definitions);
    [[nodiscard]] std::uint32_t Value(std::size_t state) const;
    [[nodiscard]] std::int32_t Child(std::size_t state, unsigned char byte) const;
    [[nodiscard]] std::uint32_t Next(std::uint32_t value, unsigned char byte) const;
    [[nodiscard]] std::optional<Found> FindNext(std::string_view text, std::size_t from) const;
};

std::uint32_t Scanner::Automaton::Value(std::size_t state) const {
    auto value = static_cast<std::uint32_t>(state << 3);
    if (state >= denseCount) value |= kSparseBit;
    if (matchBack[state] > 0) {
        value |= kMatchBit;
    } else if (state == 0 || state <= childCount[0]) {
        value |= kShallowBit;  // breadth-first: the root's children come right after it
    }
    return value;
}

std::size_t Scanner::Automaton::PrefixHash(const unsigned char* at) const {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return static_cast<std::size_t>(((word & prefixMask) * kPrefixHashFactor) >> prefixShift);
}

// The bit of the prefix at `at`, where `available` (at least prefixLength) bytes can be read.
std::size_t Scanner::Automaton::PrefixBit(const unsigned char* at, std::size_t available) const {
    switch (prefixLength) {
        case 1:
            return at[0];
        case 2:
            return at[0] | std::size_t{at[1]} << 8;
        default: {
            if (available >= kMaxPrefixLength) return PrefixHash(at);
            unsigned char padded[kMaxPrefixLength] = {};
            std::memcpy(padded, at, available);
            return PrefixHash(padded);
        }
    }
}

std::size_t Scanner::Automaton::NextCandidate(const unsigned char* bytes, std::size_t size,
                                              std::size_t from) const {
    if (size < prefixLength) return std::string_view::npos;
    const std::size_t last = size - prefixLength;  // no search text starts behind it
    const std::uint64_t* bits = prefixBits.data();
    const auto isSet = [bits](std::size_t bit) { return (bits[bit >> 6] >> (bit & 63) & 1) != 0; };
    std::size_t p = from;
    switch (prefixLength) {
        case 1:
            for (; p <= last; ++p) {
                if (isSet(bytes[p])) return p;
            }
            return std::string_view::npos;
        case 2:
            for (; p <= last; ++p) {
                if (isSet(bytes[p] | std::size_t{bytes[p + 1]} << 8)) return p;
            }
            return std::string_view::npos;
        default:
            // A whole word can be read up to 8 bytes before the end; the last few positions go
            // through a padded copy.
            if (size >= kMaxPrefixLength) {
                const std::size_t wordLast = size - kMaxPrefixLength;
                // Four positions a step with one branch: most steps find nothing.
                for (; p + 3 <= wordLast; p += 4) {
                    const bool hit0 = isSet(PrefixHash(bytes + p));
                    const bool hit1 = isSet(PrefixHash(bytes + p + 1));
                    const bool hit2 = isSet(PrefixHash(bytes + p + 2));
                    const bool hit3 = isSet(PrefixHash(bytes + p + 3));
                    if (hit0 | hit1 | hit2 | hit3) {
                        return p + (hit0 ? 0 : hit1 ? 1 : hit2 ? 2 : 3);
                    }
                }
                for (; p <= wordLast; ++p) {
                    if (isSet(PrefixHash(bytes + p))) return p;
                }
            }
            for (; p <= last; ++p) {
                if (isSet(PrefixBit(bytes + p, size - p))) return p;
            }
            return std::string_view::npos;
    }
}

std::int32_t Scanner::Automaton::Child(std::size_t state, unsigned char byte) const {
    const std::int32_t first = firstChild[state];
    const std::int32_t last = first + childCount[state];
    if (last - first > 8) {
        const auto begin = edgeByte.begin() + first;
        const auto end = edgeByte.begin() + last;
        const auto it = std::lower_bound(begin, end, byte);
        return it != end && *it == byte ? static_cast<std::int32_t>(it - edgeByte.begin()) : -1;
    }
    for (std::int32_t child = first; child < last; ++child) {
        if (edgeByte[static_cast<std::size_t>(child)] == byte) return child;
    }
    return -1;
}

std::uint32_t Scanner::Automaton::Next(std::uint32_t value, unsigned char byte) const {
    std::size_t state = value >> 3;
    for (;;) {
        if (state < denseCount) return dense[state << 8 | byte];
        const std::int32_t child = Child(state, byte);
        if (child >= 0) return Value(static_cast<std::size_t>(child));
        const std::int32_t fail = cutFail[state];
        if (fail < 0) return kDead;
        state = static_cast<std::size_t>(fail);
    }
}

void Scanner::Automaton::Build(const DefinitionTable& definitions) {
    for (const Definition& definition : definitions.rows) {
        // An empty search text would match everywhere and never let a scan end.
        if (!definition.search.empty()) table.rows.push_back(definition);
    }
    const std::vector<Definition>& rows = table.rows;

    // The trie, as sibling lists; the root's children in a direct array.
    std::vector<std::int32_t> trieFirst{-1};
    std::vector<std::int32_t> trieSibling{-1};
    std::vector<std::int32_t> trieMatch{-1};
    std::vector<unsigned char> trieByte{0};
    std::array<std::int32_t, 256> rootChildren;
    rootChildren.fill(-1);
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const std::string& search = rows[j].search;
        std::size_t node = 0;
        bool reachable = true;
        for (const char c : search) {
            if (trieMatch[node] >= 0) {
                reachable = false;  // an earlier search text ends on its path
                break;
            }
            const auto byte = static_cast<unsigned char>(c);
            std::int32_t child = -1;
            if (node == 0) {
                child = rootChildren[byte];
            } else {
                for (child = trieFirst[node]; child >= 0 && trieByte[child] != byte;) {
                    child = trieSibling[child];
                }
            }
            if (child < 0) {
                if (trieMatch.size() >= kMaxStates) {
                    byLoop = true;
                    return;
                }
                child = static_cast<std::int32_t>(trieMatch.size());
                trieFirst.push_back(-1);
                trieMatch.push_back(-1);
                trieByte.push_back(byte);
                if (node == 0) {
                    trieSibling.push_back(-1);
                    rootChildren[byte] = child;
                } else {
                    trieSibling.push_back(trieFirst[node]);
                    trieFirst[node] = child;
                }
            }
            node = static_cast<std::size_t>(child);
        }
        if (reachable && trieMatch[node] < 0) trieMatch[node] = static_cast<std::int32_t>(j);
    }

    // Breadth-first renumbering: children get consecutive ids ordered by byte, and every failure
    // link points to an earlier id.
    const std::size_t count = trieMatch.size();
    firstChild.assign(count, 0);
    childCount.assign(count, 0);
    edgeByte.assign(count, 0);
    matchDefinition.assign(count, -1);
    std::vector<std::int32_t> parent(count, 0);
    std::vector<std::int32_t> depth(count, 0);
    {
        std::vector<std::int32_t> order{0};
        order.reserve(count);
        std::vector<std::pair<unsigned char, std::int32_t>> children;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto old = static_cast<std::size_t>(order[k]);
            children.clear();
            if (old == 0) {
                for (std::size_t b = 0; b < 256; ++b) {
                    if (rootChildren[b] >= 0) {
                        children.emplace_back(static_cast<unsigned char>(b), rootChildren[b]);
                    }
                }
            } else {
                for (std::int32_t c = trieFirst[old]; c >= 0; c = trieSibling[c]) {
                    children.emplace_back(trieByte[c], c);
                }
                std::sort(children.begin(), children.end());
            }
            firstChild[k] = static_cast<std::int32_t>(order.size());
            childCount[k] = static_cast<std::uint16_t>(children.size());
            for (const auto& [byte, oldChild] : children) {
                const std::size_t id = order.size();
                order.push_back(oldChild);
                edgeByte[id] = byte;
                parent[id] = static_cast<std::int32_t>(k);
                depth[id] = depth[k] + 1;
                matchDefinition[id] = trieMatch[static_cast<std::size_t>(oldChild)];
            }
        }
    }
    trieFirst = {};
    trieSibling = {};
    trieMatch = {};
    trieByte = {};

    // Failure links, the deepest complete match on each failure chain, and each state's best
    // match: the leftmost-first occurrence inside its bytes, either the parent's (same start) or
    // the earliest-starting one ending here; at equal starts the longer one, which ends here.
    std::vector<std::int32_t> fail(count, 0);
    std::vector<std::int32_t> chainMatch(count, -1);
    cutFail.assign(count, -1);
    matchBack.assign(count, 0);
    std::vector<std::int32_t> best(count, -1);
    for (std::size_t k = 1; k < count; ++k) {
        const auto up = static_cast<std::size_t>(parent[k]);
        if (up != 0) {
            const unsigned char byte = edgeByte[k];
            auto f = static_cast<std::size_t>(fail[up]);
            for (;;) {
                const std::int32_t child = Child(f, byte);
                if (child >= 0) {
                    fail[k] = child;
                    break;
                }
                if (f == 0) break;
                f = static_cast<std::size_t>(fail[f]);
            }
        }
        const auto f = static_cast<std::size_t>(fail[k]);
        chainMatch[k] = matchDefinition[k] >= 0 ? static_cast<std::int32_t>(k) : chainMatch[f];

        const std::int32_t inherited = matchBack[up] > 0 ? matchBack[up] + 1 : 0;
        const std::int32_t ending = chainMatch[k] >= 0 ? depth[chainMatch[k]] : 0;
        if (ending > 0 && ending >= inherited) {
            matchBack[k] = ending;
            best[k] = matchDefinition[static_cast<std::size_t>(chainMatch[k])];
        } else if (inherited > 0) {
            matchBack[k] = inherited;
            best[k] = best[up];
        }
        const bool cut = matchBack[k] > 0 && depth[f] < matchBack[k];
        cutFail[k] = cut ? -1 : static_cast<std::int32_t>(f);
    }
    matchDefinition = std::move(best);

    // The prefilter's bits. An empty table keeps prefixLength 0 and never finds a candidate.
    if (!rows.empty()) {
        prefixLength = kMaxPrefixLength;
        for (const Definition& row : rows) prefixLength = std::min(prefixLength, row.search.size());
        unsigned hashBits = kMinPrefixHashBits;
        while (hashBits < kMaxPrefixHashBits && (std::size_t{1} << hashBits) < rows.size() * 512) {
            ++hashBits;
        }
        // The prefix's bytes are the word's first ones in memory: its low bytes on a
        // little-endian machine, its high ones on a big-endian one.
        const unsigned dropped = 8 * static_cast<unsigned>(kMaxPrefixLength - prefixLength);
        prefixMask = std::endian::native == std::endian::little ? ~std::uint64_t{0} >> dropped
                                                                : ~std::uint64_t{0} << dropped;
        prefixShift = 64 - hashBits;
        prefixBits.assign(prefixLength <= 2 ? (std::size_t{1} << (8 * prefixLength)) / 64
                                            : (std::size_t{1} << hashBits) / 64,
                          0);
        for (const Definition& row : rows) {
            const std::size_t bit =
                PrefixBit(reinterpret_cast<const unsigned char*>(row.search.data()),
                          std::min(row.search.size(), kMaxPrefixLength));
            prefixBits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        }
    }

    // Dense rows, root first: a missing edge takes the row of the (cut) failure link.
    denseCount = std::min(count, kDenseStateBudget);
    dense.assign(denseCount << 8, 0);
    for (std::size_t k = 0; k < denseCount; ++k) {
        std::uint32_t* row = dense.data() + (k << 8);
        if (k != 0) {
            if (cutFail[k] < 0) {
                std::fill(row, row + 256, kDead);
            } else {
                std::memcpy(row, dense.data() + (static_cast<std::size_t>(cutFail[k]) << 8),
                            256 * sizeof(std::uint32_t));
            }
        }
        const auto first = static_cast<std::size_t>(firstChild[k]);
        for (std::size_t child = first; child < first + childCount[k]; ++child) {
            row[edgeByte[child]] = Value(child);
        }
    }
}

std::optional<Found> Scanner::Automaton::FindNext(std::string_view text, std::size_t from) const {
    if (prefixLength == 0) return std::nullopt;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const std::uint32_t* rows = dense.data();
    // No search text starts before `frontier`.
    std::size_t frontier = from;
    for (;;) {
        frontier = NextCandidate(bytes, size, frontier);
        if (frontier == std::string_view::npos) return std::nullopt;
        std::size_t i = frontier;
        std::uint32_t value = Value(0);
        for (;;) {
            // The common path: dense states below the root's children without a match, one load
            // a byte.
            while ((value & kKindBits) == 0) {
                if (i == size) return std::nullopt;
                value = rows[static_cast<std::size_t>(value) << 5 | bytes[i]];
                ++i;
            }
            if (value & kMatchBit) {
                // Go on while a candidate that starts no later than the best match can grow.
                for (;;) {
                    const std::uint32_t next = i == size ? kDead : Next(value, bytes[i]);
                    if (next == kDead) {
                        const std::size_t state = value >> 3;
                        return Found{i - static_cast<std::size_t>(matchBack[state]),
                                     matchDefinition[state]};
                    }
                    value = next;
                    ++i;
                }
            }
            if (value & kShallowBit) {
                // Every candidate older than one byte has died, and none completed: no search
                // text starts before i - depth. Back to the prefilter once that is progress.
                const std::size_t depth = value >> 3 == 0 ? 0 : 1;
                if (i - depth > frontier) {
                    frontier = i - depth;
                    break;
                }
            }
            if (i == size) return std::nullopt;
            value = Next(value, bytes[i]);
            ++i;
        }
    }
}

Scanner::Scanner(const DefinitionTable& table) : m_pAutomaton(std::make_unique<Automaton>()) {
    m_pAutomaton->Build(table);
}
Scanner::~Scanner() = default;
Scanner::Scanner(Scanner&&) noexcept = default;
Scanner& Scanner::operator=(Scanner&&) noexcept = default;

ScanResult Scanner::ScanAndReplace(std::string_view text, UnchangedText unchanged) const {
    const Automaton& automaton = *m_pAutomaton;
    if (automaton.byLoop) return ScanAndReplaceByLoop(text, automaton.table);
    ScanResult result;
    std::size_t resume = 0;
    while (resume < text.size()) {
        const std::optional<Found> found = automaton.FindNext(text, resume);
        if (!found) break;
        if (result.count == 0) result.text.reserve(text.size());
        const Definition& definition =
            automaton.table.rows[static_cast<std::size_t>(found->definition)];
        result.text.append(text.substr(resume, found->start - resume));
        result.text.append(definition.replacement);
        result.detail.append("\r\n[").append(definition.search).append("]>[");
        result.detail.append(definition.replacement).append("]");
        ++result.count;
        resume = found->start + definition.search.size();
    }
    // Most files of a tree hold no match: then the whole file need not be copied.
    if (result.count == 0 && unchanged == UnchangedText::Omit) return result;
    result.text.append(text.substr(std::min(resume, text.size())));
    result.replaced = result.count > 0;
    return result;
}

}  // namespace kavex
