// kavex-cli run as a command on temporary trees: the report on standard output, messages on
// standard error, the exit status, and the files and names afterwards.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "engine/Journal.h"
#include "platform/File.h"
#include "support/TestSupport.h"

namespace kavex::test {
namespace {

constexpr const char* kFolder = "<folder>";  // a fixture entry that is a folder
constexpr const char* kAbsent = "<absent>";  // an entry that must not exist afterwards

CliInvocation Invocation(std::vector<std::string> args, std::string folder = {}) {
    CliInvocation invocation;
    invocation.args = std::move(args);
    invocation.workingFolder = std::move(folder);
    return invocation;
}

// Lines as the console prints them: each followed by a line feed.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

const std::string kStart = "------------------開始------------------";
const std::string kDataHeader = "-----------結果：データの置換-----------";
const std::string kNameHeader = "---------結果：ファイル名の置換---------";

void MakeTree(const TempDir& dir, const std::map<std::string, std::string>& entries) {
    for (const auto& [path, content] : entries) {
        if (content == kFolder) {
            MakeFolder(dir / path);
        } else {
            MakeFolder(std::filesystem::path(dir / path).parent_path().string());
            WriteFile(dir / path, content);
        }
    }
}

void ExpectTree(const TempDir& dir, const std::map<std::string, std::string>& entries) {
    for (const auto& [path, content] : entries) {
        const std::filesystem::path full = dir / path;
        if (content == kAbsent) {
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(full))) << path;
        } else if (content == kFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(full)) << path;
        } else {
            EXPECT_TRUE(std::filesystem::is_regular_file(full)) << path;
            if (std::filesystem::is_regular_file(full)) {
                EXPECT_EQ(ReadFile(full), content) << path;
            }
        }
    }
}

// One run of the command in a fresh folder holding `tree` and the definition file defs.txt. The
// expected outputs are written in UTF-8 and compared as Shift_JIS bytes when `shiftJisOutput`.
struct CommandCase {
    const char* name;
    std::map<std::string, std::string> tree;
    std::string definitions;
    std::vector<std::string> args;  // "-d defs.txt" is put first unless the case has its own -d
    std::vector<std::string> environment;
    bool shiftJisOutput = false;
    int status = 0;
    std::vector<std::string> out;
    std::vector<std::string> err;
    std::map<std::string, std::string> after;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class CommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandTest, ReportsMessagesStatusAndFiles) {
    const CommandCase& c = GetParam();
    const auto bytes = [&c](const std::string& utf8) {
        return c.shiftJisOutput ? Sjis(utf8) : utf8;
    };
    TempDir dir;
    MakeTree(dir, c.tree);
    WriteFile(dir / "defs.txt", c.definitions);

    CliInvocation run = Invocation(c.args, dir.Path());
    run.environment = c.environment;
    bool ownDefinitions = false;
    for (const std::string& arg : c.args) ownDefinitions |= arg.starts_with("-d");
    if (!ownDefinitions) run.args.insert(run.args.begin(), {"-d", "defs.txt"});
    const CliResult result = RunCli(run);

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out.empty() ? "" : bytes(Lines(c.out)));
    EXPECT_EQ(result.err, c.err.empty() ? "" : bytes(Lines(c.err)));
    ExpectTree(dir, c.after);
}

const std::map<std::string, std::string> kFooTree = {{"a.txt", "foo bar foo"},
                                                     {"b.txt", "nothing"}};

INSTANTIATE_TEST_SUITE_P(
    Runs, CommandTest,
    testing::Values(
        // The data pass's example: bare names become ./a.txt, ./b.txt, in sorted order.
        CommandCase{
            "DataAndNames",
            kFooTree,
            "foo>baz",
            {"b.txt", "a.txt"},
            {},
            false,
            0,
            {kStart, "トータル：2", "階層範囲：1", kDataHeader, "[a.txt]：2個の文字列を置換",
             "[foo]>[baz]", "[foo]>[baz]", "[b.txt]：該当文字列なし。", kNameHeader},
            {},
            {{"a.txt", "baz bar baz"}, {"b.txt", "nothing"}}},
        // The name pass's example: the file inside the folder is renamed before the folder.
        CommandCase{
            "NamesOnlyDeepestFirst",
            {{"w/old/old.txt", "old"}},
            "old>new",
            {"--replace", "names", "w/old"},
            {},
            false,
            0,
            {kStart, "トータル：2", "階層範囲：2", kNameHeader, "[old.txt]：1個の文字列を置換",
             "[old]>[new]", "[old]：1個の文字列を置換", "[old]>[new]"},
            {},
            {{"w/new/new.txt", "old"}, {"w/old", kAbsent}}},
        // Only the listed extensions, compared with letter case; data only, so no name header.
        CommandCase{
            "DataOnlyListedExtensions",
            {{"a.TXT", "foo"}, {"b.txt", "foo"}, {"c", "foo"}},
            "foo>baz",
            {"--replace=data", "--extensions", "only", "--only", "md,txt", "a.TXT", "b.txt", "c"},
            {},
            false,
            0,
            {kStart, "トータル：3", "階層範囲：1", kDataHeader, "[b.txt]：1個の文字列を置換",
             "[foo]>[baz]"},
            {},
            {{"a.TXT", "foo"}, {"b.txt", "baz"}, {"c", "foo"}}},
        // All but the default exception list exe,dll.
        CommandCase{"DataOnlyExceptDefaultList",
                    {{"a.exe", "foo"}, {"b.dll", "foo"}, {"c.txt", "foo"}},
                    "foo>baz",
                    {"--replace", "data", "--extensions", "except", "a.exe", "b.dll", "c.txt"},
                    {},
                    false,
                    0,
                    {kStart, "トータル：3", "階層範囲：1", kDataHeader,
                     "[c.txt]：1個の文字列を置換", "[foo]>[baz]"},
                    {},
                    {{"a.exe", "foo"}, {"b.dll", "foo"}, {"c.txt", "baz"}}},
        // Folders only: no file is opened, only the folder is renamed.
        CommandCase{"FoldersOnly",
                    {{"foo/foo.txt", "foo"}, {"foo/foo.exe", "foo"}},
                    "foo>baz",
                    {"--entries", "folders", "foo"},
                    {},
                    false,
                    0,
                    {kStart, "トータル：3", "階層範囲：2", kDataHeader, kNameHeader,
                     "[foo]：1個の文字列を置換", "[foo]>[baz]"},
                    {},
                    {{"baz/foo.txt", "foo"}, {"baz/foo.exe", "foo"}, {"foo", kAbsent}}},
        // Two names that become the same: the second rename fails and is logged as such.
        CommandCase{"RenameOntoExistingName",
                    {{"a1", "x"}, {"b1", "y"}},
                    "a>x\nb>x",
                    {"--replace", "names", "a1", "b1"},
                    {},
                    false,
                    0,
                    {kStart, "トータル：2", "階層範囲：1", kNameHeader, "[b1]：1個の文字列を置換",
                     "[b]>[x]", "[a1]：ミス", "[a]>[x]"},
                    {},
                    {{"x1", "y"}, {"a1", "x"}, {"b1", kAbsent}}},
        CommandCase{"QuietPrintsNoReport",
                    kFooTree,
                    "foo>baz",
                    {"-q", "a.txt"},
                    {},
                    false,
                    0,
                    {},
                    {},
                    {{"a.txt", "baz bar baz"}}},
        // Early ends: a message box on standard error, no report, nothing changed.
        CommandCase{"DefinitionFileMissing",
                    kFooTree,
                    "foo>baz",
                    {"-d", "missing.txt", "a.txt"},
                    {},
                    false,
                    1,
                    {},
                    {"Error Lv.01: 定義ファイルの読み込みに失敗しました。"},
                    {{"a.txt", "foo bar foo"}}},
        CommandCase{"DefinitionLineMalformed",
                    kFooTree,
                    "foo>baz\n\nbar>qux",
                    {"a.txt"},
                    {},
                    false,
                    1,
                    {},
                    {"Error Lv.01: 【2】行目に定義エラーがあります。"},
                    {{"a.txt", "foo bar foo"}}},
        CommandCase{"TooManyDefinitions",
                    kFooTree,
                    [] {
                        std::string lines;
                        for (int i = 0; i < 9999; ++i) lines += "foo>baz\n";
                        return lines;
                    }(),
                    {"a.txt"},
                    {},
                    false,
                    1,
                    {},
                    {"エラー: 置換定義数が９９９９個を超えています！"},
                    {{"a.txt", "foo bar foo"}}},
        // The same Shift_JIS definition 表>x (表 ends in the byte of a backslash) under 932...
        CommandCase{"CodePage932",
                    {{"f.txt", Sjis("表表y")}},
                    Sjis("表>x"),
                    {"--code-page", "932", "f.txt"},
                    {},
                    true,
                    0,
                    {kStart, "トータル：1", "階層範囲：1", kDataHeader,
                     "[f.txt]：2個の文字列を置換", "[表]>[x]", "[表]>[x]", kNameHeader},
                    {},
                    {{"f.txt", "xxy"}}},
        // ...taken from the locale when no option is given...
        CommandCase{"CodePageFromLocale",
                    {{"f.txt", Sjis("表表y")}},
                    Sjis("表>x"),
                    {"f.txt"},
                    {"LC_ALL=ja_JP.SJIS"},
                    true,
                    0,
                    {kStart, "トータル：1", "階層範囲：1", kDataHeader,
                     "[f.txt]：2個の文字列を置換", "[表]>[x]", "[表]>[x]", kNameHeader},
                    {},
                    {{"f.txt", "xxy"}}},
        // ...and under UTF-8, where that byte escapes the mark: a definition error, in UTF-8.
        CommandCase{"CodePageUtf8OverridesLocale",
                    {{"f.txt", Sjis("表表y")}},
                    Sjis("表>x"),
                    {"--code-page=utf-8", "f.txt"},
                    {"LC_ALL=ja_JP.SJIS"},
                    false,
                    1,
                    {},
                    {"Error Lv.01: 【1】行目に定義エラーがあります。"},
                    {{"f.txt", Sjis("表表y")}}}),
    [](const testing::TestParamInfo<CommandCase>& param) { return std::string(param.param.name); });

// Usage errors: status 2, a short hint, nothing run.
struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class UsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageTest, RefusesWithHint) {
    TempDir dir;
    WriteFile(dir / "defs.txt", "foo>baz");
    WriteFile(dir / "a.txt", "foo");
    const CliResult result = RunCli(Invocation(GetParam().args, dir.Path()));
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "kavex-cli: " + GetParam().message +
                              "\nTry 'kavex-cli --help' for more information.\n");
    EXPECT_EQ(ReadFile(dir / "a.txt"), "foo");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, UsageTest,
    testing::Values(
        UsageCase{"NoArguments", {}, "missing -d DEFINITION_FILE"},
        UsageCase{"NoDefinitions", {"a.txt"}, "missing -d DEFINITION_FILE"},
        UsageCase{"NoTarget", {"-d", "defs.txt"}, "no TARGET given"},
        UsageCase{"DefinitionsWithoutValue", {"a.txt", "-d"}, "option '-d' needs a value"},
        UsageCase{"UnknownLongOption",
                  {"-d", "defs.txt", "--bogus", "a.txt"},
                  "unknown option '--bogus'"},
        UsageCase{"UnknownShortOption", {"-x", "-d", "defs.txt", "a.txt"}, "unknown option '-x'"},
        UsageCase{"UnknownChoice",
                  {"-d", "defs.txt", "--entries", "some", "a.txt"},
                  "invalid value 'some' for --entries (all, files or folders)"},
        UsageCase{"FlagWithValue",
                  {"-d", "defs.txt", "--quiet=yes", "a.txt"},
                  "option '--quiet' takes no value"},
        UsageCase{"UnknownCodePage",
                  {"-d", "defs.txt", "--code-page", "klingon", "a.txt"},
                  "unknown code page 'klingon'"},
        UsageCase{"MissingTarget",
                  {"-d", "defs.txt", "a.txt", "missing.txt"},
                  "cannot access 'missing.txt': No such file or directory"}),
    [](const testing::TestParamInfo<UsageCase>& param) { return std::string(param.param.name); });

TEST(CommandHelp, SaysHowLinksAreTreated) {
    const CliResult result = RunCli(Invocation({"--help"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(
        result.out.starts_with("Usage: kavex-cli [OPTIONS] -d DEFINITION_FILE TARGET...\n"));
    EXPECT_NE(
        result.out.find("A symbolic link to a\nfolder is listed itself but not descended into."),
        std::string::npos);
}

// A dropped folder brings every entry, hidden ones too, in the list's case-blind order whatever
// the file system's order; a link to a folder is listed but its contents are not.
TEST(CommandFolder, ListsEverythingBelowInSortedOrder) {
    TempDir dir;
    MakeTree(dir, {{"T/B.txt", "x"},
                   {"T/a.txt", "x"},
                   {"T/.hidden", "x"},
                   {"T/_x.txt", "x"},
                   {"T/Z.txt", "x"},
                   {"outside/inner.txt", "x"}});
    std::filesystem::create_directory_symlink("../outside", dir / "T/link");
    WriteFile(dir / "defs.txt", "foo>baz");

    const CliResult result =
        RunCli(Invocation({"-d", "defs.txt", "--replace", "data", "T"}, dir.Path()));

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, Lines({kStart, "トータル：7", "階層範囲：2", kDataHeader,
                                 "[.hidden]：該当文字列なし。", "[_x.txt]：該当文字列なし。",
                                 "[a.txt]：該当文字列なし。", "[B.txt]：該当文字列なし。",
                                 "[Z.txt]：該当文字列なし。"}));
    EXPECT_EQ(result.err, "");
}

// More than 9999 targets end the run before anything changes.
TEST(CommandLimits, TooManyTargetsEndsBeforeStart) {
    TempDir dir;
    MakeFolder(dir / "M");
    for (int i = 0; i < 9999; ++i) WriteFile(dir / ("M/" + std::to_string(i)), "foo");
    WriteFile(dir / "defs.txt", "foo>baz");

    const CliResult result = RunCli(Invocation({"-d", "defs.txt", "M"}, dir.Path()));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "エラー: ファイル数が９９９９個を超えています！\n");
    EXPECT_EQ(ReadFile(dir / "M/0"), "foo");
}

// A write that fails (here: past the file size limit, which holds for root too) stops the run with
// status 3; the file has its old bytes and the report so far is printed.
TEST(CommandFileError, StopsWithFileRestored) {
    TempDir dir;
    const std::string old = "foo" + std::string(97, '.');
    WriteFile(dir / "a.txt", old);
    WriteFile(dir / "defs.txt", "foo>" + std::string(2000, 'y'));

    CliInvocation run = Invocation({"-d", "defs.txt", "a.txt"}, dir.Path());
    run.fileSizeLimit = 1000;  // the journal entry of the old bytes fits, the new bytes do not
    const CliResult result = RunCli(run);

    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, Lines({kStart, "トータル：1", "階層範囲：1", kDataHeader}));
    EXPECT_EQ(result.err, Lines({"エラー: ファイルの書き込みに失敗したため、置換を中止しました。",
                                 "./a.txt (File too large)", "ファイルは元の内容に戻しました。"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), old);
}

// A file left half-written by a killed run gets its old bytes back when kavex-cli starts, before
// its own run, and standard error says so.
TEST(CommandJournal, StartPutsBackAFileAKilledRunLeftHalfWritten) {
    TempDir dir;
    WriteFile(dir / "a.txt", "foo old");
    WriteFile(dir / "defs.txt", "old>older");
    JournalSettings journal;
    journal.folder = dir / "state/kavex/journal";
    {
        const platform::File file = platform::File::Open(dir / "a.txt", platform::File::Mode::Read);
        FileIdentity identity;
        ASSERT_TRUE(IdentityOf(file.Descriptor(), identity));
        Journal writer(journal);
        const JournalWrite written = writer.Record(dir / "a.txt", identity, "foo old", 7);
        ASSERT_EQ(written.error, 0);
    }  // the entry stays, as after a kill
    WriteFile(dir / "a.txt", "baz old");

    CliInvocation run = Invocation({"-d", "defs.txt", "a.txt"}, dir.Path());
    run.environment = {"XDG_STATE_HOME=" + dir / "state"};
    const CliResult result = RunCli(run);

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              Lines({"置換の復元: 前回の置換が途中で中断されていたため、次のファイルを元の内容に"
                     "戻しました。",
                     dir / "a.txt"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), "foo older");
}

// Ctrl-C (twice: the second must not kill the process) or SIGTERM while the second file is read:
// the first file keeps its change, the second is untouched, no name pass, the report so far.
class CommandCancelTest : public testing::TestWithParam<std::vector<int>> {};

TEST_P(CommandCancelTest, StopsAtNextCheckAndPrintsReport) {
    TempDir dir;
    MakeTree(dir, {{"a.txt", "foo"}, {"b.txt", "foo"}, {"foo", kFolder}});
    WriteFile(dir / "defs.txt", "foo>baz");

    CliInvocation run = Invocation({"-d", "defs.txt", "a.txt", "b.txt", "foo"}, dir.Path());
    run.environment = {"KAVEX_CLI_TEST_PAUSE_AT_CANCEL_CHECK=1"};
    run.signalWhenStderrHas = "kavex-cli: paused for a cancel signal\n";
    run.signals = GetParam();
    const CliResult result = RunCli(run);

    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.out, Lines({kStart, "トータル：3", "階層範囲：1", kDataHeader,
                                 "[a.txt]：1個の文字列を置換", "[foo]>[baz]"}));
    EXPECT_EQ(result.err, "kavex-cli: paused for a cancel signal\n");
    ExpectTree(dir, {{"a.txt", "baz"}, {"b.txt", "foo"}, {"foo", kFolder}});
}

INSTANTIATE_TEST_SUITE_P(Signals, CommandCancelTest,
                         testing::Values(std::vector<int>{SIGINT, SIGINT},
                                         std::vector<int>{SIGTERM}));

// On a terminal the progress line is drawn in place and erased at the end; the report still goes
// to standard output.
TEST(CommandProgress, DrawnOnTerminalAndCleared) {
    TempDir dir;
    WriteFile(dir / "a.txt", "foo");
    WriteFile(dir / "defs.txt", "foo>baz");

    CliInvocation run = Invocation({"-d", "defs.txt", "a.txt"}, dir.Path());
    run.stderrOnTerminal = true;
    const CliResult result = RunCli(run);

    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(
        result.err.starts_with("\r\x1b[K置換の計算＆準備中・・・ [--------------------] 0%"))
        << result.err;
    EXPECT_TRUE(result.err.ends_with("\r\x1b[K")) << result.err;
    EXPECT_TRUE(result.out.starts_with(kStart + "\n"));
}

}  // namespace
}  // namespace kavex::test
