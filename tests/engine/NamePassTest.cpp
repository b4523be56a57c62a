// The name pass: deepest first, its four outcomes, kinds, filters, progress and cancel.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

using test::ReadFile;
using test::Sjis;
using test::WriteFile;

class NamePassTest : public test::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        host.settings.m_nES2 = 1;  // names only
    }
    std::vector<std::string> PassLines() const {
        auto lines = host.LogLines();
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(4, lines.size()));
        return lines;
    }
    bool Exists(std::string_view relative) const { return platform::EntryExists(dir / relative); }
};

TEST_F(NamePassTest, RenamesDeepestFirst) {
    Define("old>new");
    test::MakeFolder(dir / "old");
    WriteFile(dir / "old/old.txt", "content");
    host.targets = {dir / "old", dir / "old/old.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(host.LogLines().at(3), Sjis("---------結果：ファイル名の置換---------"));
    EXPECT_EQ(PassLines(),
              (std::vector<std::string>{Sjis("[old.txt]：1個の文字列を置換"), "[old]>[new]",
                                        Sjis("[old]：1個の文字列を置換"), "[old]>[new]"}));
    EXPECT_EQ(ReadFile(dir / "new/new.txt"), "content");
    EXPECT_FALSE(Exists("old"));
}

TEST_F(NamePassTest, OutcomesOfOneItem) {
    const struct {
        const char* definitions;
        const char* name;
        std::vector<std::string> lines;
        const char* after;  // the name the entry has afterwards
    } cases[] = {
        {"txt>bak.txt",
         "a.txt",
         {Sjis("[a.txt]：1個の文字列を置換"), "[txt]>[bak.txt]"},
         "a.bak.txt"},
        {"b>b", "abc", {Sjis("[abc]：変化なし"), "[b]>[b]"}, "abc"},
        {"a>A", "a.txt", {Sjis("[a.txt]：1個の文字列を置換"), "[a]>[A]"}, "A.txt"},
        {"zzz>y", "a.txt", {}, "a.txt"},
        {"a>x/y", "a.txt", {Sjis("[a.txt]：ミス"), "[a]>[x/y]"}, "a.txt"},
        {"a.txt>", "a.txt", {Sjis("[a.txt]：ミス"), "[a.txt]>[]"}, "a.txt"},
    };
    for (const auto& c : cases) {
        test::TempDir local;
        Define(c.definitions);
        WriteFile(local / c.name, "x");
        host.targets = {local / c.name};
        EXPECT_EQ(Run(), RunOutcome::Completed) << c.definitions;
        EXPECT_EQ(PassLines(), c.lines) << c.definitions;
        EXPECT_EQ(ReadFile(local / c.after), "x") << c.definitions;
    }
}

TEST_F(NamePassTest, ExistingNameIsNeverReplaced) {
    Define("1>2");
    WriteFile(dir / "a1", "first");
    WriteFile(dir / "a2", "second");
    host.targets = {dir / "a1"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(PassLines(), (std::vector<std::string>{Sjis("[a1]：ミス"), "[1]>[2]"}));
    EXPECT_EQ(ReadFile(dir / "a1"), "first");
    EXPECT_EQ(ReadFile(dir / "a2"), "second");
}

TEST_F(NamePassTest, FileListedTwiceFailsOrIsSkippedOnItsSecondVisit) {
    Define("a>b");
    for (std::int32_t kind : {0, 1}) {
        test::TempDir local;
        WriteFile(local / "a", "x");
        host.settings.m_nES1 = kind;
        host.targets = {local / "a", local / "a"};
        EXPECT_EQ(Run(), RunOutcome::Completed);
        std::vector<std::string> expected = {Sjis("[a]：1個の文字列を置換"), "[a]>[b]"};
        if (kind == 0) {
            // The stored path is gone: it counts as a folder and its rename fails.
            expected.insert(expected.end(), {Sjis("[a]：ミス"), "[a]>[b]"});
        }
        EXPECT_EQ(PassLines(), expected) << "m_nES1 = " << kind;
    }
}

TEST_F(NamePassTest, KindsAndExtensionFilterSelectItems) {
    Define("x>y");
    const struct {
        std::int32_t kind, mode;
        std::string include;
        std::string remaining;  // the names still holding an x afterwards
    } cases[] = {
        {0, 0, "", ""},
        {1, 0, "", "xdir xdir.d"},
        {2, 0, "", "x.txt"},
        {0, 1, "txt,d", "xdir"},  // a folder is only taken when its path has a listed extension
        {7, 0, "", "x.txt xdir xdir.d"},
    };
    for (const auto& c : cases) {
        test::TempDir local;
        WriteFile(local / "x.txt", "");
        test::MakeFolder(local / "xdir");
        test::MakeFolder(local / "xdir.d");
        host.settings.m_nES1 = c.kind;
        host.settings.m_nES3 = c.mode;
        host.settings.m_sES2 = c.include;
        host.targets = {local / "x.txt", local / "xdir", local / "xdir.d"};
        EXPECT_EQ(Run(), RunOutcome::Completed);
        std::string remaining;
        for (const char* name : {"x.txt", "xdir", "xdir.d"}) {
            if (platform::EntryExists(local / name))
                remaining += (remaining.empty() ? "" : " ") + std::string(name);
        }
        EXPECT_EQ(remaining, c.remaining) << c.kind << "/" << c.mode;
    }
}

TEST_F(NamePassTest, ProgressAndStatusCountDownFromTheLastItem) {
    Define("zzz>y");
    host.targets = {dir / "a", dir / "b", dir / "c", dir / "d/"};  // missing paths count as folders
    EXPECT_EQ(Run(), RunOutcome::Completed);
    const auto statuses = host.CallsStartingWith("status " + Sjis("名前の置換中("));
    EXPECT_EQ(statuses, (std::vector<std::string>{"3/4)", "2/4)", "1/4)", "0/4)"}));
    const auto positions = host.CallsStartingWith("position ");
    EXPECT_EQ(std::vector<std::string>(positions.end() - 4, positions.end()),
              (std::vector<std::string>{"25", "50", "75", "100"}));
    EXPECT_EQ(host.CallsStartingWith("cancel? ").size(), 4u);
}

TEST_F(NamePassTest, CancelStopsBeforeTheNextItem) {
    Define("a>b");
    WriteFile(dir / "a1", "");
    WriteFile(dir / "a2", "");
    host.targets = {dir / "a1", dir / "a2"};
    host.cancelWhen = [](int check) { return check == 1; };
    EXPECT_EQ(Run(), RunOutcome::Cancelled);
    EXPECT_EQ(PassLines(), (std::vector<std::string>{Sjis("[a2]：1個の文字列を置換"), "[a]>[b]"}));
    EXPECT_TRUE(Exists("a1"));
    EXPECT_TRUE(Exists("b2"));
}

}  // namespace
}  // namespace kavex
