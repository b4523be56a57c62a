// Fuzz target: decodes the input into a definition table and a text, runs the scanner and the
// plain loop on them and aborts when the two differ in any part of the result.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/Scanner.h"

namespace {

// The bytes texts are made of, most telling first: with a small alphabet the input's bytes are
// folded onto the head of this list, so that matches, shared prefixes and failures are frequent.
std::array<unsigned char, 256> Symbols() {
    std::array<unsigned char, 256> symbols{};
    const std::string head =
        "ab\x81"
        "A\\\xff\x80"
        "c\x82\xa0\x00";
    std::array<bool, 256> used{};
    std::size_t n = 0;
    for (const char c : head) {
        symbols[n++] = static_cast<unsigned char>(c);
        used[static_cast<unsigned char>(c)] = true;
    }
    for (std::size_t b = 0; b < 256; ++b) {
        if (!used[b]) symbols[n++] = static_cast<unsigned char>(b);
    }
    return symbols;
}

std::string Fold(const std::string& raw, unsigned alphabet) {
    static const std::array<unsigned char, 256> symbols = Symbols();
    std::string out;
    for (const char c : raw) {
        out += static_cast<char>(symbols[static_cast<unsigned char>(c) % alphabet]);
    }
    return out;
}

void PrintBytes(const char* label, const std::string& bytes) {
    std::fprintf(stderr, "%s \"", label);
    for (const char c : bytes) std::fprintf(stderr, "\\x%02x", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\"\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const unsigned alphabet = input.ConsumeIntegralInRange<unsigned>(1, 256);
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    kavex::DefinitionTable table;
    for (std::size_t j = 0; j < count && input.remaining_bytes() > 0; ++j) {
        std::string search = Fold(input.ConsumeRandomLengthString(12), alphabet);
        // The parser never lets an empty search text through; the loop would not end on it.
        if (search.empty()) search = "a";
        table.rows.push_back({search, ">", Fold(input.ConsumeRandomLengthString(8), alphabet)});
    }
    const std::string text = Fold(input.ConsumeRemainingBytesAsString(), alphabet);

    const kavex::ScanResult fast = kavex::Scanner(table).ScanAndReplace(text);
    const kavex::ScanResult loop = kavex::ScanAndReplaceByLoop(text, table);
    if (fast.text != loop.text || fast.count != loop.count || fast.replaced != loop.replaced ||
        fast.detail != loop.detail) {
        std::fprintf(stderr, "scanner and loop differ\n");
        PrintBytes("text", text);
        for (const kavex::Definition& row : table.rows) {
            PrintBytes("search", row.search);
            PrintBytes("  replacement", row.replacement);
        }
        PrintBytes("scanner", fast.text);
        PrintBytes("loop", loop.text);
        std::abort();
    }
    return 0;
}
