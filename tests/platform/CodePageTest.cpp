// The code page: names, the locale environment, lead and trail bytes, conversions.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/CodePage.h"

namespace kavex::platform {
namespace {

TEST(CodePageTest, NamesMapToTheirCodePages) {
    const struct {
        const char* name;
        int number;
    } cases[] = {
        {"932", 932},   {"Shift_JIS", 932}, {"sjis", 932},  {"CP932", 932}, {"Windows-31J", 932},
        {"ms932", 932}, {"GBK", 936},       {"cp936", 936}, {"UHC", 949},   {"CP949", 949},
        {"Big5", 950},  {"cp950", 950},     {"UTF-8", 0},   {"utf8", 0},
    };
    for (const auto& c : cases) {
        const auto cp = CodePage::FromName(c.name);
        ASSERT_TRUE(cp.has_value()) << c.name;
        EXPECT_EQ(cp->Number(), c.number) << c.name;
    }
    EXPECT_FALSE(CodePage::FromName("klingon").has_value());
}

TEST(CodePageTest, ShiftJisLeadAndTrailRanges) {
    const CodePage sjis = CodePage::ShiftJis();
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(sjis.IsLeadByte(static_cast<char>(b))) << b;
    for (int b : {0x80, 0xA0, 0xDF, 0xFD, 0x5C, 0x41})
        EXPECT_FALSE(sjis.IsLeadByte(static_cast<char>(b))) << b;
    for (int b : {0x40, 0x5C, 0x7E, 0x80, 0xFC})
        EXPECT_TRUE(sjis.IsTrailByte(static_cast<char>(b))) << b;
    for (int b : {0x3F, 0x7F, 0xFD, 0x0A, 0x3E, 0x3C})
        EXPECT_FALSE(sjis.IsTrailByte(static_cast<char>(b))) << b;
    EXPECT_TRUE(sjis.FormsPair('\x95', '\x5C'));  // 表
    const CodePage utf8 = CodePage::WithoutLeadBytes();
    for (int b = 0; b < 256; ++b) EXPECT_FALSE(utf8.IsLeadByte(static_cast<char>(b)));
}

class LocaleEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) ::unsetenv(name);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(LocaleEnvironmentTest, FirstSetVariableWinsAndItsCodesetDecides) {
    ::setenv("LANG", "ja_JP.SJIS", 1);
    EXPECT_EQ(CodePage::FromLocaleEnvironment().Number(), 932);
    ::setenv("LC_CTYPE", "ja_JP.UTF-8", 1);
    EXPECT_EQ(CodePage::FromLocaleEnvironment().Number(), 0);
    ::setenv("LC_ALL", "zh_CN.gbk@modifier", 1);
    EXPECT_EQ(CodePage::FromLocaleEnvironment().Number(), 936);
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(CodePage::FromLocaleEnvironment().Number(), 0);
}

TEST(CodePageTest, ShiftJisConvertsBothWays) {
    const CodePage sjis = CodePage::ShiftJis();
    const std::string bytes =
        "\x95\x5C\x81\x41"
        "a";  // 表、a
    EXPECT_EQ(ToUtf8(bytes, sjis), "表、a");
    EXPECT_EQ(FromUtf8("表、a", sjis), bytes);
    // A character Shift_JIS lacks becomes one '?', not one per UTF-8 byte.
    EXPECT_EQ(FromUtf8("a\xF0\x9F\x98\x80"
                       "b",
                       sjis),
              "a?b");
    EXPECT_FALSE(FromUtf8Exact("\xF0\x9F\x98\x80", sjis).has_value());
    // A lone lead byte shows as the replacement character.
    EXPECT_EQ(ToUtf8("a\x95", sjis), "a\xEF\xBF\xBD");
}

TEST(CodePageTest, ProcessCodePageCanBeOverridden) {
    const CodePage before = ProcessCodePage();
    SetProcessCodePage(CodePage::ShiftJis());
    EXPECT_EQ(ProcessCodePage().Number(), 932);
    SetProcessCodePage(before);
    EXPECT_EQ(ProcessCodePage().Number(), before.Number());
}

}  // namespace
}  // namespace kavex::platform
