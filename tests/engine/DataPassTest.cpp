// The data pass: log lines, progress, read-only files, filters, cancel, and never a lost byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "EngineFixture.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

using test::FileSizeLimit;
using test::ForeignLock;
using test::ReadFile;
using test::Sjis;
using test::WriteFile;

class DataPassTest : public test::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        host.settings.m_nES2 = 2;  // data only
        Define("foo>baz");
    }
    // The log lines after the start, total, depth and data header lines.
    std::vector<std::string> PassLines() const {
        auto lines = host.LogLines();
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(4, lines.size()));
        return lines;
    }
};

TEST_F(DataPassTest, ReportsEachFileAndRewritesTheMatches) {
    WriteFile(dir / "a.txt", "foo bar foo");
    WriteFile(dir / "b.txt", "nothing here");
    host.targets = {dir / "a.txt", dir / "b.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(host.LogLines().at(3), Sjis("-----------結果：データの置換-----------"));
    EXPECT_EQ(PassLines(),
              (std::vector<std::string>{Sjis("[a.txt]：2個の文字列を置換"), "[foo]>[baz]",
                                        "[foo]>[baz]", Sjis("[b.txt]：該当文字列なし。")}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), "baz bar baz");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "nothing here");
}

TEST_F(DataPassTest, StatusAndPositionCountEachFileTwice) {
    WriteFile(dir / "a.txt", std::string(100, 'x'));
    host.targets = {dir / "a.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    const auto statuses = host.CallsStartingWith("status ");
    EXPECT_EQ(statuses.back(), Sjis("データの置換中　File:0/1 Size:100/200B"));
    const auto positions = host.CallsStartingWith("position ");
    EXPECT_EQ(std::vector<std::string>(positions.end() - 2, positions.end()),
              (std::vector<std::string>{"50", "100"}));
    EXPECT_EQ(host.CallsStartingWith("cancel? ").size(), 1u);  // one chunk, one check
}

TEST_F(DataPassTest, ReadOnlyAttributeIsKeptAndUnmatchedFilesAreNotTouched) {
    const struct {
        const char* name;
        std::string content;
        bool readOnly;
        std::string after;
    } cases[] = {
        {"ro-match.txt", "a foo", true, "a baz"},
        {"rw-match.txt", "a foo", false, "a baz"},
        {"ro-none.txt", "a bar", true, "a bar"},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.content);
        if (c.readOnly) {
            ASSERT_TRUE(platform::SetReadOnly(dir / c.name, true));
        }
        host.targets.push_back(dir / c.name);
    }
    struct stat before {};
    ASSERT_EQ(::stat((dir / "ro-none.txt").c_str(), &before), 0);
    EXPECT_EQ(Run(), RunOutcome::Completed);
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFile(dir / c.name), c.after) << c.name;
        EXPECT_EQ(platform::IsReadOnly(dir / c.name), c.readOnly) << c.name;
    }
    struct stat after {};
    ASSERT_EQ(::stat((dir / "ro-none.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);  // not even its mode was changed
}

TEST_F(DataPassTest, SelectionByKindAndExtension) {
    for (const char* name : {"a.txt", "a.TXT", "noext", "a.exe", "a.c"})
        WriteFile(dir / name, "foo");
    test::MakeFolder(dir / "folder.txt");
    const struct {
        std::int32_t kind, mode;
        std::string include, exclude;
        std::string changed;  // the names rewritten, in list order
    } cases[] = {
        {0, 0, "", "", "a.TXT a.c a.exe a.txt noext"},
        {1, 0, "", "", "a.TXT a.c a.exe a.txt noext"},
        {2, 0, "", "", ""},
        {0, 1, "txt,", "", "a.txt"},
        {0, 2, "", "exe,dll", "a.TXT a.c a.txt noext"},
    };
    for (const auto& c : cases) {
        for (const char* name : {"a.txt", "a.TXT", "noext", "a.exe", "a.c"})
            WriteFile(dir / name, "foo");
        host.settings.m_nES1 = c.kind;
        host.settings.m_nES3 = c.mode;
        host.settings.m_sES2 = c.include;
        host.settings.m_sES3 = c.exclude;
        host.targets = {dir / "a.TXT", dir / "a.c",        dir / "a.exe",
                        dir / "a.txt", dir / "folder.txt", dir / "noext"};
        host.calls.clear();
        EXPECT_EQ(Run(), RunOutcome::Completed);
        std::string changed;
        for (const char* name : {"a.TXT", "a.c", "a.exe", "a.txt", "noext"}) {
            if (ReadFile(dir / name) == "baz")
                changed += (changed.empty() ? "" : " ") + std::string(name);
        }
        EXPECT_EQ(changed, c.changed) << c.kind << "/" << c.mode;
        // Every target gets its status line, the folder too.
        EXPECT_EQ(host.CallsStartingWith("status " + Sjis("データの置換中　File:4/6")).size(), 1u);
    }
}

TEST_F(DataPassTest, EmptyFileHasNoChunkAndNoCancelCheck) {
    WriteFile(dir / "empty.txt", "");
    host.targets = {dir / "empty.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(PassLines(), (std::vector<std::string>{Sjis("[empty.txt]：該当文字列なし。")}));
    EXPECT_TRUE(host.CallsStartingWith("cancel? ").empty());
}

TEST_F(DataPassTest, FileInUseGetsTheReadOpenLine) {
    WriteFile(dir / "busy.txt", "foo");
    WriteFile(dir / "free.txt", "foo");
    host.targets = {dir / "busy.txt", dir / "free.txt"};
    ForeignLock lock(dir / "busy.txt");
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(PassLines(),
              (std::vector<std::string>{Sjis("[busy.txt]：オープン(読み込み時)に失敗"),
                                        Sjis("[free.txt]：1個の文字列を置換"), "[foo]>[baz]"}));
    EXPECT_EQ(ReadFile(dir / "busy.txt"), "foo");
}

TEST_F(DataPassTest, FileGoneBeforeTheWriteGetsTheWriteOpenLineAndIsNotRecreated) {
    WriteFile(dir / "a.txt", "foo");
    host.targets = {dir / "a.txt"};
    // While the file is being read, another program moves it away: the write open then fails.
    host.cancelWhen = [this](int) {
        EXPECT_EQ(::rename((dir / "a.txt").c_str(), (dir / "moved.txt").c_str()), 0);
        return false;
    };
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(PassLines(), (std::vector<std::string>{Sjis("[a.txt]：オープン(書き込み時)に失敗"),
                                                     "[foo]>[baz]"}));
    EXPECT_FALSE(platform::EntryExists(dir / "a.txt"));
    EXPECT_EQ(ReadFile(dir / "moved.txt"), "foo");
}

TEST_F(DataPassTest, BytesAfterTheFirstNulAreKeptBehindTheNewContent) {
    const std::string content("foo\0foo tail", 12);
    WriteFile(dir / "nul.bin", content);
    host.targets = {dir / "nul.bin"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(ReadFile(dir / "nul.bin"), std::string("baz\0foo tail", 12));
}

TEST_F(DataPassTest, ShorterContentCutsTheFileToItsNewLength) {
    Define("foo>");
    WriteFile(dir / "a.txt", "foo foo!");
    host.targets = {dir / "a.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(ReadFile(dir / "a.txt"), " !");
}

TEST_F(DataPassTest, RewriteKeepsTheInodeAndHardLinks) {
    WriteFile(dir / "a.txt", "foo");
    ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "link.txt").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat((dir / "a.txt").c_str(), &before), 0);
    host.targets = {dir / "a.txt"};
    EXPECT_EQ(Run(), RunOutcome::Completed);
    struct stat after {};
    ASSERT_EQ(::stat((dir / "a.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFile(dir / "link.txt"), "baz");
}

TEST_F(DataPassTest, CancelDuringAReadLeavesThatFileAndStopsTheRun) {
    host.settings.m_nES2 = 0;
    WriteFile(dir / "a.txt", "foo");
    WriteFile(dir / "b.txt", std::string(30000, 'x') + "foo");  // three chunks
    host.targets = {dir / "a.txt", dir / "b.txt"};
    host.cancelWhen = [](int check) { return check == 2; };  // a.txt, then b.txt's second chunk
    EXPECT_EQ(Run(), RunOutcome::Cancelled);
    EXPECT_EQ(ReadFile(dir / "a.txt"), "baz");
    EXPECT_EQ(ReadFile(dir / "b.txt"), std::string(30000, 'x') + "foo");
    EXPECT_EQ(PassLines(),
              (std::vector<std::string>{Sjis("[a.txt]：1個の文字列を置換"), "[foo]>[baz]"}));
    EXPECT_EQ(host.calls.back(), "close");
    EXPECT_EQ(host.calls[host.calls.size() - 2], "to-controls");
}

TEST_F(DataPassTest, WriteFailingHalfWayRestoresTheFileAndStopsTheRun) {
    Define("a>aa");
    const std::string old = std::string(3000, 'a') + std::string("\0rest", 5);
    WriteFile(dir / "a.txt", old);
    ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", true));
    WriteFile(dir / "b.txt", "a");
    host.targets = {dir / "a.txt", dir / "b.txt"};
    {
        FileSizeLimit limit(4096);  // the new 6005 bytes do not fit; the old 3005 do
        EXPECT_EQ(Run(), RunOutcome::StoppedOnFileError);
    }
    EXPECT_EQ(ReadFile(dir / "a.txt"), old);
    EXPECT_TRUE(platform::IsReadOnly(dir / "a.txt"));
    EXPECT_EQ(ReadFile(dir / "b.txt"), "a");
    // The log so far reaches the window, the progress closes, then the message is shown.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(dir / "a.txt"), std::string::npos);
    EXPECT_TRUE(host.messages[0].ends_with("|" + Sjis("エラー")));
    const std::vector<std::string> tail(host.calls.end() - 3, host.calls.end());
    EXPECT_EQ(tail[0], "to-controls");
    EXPECT_EQ(tail[1], "close");
    EXPECT_TRUE(tail[2].starts_with("message "));
    EXPECT_EQ(host.LogLines().size(), 4u);  // no line for the file that failed
}

}  // namespace
}  // namespace kavex
