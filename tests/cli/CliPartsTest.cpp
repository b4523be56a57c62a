// The console front end's pure parts: the command line's mapping onto the run settings, the
// percent label, the console lines of the log and the fitting of a status text to a terminal.
#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/ProgressLine.h"
#include "support/TestSupport.h"

namespace kavex::cli {
namespace {

struct SettingsCase {
    const char* name;
    std::vector<std::string> args;
    RunSettings settings;
    std::vector<std::string> targets;
    bool quiet = false;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

class CommandLineTest : public testing::TestWithParam<SettingsCase> {};

TEST_P(CommandLineTest, MapsOptionsOntoSettings) {
    const SettingsCase& c = GetParam();
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    ASSERT_EQ(parsed.error, "");
    const RunSettings& s = parsed.commandLine.settings;
    EXPECT_EQ(s.m_nES1, c.settings.m_nES1);
    EXPECT_EQ(s.m_nES2, c.settings.m_nES2);
    EXPECT_EQ(s.m_nES3, c.settings.m_nES3);
    EXPECT_EQ(s.m_sES2, c.settings.m_sES2);
    EXPECT_EQ(s.m_sES3, c.settings.m_sES3);
    EXPECT_EQ(s.m_sPath, c.settings.m_sPath);
    EXPECT_EQ(parsed.commandLine.targets, c.targets);
    EXPECT_EQ(parsed.commandLine.quiet, c.quiet);
}

RunSettings Settings(std::int32_t entries, std::int32_t replace, std::int32_t extensions,
                     std::string only = "txt,c,cpp,h", std::string except = "exe,dll",
                     std::string path = "d.txt") {
    RunSettings settings;
    settings.m_nES1 = entries;
    settings.m_nES2 = replace;
    settings.m_nES3 = extensions;
    settings.m_sES2 = std::move(only);
    settings.m_sES3 = std::move(except);
    settings.m_sPath = std::move(path);
    return settings;
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineTest,
    testing::Values(SettingsCase{"Defaults", {"-d", "d.txt", "t"}, Settings(0, 0, 0), {"t"}},
                    SettingsCase{"ShortValueAndFirstWords",
                                 {"t", "--entries", "files", "--replace", "names", "--extensions",
                                  "only", "-dd.txt"},
                                 Settings(1, 1, 1),
                                 {"t"}},
                    SettingsCase{
                        "AttachedValuesAndEndOfOptions",
                        {"--entries=folders", "--replace=data", "--extensions=except",
                         "--only=", "--except", "bak,", "-qd", "d.txt", "t", "--", "-u", "--quiet"},
                        Settings(2, 2, 2, "", "bak,"),
                        {"t", "-u", "--quiet"},
                        true},
                    // The last of a repeated option counts; a lone "-" is a target.
                    SettingsCase{"LastRepeatWins",
                                 {"--definitions", "x", "--replace", "names", "--replace", "both",
                                  "--definitions=d.txt", "-", "--quiet"},
                                 Settings(0, 0, 0),
                                 {"-"},
                                 true}),
    [](const testing::TestParamInfo<SettingsCase>& param) {
        return std::string(param.param.name);
    });

TEST(CommandLine, HelpAndVersionWinOverMissingParts) {
    EXPECT_EQ(ParseCommandLine({"-h"}).commandLine.action, Action::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"x", "--help"}).commandLine.action, Action::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).commandLine.action, Action::ShowVersion);
}

TEST(CommandLine, KeepsTheCodePageName) {
    const ParsedCommandLine parsed = ParseCommandLine({"--code-page", "Shift_JIS", "-d", "d", "t"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.commandLine.codePageName, "Shift_JIS");
}

TEST(PercentLabel, FollowsTheWindowsLabel) {
    struct Case {
        std::int32_t position, low, high;
        const char* label;
    };
    const Case cases[] = {{0, 0, 100, "0%"},    {42, 0, 100, "42%"},    {100, 0, 100, "100%"},
                          {150, 0, 100, "50%"}, {199, 0, 100, "99%"},   {200, 0, 100, "0%"},
                          {-5, 0, 100, "-5%"},  {-150, 0, 100, "-50%"}, {100, 50, 150, "50%"},
                          {7, 0, 8, "87%"},     {5, 5, 5, "0%"}};
    for (const Case& c : cases) {
        EXPECT_EQ(PercentLabel(c.position, c.low, c.high), c.label)
            << c.position << " in " << c.low << ".." << c.high;
    }
}

TEST(ConsoleLines, TurnsCrLfIntoLineFeedsAndEndsWithOne) {
    EXPECT_EQ(ConsoleLines("a\r\nb\r\n[x]>[y]"), "a\nb\n[x]>[y]\n");
    EXPECT_EQ(ConsoleLines("a\rb\n"), "a\rb\n\n");  // only CR LF pairs are line breaks of the log
    EXPECT_EQ(ConsoleLines(""), "");
}

TEST(FitToColumns, CutsOnlyBetweenCharacters) {
    const platform::CodePage sjis = platform::CodePage::ShiftJis();
    const platform::CodePage utf8 = *platform::CodePage::FromName("utf-8");
    const std::string status = test::Sjis("表a表");
    EXPECT_EQ(FitToColumns(status, 10, sjis), status);
    EXPECT_EQ(FitToColumns(status, 4, sjis), test::Sjis("表a"));
    EXPECT_EQ(FitToColumns(status, 2, sjis), test::Sjis("表"));
    EXPECT_EQ(FitToColumns(status, 1, sjis), "");
    EXPECT_EQ(FitToColumns("表a表", 3, utf8), "表a");
    EXPECT_EQ(FitToColumns("表a表", 4, utf8), "表a");
    EXPECT_EQ(FitToColumns("éa", 1, utf8), "é");
}

}  // namespace
}  // namespace kavex::cli
