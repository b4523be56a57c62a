// The definition file parser: the worked examples, the line limit, double-byte rules and messages.
#include <gtest/gtest.h>

#include "engine/Definitions.h"
#include "engine/SystemTexts.h"
#include "support/TestSupport.h"

namespace kavex {
namespace {

using platform::CodePage;
using test::Sjis;

struct Row {
    std::string search;
    std::string replacement;
};

struct ParseCase {
    std::string content;
    std::vector<Row> rows;
    bool sjisOnly;  // the bytes mean something different without lead bytes
};

std::string Show(std::string_view bytes) {
    std::string shown;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            shown += hex;
        }
    }
    return shown;
}

void ExpectRows(const ParseResult& result, const std::vector<Row>& rows, std::string_view input) {
    ASSERT_EQ(result.error, DefinitionError::None) << Show(input) << " line " << result.line;
    ASSERT_EQ(result.table.rows.size(), rows.size()) << Show(input);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(result.table.rows[i].search, rows[i].search) << Show(input) << " row " << i;
        EXPECT_EQ(result.table.rows[i].replacement, rows[i].replacement)
            << Show(input) << " row " << i;
        EXPECT_EQ(result.table.rows[i].mark, ">");
    }
}

TEST(DefinitionsTest, WorkedExamplesGiveTheirRows) {
    const std::vector<ParseCase> cases = {
        {"abc>xyz", {{"abc", "xyz"}}, false},
        {"abc>xyz\r\n", {{"abc", "xyz"}}, false},
        {"xyz<abc", {{"abc", "xyz"}}, false},
        {"a\\>b>c", {{"a>b", "c"}}, false},
        {"a\\\\>b", {{"a\\", "b"}}, false},
        {"a\\\\\\>b>c", {{"a\\>b", "c"}}, false},
        {"a\\b>c\\d", {{"ab", "cd"}}, false},
        {"abc>", {{"abc", ""}}, false},
        {">abc>x", {{">abc", "x"}}, false},
        {"x>y\n<abc", {{"x", "y"}, {"abc", ""}}, false},
        {"a>b\r", {{"a", "b\r"}}, false},
        {std::string("a>b\0c>d", 7), {{"a", "b"}}, false},
        {Sjis("表>x"), {{Sjis("表"), "x"}}, true},
        {Sjis("一\\>x"), {{Sjis("一\\"), "x"}}, true},
        {Sjis("x>\\表"), {{"x", "\x95"}}, true},
        {"", {}, false},
        {std::string("\0a>b", 4), {}, false},
        {"a>b\nc>d\ne<f", {{"a", "b"}, {"c", "d"}, {"f", "e"}}, false},
        {"a>b\na>b", {{"a", "b"}, {"a", "b"}}, false},
    };
    for (const ParseCase& c : cases) {
        // ReadWholeFile ends the content at its first NUL; the parser sees what it hands over.
        const std::string content = c.content.substr(0, c.content.find('\0'));
        ExpectRows(ParseDefinitions(content, CodePage::ShiftJis()), c.rows, content);
        if (!c.sjisOnly)
            ExpectRows(ParseDefinitions(content, CodePage::WithoutLeadBytes()), c.rows, content);
    }
}

TEST(DefinitionsTest, WithoutLeadBytesTheSecondByteOfACharacterEscapes) {
    // Without lead bytes the Shift_JIS bytes of 表 are two single bytes, the second a backslash
    // that escapes the mark.
    const ParseResult result = ParseDefinitions(Sjis("表>x"), CodePage::WithoutLeadBytes());
    EXPECT_EQ(result.error, DefinitionError::MalformedLine);
    ExpectRows(ParseDefinitions(Sjis("表\\>x"), CodePage::WithoutLeadBytes()), {{"\x95\\", "x"}},
               "sjis 表\\>x without lead bytes");
}

struct MalformedCase {
    std::string content;
    std::int64_t line;
    bool sjisOnly;
};

TEST(DefinitionsTest, MalformedLinesAreReportedByNumber) {
    const std::vector<MalformedCase> cases = {
        {"a\\>b", 1, false},
        {"a>b>c", 1, false},
        {"a<b<c", 1, false},
        {"<abc", 1, false},
        {"a>b\n\nc>d", 2, false},
        {"\na>b", 1, false},
        {"a>b\n", 0, false},  // not malformed: see below
        {"a>b\n\n", 2, false},
        {"a>b\n\r\n", 2, false},
        {"a>b\rc>d", 1, false},
        {Sjis("表\\>x"), 1, true},
        {Sjis("\\表>x"), 1, true},
        // Empty search texts are refused, at their own line, before a later malformed line.
        {"x>y\n>abc", 2, false},
        {"x>y\nabc<", 2, false},
        {"x>y\n\\>abc", 2, false},
        {"x>y\nq>r\n>abc\nbad", 3, false},
        {"x>y\nabc<\\", 2, false},
    };
    for (const MalformedCase& c : cases) {
        for (const CodePage& cp : {CodePage::ShiftJis(), CodePage::WithoutLeadBytes()}) {
            if (c.sjisOnly && !cp.HasLeadBytes()) continue;
            const ParseResult result = ParseDefinitions(c.content, cp);
            if (c.line == 0) {
                EXPECT_EQ(result.error, DefinitionError::None) << Show(c.content);
                continue;
            }
            EXPECT_EQ(result.error, DefinitionError::MalformedLine) << Show(c.content);
            EXPECT_EQ(result.line, c.line) << Show(c.content);
            EXPECT_TRUE(result.table.rows.empty()) << Show(c.content);
        }
    }
}

std::string Lines(int count, bool finalLineFeed, const std::string& first = "a>b") {
    std::string content = first;
    for (int i = 1; i < count; ++i) content += "\na>b";
    if (finalLineFeed) content += "\n";
    return content;
}

TEST(DefinitionsTest, LineFeedLimitIsCheckedBeforeAnyLine) {
    EXPECT_EQ(ParseDefinitions(Lines(9999, false), CodePage::ShiftJis()).table.rows.size(), 9999u);
    EXPECT_EQ(ParseDefinitions(Lines(9999, true), CodePage::ShiftJis()).error,
              DefinitionError::TooManyLines);
    EXPECT_EQ(ParseDefinitions(Lines(10000, false, "malformed"), CodePage::ShiftJis()).error,
              DefinitionError::TooManyLines);
}

class LoadDefinitionsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::RecordingHost host;
    const SystemTexts texts{CodePage::ShiftJis()};

    std::optional<DefinitionTable> Load(const std::string& path) {
        return LoadDefinitions(path, host, texts, CodePage::ShiftJis());
    }
};

TEST_F(LoadDefinitionsTest, EachFailureShowsItsMessageAndNothingElse) {
    test::WriteFile(dir / "bad.txt", "a>b\nc>d\nno mark");
    test::WriteFile(dir / "long.txt", Lines(9999, true));
    test::WriteFile(dir / "locked.txt", "a>b");
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir / "missing.txt", Sjis("定義ファイルの読み込みに失敗しました。|Error Lv.01")},
        {dir.Path(), Sjis("定義ファイルの読み込みに失敗しました。|Error Lv.01")},
        {dir / "bad.txt", Sjis("【3】行目に定義エラーがあります。|Error Lv.01")},
        {dir / "long.txt", Sjis("置換定義数が９９９９個を超えています！|エラー")},
    };
    for (const auto& c : cases) {
        host.calls.clear();
        host.messages.clear();
        EXPECT_FALSE(Load(c.path).has_value()) << c.path;
        ASSERT_EQ(host.messages.size(), 1u) << c.path;
        EXPECT_EQ(host.messages[0], c.message) << c.path;
        EXPECT_EQ(host.calls.size(), 1u) << c.path;  // the message box, nothing else
        EXPECT_TRUE(host.log.empty());
    }
}

TEST_F(LoadDefinitionsTest, ReadsTheFileUpToItsFirstNul) {
    test::WriteFile(dir / "d.txt", std::string("foo>bar\r\nx<y\0z>w", 17));
    const auto table = Load(dir / "d.txt");
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->rows.size(), 2u);
    EXPECT_EQ(table->rows[1].search, "y");
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
}  // namespace kavex
