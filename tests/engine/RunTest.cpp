// The run's driver: order of steps, early ends, header lines, depth order, extension lists.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/Run.h"

namespace kavex {
namespace {

using test::Sjis;

class RunTest : public test::EngineFixture {};

TEST_F(RunTest, EmptyListRunsBothPassesAndWritesTheHeaders) {
    Define("a>b");
    EXPECT_EQ(Run(), RunOutcome::Completed);
    const std::vector<std::string> expectedCalls = {
        "from-controls",
        "open",
        "range 0 100",
        "status " + Sjis("置換の計算＆準備中・・・"),
        "assign " + Sjis("------------------開始------------------"),
        "status " + Sjis("データの置換中・・・"),
        "to-controls",
        "close",
    };
    EXPECT_EQ(host.calls, expectedCalls);
    const std::vector<std::string> expectedLog = {
        Sjis("------------------開始------------------"),
        Sjis("トータル：0"),
        Sjis("階層範囲：0"),
        Sjis("-----------結果：データの置換-----------"),
        Sjis("---------結果：ファイル名の置換---------"),
    };
    EXPECT_EQ(host.LogLines(), expectedLog);
}

TEST_F(RunTest, SettingChoosesThePassesAndTheHeadersFollow) {
    Define("a>b");
    const std::string data = Sjis("-----------結果：データの置換-----------");
    const std::string names = Sjis("---------結果：ファイル名の置換---------");
    const struct {
        std::int32_t passes;
        std::vector<std::string> headers;
    } cases[] = {{0, {data, names}}, {1, {names}}, {2, {data}}, {3, {}}};
    for (const auto& c : cases) {
        host.settings.m_nES2 = c.passes;
        EXPECT_EQ(Run(), RunOutcome::Completed);
        auto lines = host.LogLines();
        ASSERT_GE(lines.size(), 3u);
        lines.erase(lines.begin(), lines.begin() + 3);
        EXPECT_EQ(lines, c.headers) << "m_nES2 = " << c.passes;
    }
}

TEST_F(RunTest, EarlyEndsShowOneMessageAndTouchNothing) {
    const std::vector<std::string> tooMany(10000, dir / "x");
    const struct {
        const char* what;
        std::string definitions;  // empty: no definition file at all
        std::size_t targets;
        std::string message;
    } cases[] = {
        {"missing file", "", 1, Sjis("定義ファイルの読み込みに失敗しました。|Error Lv.01")},
        {"malformed", "a>b\nbad", 1, Sjis("【2】行目に定義エラーがあります。|Error Lv.01")},
        {"malformed and too many targets", "bad", 10000,
         Sjis("【1】行目に定義エラーがあります。|Error Lv.01")},
        {"too many targets", "a>b", 10000, Sjis("ファイル数が９９９９個を超えています！|エラー")},
    };
    for (const auto& c : cases) {
        if (c.definitions.empty()) {
            host.settings.m_sPath = dir / "missing.txt";
        } else {
            host.settings.m_sPath = dir / "definitions.txt";
            Define(c.definitions);
        }
        host.targets.assign(tooMany.begin(),
                            tooMany.begin() + static_cast<std::ptrdiff_t>(c.targets));
        host.log = "previous log";
        host.calls.clear();
        host.messages.clear();
        EXPECT_EQ(Run(), RunOutcome::EndedBeforeStart) << c.what;
        EXPECT_EQ(host.calls, (std::vector<std::string>{"from-controls", "message " + c.message}))
            << c.what;
        EXPECT_EQ(host.log, "previous log") << c.what;
    }
}

TEST_F(RunTest, NineThousandNineHundredNinetyNineTargetsAreAccepted) {
    Define("zzz>y");
    host.settings.m_nES2 = 2;
    host.targets.assign(9999, dir / "missing");
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(host.LogLines().at(1), Sjis("トータル：9999"));
}

TEST_F(RunTest, PreparationMovesTheProgressInTwoHalves) {
    Define("a>b");
    host.settings.m_nES2 = 3;  // no pass: only the preparation's positions
    host.targets = {"a", "b", "c", "d"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(host.CallsStartingWith("position "),
              (std::vector<std::string>{"0", "12", "25", "37", "50", "62", "75", "87"}));
}

TEST(PathDepthTest, EverySeparatorByteCounts) {
    EXPECT_EQ(PathDepth("C:\\a\\b.txt"), 2);
    EXPECT_EQ(PathDepth("C:\\a\\b\\"), 3);
    EXPECT_EQ(PathDepth("C:/a/b"), 2);
    EXPECT_EQ(PathDepth(Sjis("C:\\表")), 2);
    EXPECT_EQ(PathDepth("name"), 0);
}

TEST_F(RunTest, OrderByDepthFollowsTheExchangeLoopForTies) {
    // Depths 2, 1, 2, 1, 3 in list order A..E end as B, D, C, A, E.
    host.targets = {"A/x/y", "B/x", "C/x/y", "D/x", "E/x/y/z"};
    TargetTable table = BuildTargetTable(host, host.targets.size());
    OrderByDepth(table, host);
    std::string order;
    for (const TargetRow& row : table.rows) order += row.path[0];
    EXPECT_EQ(order, "BDCAE");
    EXPECT_EQ(table.maxDepth, 3);

    host.targets = {"a/b/c", "a", "a/b"};
    table = BuildTargetTable(host, host.targets.size());
    OrderByDepth(table, host);
    EXPECT_EQ(table.rows[0].path, "a");
    EXPECT_EQ(table.rows[2].path, "a/b/c");
}

TEST_F(RunTest, SizesAreFileLengthsAndFoldersAndMissingPathsCountZero) {
    test::WriteFile(dir / "f", std::string(100, 'x'));
    host.targets = {dir / "f", dir.Path(), dir / "missing"};
    const TargetTable table = BuildTargetTable(host, host.targets.size());
    EXPECT_EQ(table.rows[0].size, 100);
    EXPECT_EQ(table.rows[1].size, 0);
    EXPECT_EQ(table.rows[2].size, 0);
    EXPECT_EQ(table.byteTotal, 200);
}

TEST(ExtensionListTest, SplitsTheChosenListAtCommas) {
    std::string manyCommas = "a";
    for (int i = 1; i <= 1500; ++i) manyCommas += "," + std::to_string(i);
    const struct {
        std::int32_t mode;
        std::string include, exclude;
        std::vector<std::string> entries;
    } cases[] = {
        {1, "txt,c,cpp,h", "exe", {"txt", "c", "cpp", "h"}},
        {1, "", "exe", {""}},
        {1, "txt,,c", "", {"txt", "", "c"}},
        {2, "txt", "exe,dll", {"exe", "dll"}},
        {2, "txt", ".Exe , x", {".Exe ", " x"}},
        {0, "txt,c", "exe,dll", {""}},
        {5, "txt,c", "exe,dll", {""}},
    };
    for (const auto& c : cases) {
        RunSettings settings;
        settings.m_nES3 = c.mode;
        settings.m_sES2 = c.include;
        settings.m_sES3 = c.exclude;
        EXPECT_EQ(BuildExtensionList(settings).entries, c.entries) << c.mode << " " << c.include;
    }
    RunSettings settings;
    settings.m_nES3 = 1;
    settings.m_sES2 = manyCommas;
    const ExtensionList list = BuildExtensionList(settings);
    ASSERT_EQ(list.entries.size(), 1000u);
    EXPECT_EQ(list.entries[0], "a");
    EXPECT_EQ(list.entries[998], "998");
    EXPECT_EQ(list.entries[999], "1500");
}

TEST(ExtensionFilterTest, ModesAndCaseSensitiveMatches) {
    ExtensionList list;
    list.entries = {"txt", ""};
    const struct {
        std::string path;
        std::int32_t mode;
        bool included;
    } cases[] = {
        {"a.txt", 0, true},  {"a.exe", 0, true},  {"a.txt", 1, true}, {"a.TXT", 1, false},
        {"noext", 1, false}, {"a.txt", 2, false}, {"noext", 2, true}, {"a.c", 2, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtensionFilterIncludes(c.path, list, c.mode), c.included)
            << c.path << " " << c.mode;
    }
}

}  // namespace
}  // namespace kavex
