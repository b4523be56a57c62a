// The journal's entries and their recovery: where they live, when they go, which are applied,
// which are kept and why, and a run that stops when a file cannot be journaled.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <utility>

#include "JournalFixture.h"
#include "engine/SystemTexts.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

using test::ReadFile;
using test::Sjis;
using test::WriteFile;

// Sets or unsets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_sName(name) {
        if (const char* saved = std::getenv(name)) m_saved = saved;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (m_saved) {
            ::setenv(m_sName.c_str(), m_saved->c_str(), 1);
        } else {
            ::unsetenv(m_sName.c_str());
        }
    }

private:
    std::string m_sName;
    std::optional<std::string> m_saved;
};

TEST(JournalSettingsTest, FolderAndPolicyComeFromTheEnvironment) {
    const struct {
        const char* stateHome;
        const char* policy;
        std::string folder;
        JournalPolicy expected;
    } cases[] = {
        {"/state", nullptr, "/state/kavex/journal", JournalPolicy::NoSync},
        {nullptr, "sync", "/home/u/.local/state/kavex/journal", JournalPolicy::Durable},
        {"", "nosync", "/home/u/.local/state/kavex/journal", JournalPolicy::NoSync},
        {"relative", "off", "/home/u/.local/state/kavex/journal", JournalPolicy::Off},
        {"/s", "bogus", "/s/kavex/journal", JournalPolicy::NoSync},
    };
    const ScopedEnvironment home("HOME", "/home/u");
    for (const auto& c : cases) {
        const ScopedEnvironment state("XDG_STATE_HOME", c.stateHome);
        const ScopedEnvironment policy("KAVEX_JOURNAL", c.policy);
        const JournalSettings settings = JournalSettingsFromEnvironment();
        EXPECT_EQ(settings.folder, c.folder) << (c.stateHome ? c.stateHome : "(unset)");
        EXPECT_EQ(settings.policy, c.expected) << (c.policy ? c.policy : "(unset)");
    }
}

class JournalTest : public test::JournalFixture {
protected:
    // An entry for the file as it is now, as the data pass writes it before touching the file.
    JournalWrite Record(const std::string& path, std::int64_t newSize, Journal& writer) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_GE(fd, 0) << path;
        FileIdentity identity;
        EXPECT_TRUE(IdentityOf(fd, identity));
        ::close(fd);
        return writer.Record(path, identity, ReadFile(path), newSize);
    }
    // An entry left behind as by a process killed right after writing it.
    std::string LeftEntry(const std::string& path, std::int64_t newSize) {
        Journal writer(journal);
        JournalWrite written = Record(path, newSize, writer);
        EXPECT_EQ(written.error, 0);
        return written.entry.Path();
    }
};

TEST_F(JournalTest, FinishedRunsLeaveNoEntry) {
    Define("foo>baz");
    for (const JournalPolicy policy :
         {JournalPolicy::Durable, JournalPolicy::NoSync, JournalPolicy::Off}) {
        journal.policy = policy;
        WriteFile(dir / "a.txt", "foo");
        host.targets = {dir / "a.txt"};
        EXPECT_EQ(Run(), RunOutcome::Completed);
        EXPECT_EQ(ReadFile(dir / "a.txt"), "baz");
        EXPECT_TRUE(JournalNames().empty()) << static_cast<int>(policy);
    }
    // Only a run that journals makes the folder.
    EXPECT_TRUE(platform::EntryExists(journal.folder));
    journal.folder = dir / "unused";
    WriteFile(dir / "a.txt", "foo");
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_FALSE(platform::EntryExists(dir / "unused"));
}

TEST_F(JournalTest, EntryOfALiveRunIsLeftAloneAndAppliedOnceItsProcessIsGone) {
    const std::string old = "old content\n";
    WriteFile(dir / "a.txt", old);
    ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", true));
    const test::FileState before = test::StateOf(dir / "a.txt");
    std::string entryPath;
    {
        Journal writer(journal);
        JournalWrite written = Record(dir / "a.txt", 30, writer);
        ASSERT_EQ(written.error, 0);
        entryPath = written.entry.Path();
        // What a crash half-way through the rewrite leaves: a writable file with a torn content.
        ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", false));
        const int fd = ::open((dir / "a.txt").c_str(), O_WRONLY);
        ASSERT_EQ(::pwrite(fd, "NEW CONTENT NEW", 15, 0), 15);
        ::close(fd);

        // While its writer holds it, the entry belongs to a run in progress.
        const JournalRecoveryReport report = RecoverJournal(journal);
        EXPECT_TRUE(report.Empty());
        EXPECT_TRUE(platform::EntryExists(entryPath));
    }
    const JournalRecoveryReport report = RecoverJournal(journal);
    EXPECT_EQ(report.restored, std::vector<std::string>{dir / "a.txt"});
    EXPECT_TRUE(report.kept.empty());
    EXPECT_EQ(test::StateOf(dir / "a.txt"), before);
    EXPECT_TRUE(JournalNames().empty());
}

TEST_F(JournalTest, EntryWithARelativePathIsAppliedFromAnyFolder) {
    WriteFile(dir / "a.txt", "old");
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    (void)LeftEntry("./a.txt", 3);
    ASSERT_EQ(::chdir("/"), 0);
    WriteFile(dir / "a.txt", "new");
    const JournalRecoveryReport report = RecoverJournal(journal);
    ASSERT_EQ(::chdir(saved), 0);
    EXPECT_EQ(report.restored, std::vector<std::string>{dir.Path() + "/./a.txt"});
    EXPECT_EQ(ReadFile(dir / "a.txt"), "old");
}

TEST_F(JournalTest, EntryWhoseFileCannotBeTakenBackIsKeptAndTheFileLeftAlone) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> change;
        KeptReason reason;
    } cases[] = {
        {"replaced by another file",
         [](const std::string& path) {
             WriteFile(path + ".new", "another file");
             ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
         },
         KeptReason::FileReplaced},
        {"removed", [](const std::string& path) { ::unlink(path.c_str()); },
         KeptReason::FileReplaced},
        {"grown past both lengths",
         [](const std::string& path) { WriteFile(path, std::string(100, 'u')); },
         KeptReason::FileChanged},
        {"held open by another program", [](const std::string&) {}, KeptReason::FileBusy},
    };
    const SystemTexts texts(platform::ProcessCodePage());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / "a.txt";
        WriteFile(path, "old bytes");
        const std::string entryPath = LeftEntry(path, 20);
        c.change(path);
        const bool exists = platform::EntryExists(path);
        const std::optional<test::FileState> before =
            exists ? std::optional(test::StateOf(path)) : std::nullopt;
        std::optional<test::ForeignLock> lock;
        if (c.reason == KeptReason::FileBusy) lock.emplace(path);

        const JournalRecoveryReport report = RecoverJournal(journal);
        EXPECT_TRUE(report.restored.empty());
        ASSERT_EQ(report.kept.size(), 1u);
        EXPECT_EQ(report.kept[0].reason, c.reason);
        EXPECT_EQ(report.kept[0].entryPath, entryPath);
        EXPECT_EQ(report.kept[0].filePath, path);
        EXPECT_TRUE(platform::EntryExists(entryPath));
        if (before) {
            EXPECT_EQ(test::StateOf(path), *before);
        }
        // The user is told which file, where its old bytes are, and why.
        const std::string message = RecoveryMessage(report, texts);
        EXPECT_NE(message.find(path), std::string::npos);
        EXPECT_NE(message.find(entryPath), std::string::npos);
        ::unlink(entryPath.c_str());
    }
}

TEST_F(JournalTest, TornEntriesAreKeptAsDamagedAndTornTemporariesRemoved) {
    WriteFile(dir / "a.txt", "old bytes");
    const std::string entryPath = LeftEntry(dir / "a.txt", 9);
    const std::string whole = ReadFile(entryPath);
    const struct {
        const char* what;
        std::string entry;
    } cases[] = {
        {"cut short", whole.substr(0, whole.size() - 1)},
        {"a byte of the old bytes lost", whole.substr(0, 100) + '\0' + whole.substr(101)},
        {"zeros", std::string(whole.size(), '\0')},
        {"empty", ""},
    };
    WriteFile(dir / "a.txt", "new bytes");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(entryPath, c.entry);
        const JournalRecoveryReport report = RecoverJournal(journal);
        EXPECT_TRUE(report.restored.empty());
        ASSERT_EQ(report.kept.size(), 1u);
        EXPECT_EQ(report.kept[0].reason, KeptReason::Damaged);
        EXPECT_EQ(ReadFile(dir / "a.txt"), "new bytes");
    }
    ::unlink(entryPath.c_str());

    // A temporary is an entry that was not finished: its file was never touched.
    WriteFile(journal.folder + "/tmp-abcdef", whole.substr(0, 50));
    WriteFile(journal.folder + "/unrelated", "x");
    EXPECT_TRUE(RecoverJournal(journal).Empty());
    EXPECT_EQ(JournalNames(), std::vector<std::string>{"unrelated"});
    EXPECT_EQ(ReadFile(dir / "a.txt"), "new bytes");
}

TEST_F(JournalTest, RecoveryMessageListsRestoredFilesThenKeptEntries) {
    JournalRecoveryReport report;
    EXPECT_EQ(RecoveryMessage(report, SystemTexts(platform::ProcessCodePage())), "");
    report.restored = {"/w/a.txt", "/w/b.txt"};
    report.kept = {{"/j/entry-1", "/w/c.txt", KeptReason::FileReplaced, 0},
                   {"/j/entry-2", "", KeptReason::Damaged, 0},
                   {"/j/entry-3", "/w/d.txt", KeptReason::WriteFailed, ENOSPC}};
    EXPECT_EQ(
        RecoveryMessage(report, SystemTexts(platform::ProcessCodePage())),
        Sjis("前回の置換が途中で中断されていたため、次のファイルを元の内容に戻しました。\r\n"
             "/w/a.txt\r\n/w/b.txt\r\n\r\n"
             "次のファイルは元の内容に戻せませんでした。元の内容は記録ファイルに残してあります。"
             "\r\n/w/c.txt\r\n　記録ファイル：/j/entry-1\r\n"
             "　理由：ファイルが削除されたか、別のファイルに置き換えられています"
             "\r\n　記録ファイル：/j/entry-2\r\n　理由：記録ファイルが壊れています"
             "\r\n/w/d.txt\r\n　記録ファイル：/j/entry-3\r\n"
             "　理由：ファイルの書き込みに失敗しました (No space left on device)"));
}

TEST_F(JournalTest, AtStartTheHostShowsWhatWasRecoveredAndNothingWhenThereWasNothing) {
    EXPECT_TRUE(RecoverJournalAtStart(host, journal).Empty());
    EXPECT_TRUE(host.messages.empty());

    WriteFile(dir / "a.txt", "old");
    (void)LeftEntry(dir / "a.txt", 3);
    WriteFile(dir / "a.txt", "new");
    const JournalRecoveryReport report = RecoverJournalAtStart(host, journal);
    EXPECT_EQ(report.restored, std::vector<std::string>{dir / "a.txt"});
    EXPECT_EQ(ReadFile(dir / "a.txt"), "old");
    EXPECT_EQ(
        host.messages,
        std::vector<std::string>{
            Sjis("前回の置換が途中で中断されていたため、次のファイルを元の内容に戻しました。") +
            "\r\n" + dir / "a.txt" + "|" + Sjis("置換の復元")});
}

TEST_F(JournalTest, FileThatCannotBeJournaledStopsTheRunBeforeItIsTouched) {
    Define("foo>baz");
    const std::string big = "foo" + std::string(5000, '.');
    const struct {
        const char* what;
        std::string folder;  // relative to dir
        rlim_t sizeLimit;
    } cases[] = {
        // Root may write anywhere, but not below a plain file.
        {"folder cannot be made", "plain/kavex/journal", RLIM_INFINITY},
        // The entry (the old 5003 bytes and more) does not fit, the new content would.
        {"disk full", "state", 4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(dir / "plain", "");
        journal.folder = dir / c.folder;
        WriteFile(dir / "a.txt", big);
        ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", true));
        WriteFile(dir / "b.txt", "foo");
        const test::FileState before = test::StateOf(dir / "a.txt");
        struct stat statusBefore {};
        ASSERT_EQ(::stat((dir / "a.txt").c_str(), &statusBefore), 0);
        host.targets = {dir / "a.txt", dir / "b.txt"};
        host.messages.clear();
        host.log.clear();
        {
            test::FileSizeLimit limit(c.sizeLimit);
            EXPECT_EQ(Run(), RunOutcome::StoppedOnFileError);
        }
        EXPECT_EQ(test::StateOf(dir / "a.txt"), before);
        struct stat statusAfter {};
        ASSERT_EQ(::stat((dir / "a.txt").c_str(), &statusAfter), 0);
        EXPECT_EQ(statusAfter.st_ctim.tv_nsec, statusBefore.st_ctim.tv_nsec);  // not even chmod
        EXPECT_EQ(ReadFile(dir / "b.txt"), "foo");
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(host.messages[0].starts_with(
            Sjis("ファイルの元の内容を保存できないため、置換を中止しました。\r\n") + dir / "a.txt"))
            << host.messages[0];
        EXPECT_EQ(host.LogLines().size(), 4u);  // no line for the file
        EXPECT_TRUE(JournalNames().empty());    // no torn temporary left behind
        ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", false));
    }
}

TEST_F(JournalTest, FileChangedBetweenReadAndWriteIsNotOverwritten) {
    Define("foo>baz");
    WriteFile(dir / "a.txt", "foo 1");
    host.targets = {dir / "a.txt"};
    // After the pass has read the file (at its first write step, the journal entry), another
    // program that ignores our lock rewrites it.
    bool changed = false;
    journal.beforeEachWrite = [this, &changed] {
        if (std::exchange(changed, true)) return;
        const int fd = ::open((dir / "a.txt").c_str(), O_WRONLY | O_TRUNC);
        EXPECT_EQ(::write(fd, "foo 22", 6), 6);
        ::close(fd);
    };
    EXPECT_EQ(Run(), RunOutcome::Completed);
    EXPECT_EQ(ReadFile(dir / "a.txt"), "foo 22");
    EXPECT_EQ(host.LogLines().back(), "[foo]>[baz]");
    EXPECT_EQ(host.LogLines().at(4), Sjis("[a.txt]：オープン(書き込み時)に失敗"));
    EXPECT_TRUE(JournalNames().empty());
}

TEST_F(JournalTest, ReadOnlyFileReplacedBetweenReadAndWriteLeavesTheNewFileAsItIs) {
    Define("foo>baz");
    WriteFile(dir / "a.txt", "foo");
    ASSERT_TRUE(platform::SetReadOnly(dir / "a.txt", true));
    host.targets = {dir / "a.txt"};
    bool replaced = false;
    journal.beforeEachWrite = [this, &replaced] {
        if (std::exchange(replaced, true)) return;
        WriteFile(dir / "new.txt", "foo from an editor");
        ASSERT_EQ(::rename((dir / "new.txt").c_str(), (dir / "a.txt").c_str()), 0);
    };
    const test::FileState before = [this] {
        WriteFile(dir / "probe.txt", "foo from an editor");
        return test::StateOf(dir / "probe.txt");
    }();
    EXPECT_EQ(Run(), RunOutcome::Completed);
    const test::FileState after = test::StateOf(dir / "a.txt");
    EXPECT_EQ(after.content, before.content);
    EXPECT_EQ(after.mode, before.mode);  // still writable
    EXPECT_EQ(host.LogLines().at(4), Sjis("[a.txt]：オープン(書き込み時)に失敗"));
}

}  // namespace
}  // namespace kavex
