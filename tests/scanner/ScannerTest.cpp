// The scanner against the plain loop: a table of worked cases run through both, and many
// generated texts and definition tables compared byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/Scanner.h"

namespace kavex {
namespace {

DefinitionTable Table(const std::vector<std::pair<std::string, std::string>>& pairs) {
    DefinitionTable table;
    for (const auto& [search, replacement] : pairs)
        table.rows.push_back({search, ">", replacement});
    return table;
}

// Bytes as C escapes, so that a failing case can be pasted back into a test.
std::string Escaped(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]).append("\"\"");
        }
    }
    return out + "\"";
}

std::string Describe(std::string_view text, const DefinitionTable& table) {
    std::string out = "text " + Escaped(text) + "\ndefinitions:";
    for (const Definition& row : table.rows) {
        out += "\n  " + Escaped(row.search) + " -> " + Escaped(row.replacement);
    }
    return out;
}

void ExpectSameResult(const ScanResult& actual, const ScanResult& expected,
                      const std::string& input) {
    ASSERT_EQ(Escaped(actual.text), Escaped(expected.text)) << input;
    ASSERT_EQ(actual.count, expected.count) << input;
    ASSERT_EQ(actual.replaced, expected.replaced) << input;
    ASSERT_EQ(Escaped(actual.detail), Escaped(expected.detail)) << input;
}

struct WorkedCase {
    const char* name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> definitions;
    std::string expectedText;
    std::int64_t expectedCount;
};

const std::vector<WorkedCase>& WorkedCases() {
    static const std::vector<WorkedCase> cases = {
        {"EmptyText", "", {{"foo", "baz"}}, "", 0},
        {"NoDefinitions", "abc", {}, "abc", 0},
        {"TwoMatches", "foo bar foo", {{"foo", "baz"}}, "baz bar baz", 2},
        {"InsertedTextIsNotScanned", "aaa", {{"a", "aa"}}, "aaaaaa", 3},
        {"DeletionRescansSamePosition", "aaa", {{"a", ""}}, "", 3},
        {"MatchesDoNotOverlap", "aaa", {{"aa", "x"}}, "xa", 1},
        {"TableOrderBeatsLength", "abc", {{"ab", "1"}, {"abc", "2"}}, "1c", 1},
        {"LaterLongerWinsOverShorterPrefix", "abc", {{"abc", "2"}, {"ab", "1"}}, "2", 1},
        {"ReplacementIsNotLookedAtAgain", "ab", {{"a", "b"}, {"b", "c"}}, "bc", 2},
        {"SearchLongerThanRest", "xab", {{"abc", "Z"}}, "xab", 0},
        {"MatchOnTrailByte", "\x81\x41", {{"A", "B"}}, "\x81\x42", 1},
        {"DuplicateSearchFirstWins", "ab", {{"a", "1"}, {"a", "2"}}, "1b", 1},
        {"EarliestStartBeatsTableOrder", "xab", {{"ab", "1"}, {"xa", "2"}}, "2b", 1},
        {"EarlierCandidateFailsLaterMatchWins", "abce", {{"abcd", "X"}, {"bc", "Y"}}, "aYe", 1},
        {"EarlierCandidateCompletesAfterLaterMatch", "abcd", {{"bc", "1"}, {"abcd", "2"}}, "2", 1},
        {"LongerMatchAtLaterStartAfterFailure",
         "abcde",
         {{"bcde", "1"}, {"abcdf", "2"}, {"bc", "3"}},
         "a1",
         1},
        {"DeletionThenMatchOfFollowingBytes", "abab", {{"ab", ""}, {"b", "x"}}, "", 2},
        {"HighBytes", "\xff\xfe\xff", {{"\xfe\xff", "\x80"}}, "\xff\x80", 1},
        {"ReplacementHoldsSearchText", "abab", {{"ab", "abab"}}, "abababab", 2},
        // The prefilter reads 8 bytes at a time: matches in the last 8 bytes and texts shorter
        // than that go another way.
        {"LongSearchAtVeryEnd", "xxxxxxxxxabcdefghi", {{"abcdefghi", "Z"}}, "xxxxxxxxxZ", 1},
        {"WholeTextShorterThanWord", "abcdef", {{"abcdef", "Z"}}, "Z", 1},
        {"TextShorterThanSearch", "abcde", {{"abcdef", "Z"}}, "abcde", 0},
        {"HighBytesAtVeryEnd",
         "\x81\x41\x82\xa0\xff\xfe\x80",
         {{"\x82\xa0\xff\xfe\x80", "Y"}},
         "\x81\x41Y",
         1},
    };
    return cases;
}

void PrintTo(const WorkedCase& c, std::ostream* out) { *out << c.name; }

class WorkedCaseTest : public testing::TestWithParam<WorkedCase> {};

// Both implementations give the worked result, with one detail entry per replacement.
TEST_P(WorkedCaseTest, BothImplementationsGiveTheResult) {
    const WorkedCase& c = GetParam();
    const DefinitionTable table = Table(c.definitions);
    const ScanResult byLoop = ScanAndReplaceByLoop(c.text, table);
    EXPECT_EQ(Escaped(byLoop.text), Escaped(c.expectedText));
    EXPECT_EQ(byLoop.count, c.expectedCount);
    EXPECT_EQ(byLoop.replaced, c.expectedCount > 0);
    if (c.expectedCount == 0) {
        EXPECT_EQ(byLoop.detail, "");
    }
    ExpectSameResult(Scanner(table).ScanAndReplace(c.text), byLoop, Describe(c.text, table));
}

INSTANTIATE_TEST_SUITE_P(Scanner, WorkedCaseTest, testing::ValuesIn(WorkedCases()),
                         [](const testing::TestParamInfo<WorkedCase>& param) {
                             return std::string(param.param.name);
                         });

// The detail text holds CR LF "[" search "]>[" replacement "]" per replacement, in order.
TEST(ScannerTest, DetailNamesEachReplacementInOrder) {
    const ScanResult result =
        Scanner(Table({{"foo", "baz"}, {"o", ""}})).ScanAndReplace("foo bar foo o");
    EXPECT_EQ(result.text, "baz bar baz ");
    EXPECT_EQ(result.detail, "\r\n[foo]>[baz]\r\n[foo]>[baz]\r\n[o]>[]");
}

// A definition whose search text is empty is left out, so the scan always ends.
TEST(ScannerTest, EmptySearchTextIsLeftOut) {
    const ScanResult result = Scanner(Table({{"", "x"}, {"b", "c"}})).ScanAndReplace("abab");
    EXPECT_EQ(result.text, "acac");
    EXPECT_EQ(result.count, 2);
}

// The scanner is built once and used for many texts; no state carries over between calls.
TEST(ScannerTest, CallsAreIndependent) {
    const Scanner scanner(Table({{"ab", "X"}}));
    EXPECT_EQ(scanner.ScanAndReplace("xa").text, "xa");
    EXPECT_EQ(scanner.ScanAndReplace("b").text, "b");
    EXPECT_EQ(scanner.ScanAndReplace("ab").count, 1);
}

// A caller that asks for no copy of an unchanged text gets none, and the full text otherwise.
TEST(ScannerTest, UnchangedTextIsOmittedOnRequest) {
    const Scanner scanner(Table({{"ab", "X"}}));
    const ScanResult none = scanner.ScanAndReplace("xyz", UnchangedText::Omit);
    EXPECT_TRUE(none.text.empty());
    EXPECT_FALSE(none.replaced);
    const ScanResult some = scanner.ScanAndReplace("xaby", UnchangedText::Omit);
    EXPECT_EQ(some.text, "xXy");
    EXPECT_EQ(some.count, 1);
}

// --- Generated cases -------------------------------------------------------------------------

struct Shape {
    const char* name;
    std::string alphabet;  // bytes the texts and definitions are made of
    int minDefinitions, maxDefinitions;
    int minSearchLength, maxSearchLength;
    int maxReplacementLength;
    int maxTextLength;
    int cases;
};

std::string RandomBytes(std::mt19937& random, const std::string& alphabet, int length) {
    std::string bytes;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < length; ++i) bytes += alphabet[pick(random)];
    return bytes;
}

int Between(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

DefinitionTable RandomTable(std::mt19937& random, const Shape& shape) {
    DefinitionTable table;
    const int count = Between(random, shape.minDefinitions, shape.maxDefinitions);
    for (int j = 0; j < count; ++j) {
        std::string search;
        const int kind = Between(random, 0, 9);
        if (kind == 0 && !table.rows.empty()) {
            // A duplicate of an earlier search text.
            search = table.rows[Between(random, 0, j - 1)].search;
        } else if (kind <= 2 && !table.rows.empty()) {
            // A prefix or an extension of an earlier one.
            const std::string& other = table.rows[Between(random, 0, j - 1)].search;
            const int shortest = std::min(shape.minSearchLength, int(other.size()));
            search = kind == 1 ? other.substr(0, Between(random, shortest, int(other.size())))
                               : other + RandomBytes(random, shape.alphabet, Between(random, 1, 3));
        } else {
            search = RandomBytes(random, shape.alphabet,
                                 Between(random, shape.minSearchLength, shape.maxSearchLength));
        }
        std::string replacement =
            RandomBytes(random, shape.alphabet, Between(random, 0, shape.maxReplacementLength));
        if (Between(random, 0, 7) == 0) replacement = search + replacement;  // holds a search text
        table.rows.push_back({search, ">", replacement});
    }
    return table;
}

std::string RandomText(std::mt19937& random, const Shape& shape, const DefinitionTable& table) {
    const int length = Between(random, 0, shape.maxTextLength);
    std::string text;
    while (static_cast<int>(text.size()) < length) {
        if (!table.rows.empty() && Between(random, 0, 2) == 0) {
            // Pieces of search texts, so that long candidates start and fail often.
            const std::string& search =
                table.rows[Between(random, 0, int(table.rows.size()) - 1)].search;
            text += search.substr(0, Between(random, 1, int(search.size())));
        } else {
            text += RandomBytes(random, shape.alphabet, Between(random, 1, 4));
        }
    }
    return text;
}

std::string AllBytesButNul() {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }

class GeneratedCaseTest : public testing::TestWithParam<Shape> {};

// The automaton gives exactly what the loop gives; a failure prints the seed and the input.
TEST_P(GeneratedCaseTest, ScannerAgreesWithLoop) {
    const Shape& shape = GetParam();
    for (int n = 0; n < shape.cases; ++n) {
        const auto seed = static_cast<std::uint32_t>(n);
        std::mt19937 random(seed);
        const DefinitionTable table = RandomTable(random, shape);
        const Scanner scanner(table);
        for (int t = 0; t < 4; ++t) {
            const std::string text = RandomText(random, shape, table);
            ExpectSameResult(scanner.ScanAndReplace(text), ScanAndReplaceByLoop(text, table),
                             "seed " + std::to_string(seed) + "\n" + Describe(text, table));
            if (testing::Test::HasFatalFailure()) return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scanner, GeneratedCaseTest,
    testing::Values(Shape{"TwoLetters", "ab", 1, 6, 1, 4, 3, 24, 4000},
                    Shape{"ThreeLettersManyDefinitions", "abc", 1, 40, 1, 6, 4, 80, 2000},
                    Shape{"OneByteTexts", "ab\x81", 1, 5, 1, 2, 2, 1, 2000},
                    Shape{"DoubleByteBytes", "A\x81\x41\x5c\x82\xa0\xff\x80", 1, 12, 1, 5, 4, 60,
                          3000},
                    Shape{"AllBytes", AllBytesButNul(), 1, 30, 1, 4, 3, 200, 500},
                    // Search texts of at least 2, 3 and 4 bytes: the prefilter's other key sizes.
                    Shape{"AtLeastTwoBytes", "ab\x81\xff", 1, 10, 2, 5, 3, 80, 2000},
                    Shape{"AtLeastThreeBytes", "abc\x81", 1, 10, 3, 6, 3, 80, 2000},
                    Shape{"AtLeastFourBytes", "ab\x80", 1, 10, 4, 7, 5, 80, 2000},
                    // Hashed prefixes of 5 to 8 bytes, read as one word: texts shorter than a
                    // word, matches in the last 8 bytes, bytes >= 0x80 in every position.
                    Shape{"AtLeastSixBytes", "ab\x81\xfe", 1, 10, 6, 9, 5, 40, 3000},
                    Shape{"AtLeastNineBytes", "a\x82\xff", 1, 8, 9, 12, 4, 60, 2000},
                    Shape{"LongTextFewDefinitions", "abc\x80\x81\xff", 1, 3, 5, 8, 3, 600, 300},
                    // Enough long search texts that the trie outgrows the dense rows.
                    Shape{"LargeTable", "abcd", 600, 2000, 5, 14, 6, 1000, 8}),
    [](const testing::TestParamInfo<Shape>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kavex
