// Fault tests of the journaled rewrite: a write failing half-way, a process killed at every write
// step of a data pass (and then again while recovering), and what is kept when recovery cannot
// apply an entry. All hold for root: failures come from resource limits and SIGKILL, not from
// permission bits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "JournalFixture.h"
#include "platform/FileSystem.h"

// Each kill point forks this process, and a fork copies the page tables of everything the address
// sanitizer keeps in quarantine; a small one keeps the forks cheap. No effect without it.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

// Under the address sanitizer a fork costs about ten times as much, so the sanitized build kills at
// every third step only (which still catches each file between its entry and its end); the plain
// build kills at every step.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kKillStride = 3;
#else
constexpr int kKillStride = 1;
#endif

namespace kavex {
namespace {

using test::FileState;
using test::ReadFile;
using test::Sjis;
using test::WriteFile;

struct Target {
    std::string name;
    std::string content;
    bool readOnly = false;
    bool hardLinked = false;  // a second name "<name>.link" for the same file
    bool symlinked = false;   // the target is a symbolic link "<name>" to "<name>.real"
    bool xattr = false;       // carries user.kavex
};

// 'foo' grows by one byte, 'shrink' shrinks by five: both directions of a rewrite.
constexpr std::string_view kDefinitions = "foo>bazz\nshrink>s\n";

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text.append(piece);
    return text;
}

// About `length` bytes of dots with `match` at the start, in the middle and at the end.
std::string Sprinkled(std::string_view match, std::size_t length) {
    const std::string dots((length - 3 * match.size()) / 2, '.');
    return std::string(match) + dots + std::string(match) + dots + std::string(match);
}

class JournalCrashTest : public test::JournalFixture {
protected:
    void SetUp() override {
        JournalFixture::SetUp();
        Define(kDefinitions);
    }

    // Writes every target afresh and lists them; returns their states.
    std::map<std::string, FileState> MakeTargets(const std::vector<Target>& targets) {
        host.targets.clear();
        std::map<std::string, FileState> states;
        for (const Target& target : targets) {
            const std::string path = dir / target.name;
            for (const char* suffix : {"", ".link", ".real"}) ::unlink((path + suffix).c_str());
            const std::string file = target.symlinked ? path + ".real" : path;
            WriteFile(file, target.content);
            if (target.symlinked) {
                EXPECT_EQ(::symlink((target.name + ".real").c_str(), path.c_str()), 0);
            }
            if (target.hardLinked) {
                EXPECT_EQ(::link(file.c_str(), (path + ".link").c_str()), 0);
            }
            if (target.xattr) test::SetXattr(file, "kept through it all");
            if (target.readOnly) {
                EXPECT_TRUE(platform::SetReadOnly(file, true));
            }
            host.targets.push_back(path);
            states[path] = test::StateOf(path);
        }
        return states;
    }

    // Runs the data pass in a child process that is killed before its write step `killAt`; true
    // when it was killed, false when it ran to its end first.
    bool RunKilledAt(int killAt) {
        return InChildKilledAt(killAt, [this] { (void)Run(); });
    }
    bool RecoverKilledAt(int killAt) {
        return InChildKilledAt(killAt, [this] { (void)RecoverJournal(journal); });
    }

    // Puts the old content back into every file that got its new one, in place (so the states
    // taken by MakeTargets stay true), instead of making all files afresh for each crash.
    void ResetTargets(const std::map<std::string, FileState>& before) {
        for (const auto& [path, old] : before) {
            if (ReadFile(path) == old.content) continue;
            // Not through O_TRUNC: ext4 flushes a file cut to 0 on close, which is slow.
            ASSERT_EQ(::chmod(path.c_str(), old.mode | S_IWUSR), 0);
            const int fd = ::open(path.c_str(), O_WRONLY);
            ASSERT_GE(fd, 0) << path;
            EXPECT_EQ(::pwrite(fd, old.content.data(), old.content.size(), 0),
                      static_cast<ssize_t>(old.content.size()));
            EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(old.content.size())), 0);
            ::close(fd);
            ASSERT_EQ(::chmod(path.c_str(), old.mode), 0);
        }
    }

    // The new contents and the number of write steps of an uninterrupted run.
    std::map<std::string, std::string> RunToTheEnd(int& steps) {
        steps = 0;
        journal.beforeEachWrite = [&steps] { ++steps; };
        EXPECT_EQ(Run(), RunOutcome::Completed);
        journal.beforeEachWrite = nullptr;
        std::map<std::string, std::string> contents;
        for (const std::string& path : host.targets) contents[path] = ReadFile(path);
        EXPECT_TRUE(JournalNames().empty());
        return contents;
    }

    // After a crash and a recovery: every file has its old or its new content, and nothing else
    // about it changed; the journal is empty. Returns whether any file was torn before recovery.
    void ExpectOldOrNew(const std::map<std::string, FileState>& before,
                        const std::map<std::string, std::string>& after, int killAt) {
        for (const auto& [path, old] : before) {
            SCOPED_TRACE(path + " killed before write step " + std::to_string(killAt));
            FileState now = test::StateOf(path);
            EXPECT_TRUE(now.content == old.content || now.content == after.at(path));
            now.content = old.content;
            EXPECT_EQ(now, old);  // inode, link count, mode, extended attribute
            if (platform::EntryExists(path + ".link")) {
                EXPECT_EQ(ReadFile(path + ".link"), ReadFile(path));
            }
        }
        EXPECT_TRUE(JournalNames().empty()) << "killed before write step " << killAt;
    }

private:
    bool InChildKilledAt(int killAt, const std::function<void()>& work) {
        const pid_t child = ::fork();
        if (child == 0) {
            int step = 0;
            journal.beforeEachWrite = [&step, killAt] {
                if (step++ == killAt) ::raise(SIGKILL);
            };
            work();
            ::_exit(0);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
            return false;
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        return true;
    }
};

std::vector<Target> CrashTargets() {
    std::vector<Target> targets = {
        {"grow.txt", "foo bar foo\n"},
        {"shrink.txt", Repeat("shrink ", 40)},
        {"nul.bin", std::string("shrink foo\0shrink foo rest", 26)},  // the rest is kept as is
        {"readonly.txt", "read-only foo", true},
        {"linked.txt", "foo linked shrink", false, true},
        {"linked-readonly.txt", "shrink shrink", true, true},
        {"symlink.txt", "foo through a link", false, false, true},
        {"nomatch.txt", "nothing to replace"},
        // Several pieces each; few matches, so the time goes into writing.
        {"big-grow.bin", Sprinkled("foo", 70000)},
        {"big-shrink.bin", Sprinkled("shrink", 70000), true},
        {"big-nul.bin",
         Sprinkled("foo", 35000) + std::string(1, '\0') + Sprinkled("shrink", 35000)},
    };
    for (int i = 0; i < 12; ++i) {
        targets.push_back({"small" + std::to_string(i) + ".txt", Repeat("foo ", i + 1)});
    }
    return targets;
}

TEST_F(JournalCrashTest, KilledAtAnyWriteStepEveryFileIsOldOrNewAfterRecovery) {
    const std::vector<Target> targets = CrashTargets();
    (void)MakeTargets(targets);
    int steps = 0;
    const std::map<std::string, std::string> after = RunToTheEnd(steps);
    ASSERT_GE(steps, 200);
    EXPECT_EQ(after.at(dir / "nul.bin"), std::string("s bazz\0shrink foo rest", 22));

    std::set<std::string> everRestored;
    int torn = 0;
    const std::map<std::string, FileState> before = MakeTargets(targets);
    for (int killAt = 0; killAt < steps; killAt += kKillStride) {
        ResetTargets(before);
        ASSERT_TRUE(RunKilledAt(killAt)) << killAt;
        for (const auto& [path, old] : before) {
            const FileState now = test::StateOf(path);
            if (now != old && now.content != after.at(path)) ++torn;
        }
        const JournalRecoveryReport report = RecoverJournal(journal);
        EXPECT_TRUE(report.kept.empty()) << killAt;
        everRestored.insert(report.restored.begin(), report.restored.end());
        ExpectOldOrNew(before, after, killAt);
        if (HasFailure()) break;
    }
    // Every file that changes was caught in the middle at some point and put back.
    for (const Target& target : targets) {
        if (target.name == "nomatch.txt") continue;
        EXPECT_TRUE(everRestored.contains(dir / target.name)) << target.name;
    }
    EXPECT_GT(torn, 0);
    // The run after a kill past its last step completes.
    (void)MakeTargets(targets);
    EXPECT_FALSE(RunKilledAt(steps));
}

TEST_F(JournalCrashTest, KilledAgainWhileRecoveringTheNextRecoveryStillPutsTheFileBack) {
    const std::vector<Target> targets = {
        {"readonly.txt", Sprinkled("shrink", 70000), true, true},  // several pieces each way
        {"after.txt", "foo"},
    };
    (void)MakeTargets(targets);
    int steps = 0;
    const std::map<std::string, std::string> after = RunToTheEnd(steps);
    int recoveriesKilled = 0;
    const std::map<std::string, FileState> before = MakeTargets(targets);
    // Every other step of the run: each leaves an entry (or a temporary) in another state.
    for (int killAt = 0; killAt < steps; killAt += 2 * kKillStride) {
        for (int recoveryKilledAt = 0;; ++recoveryKilledAt) {
            ResetTargets(before);
            ASSERT_TRUE(RunKilledAt(killAt));
            if (!RecoverKilledAt(recoveryKilledAt)) break;
            ++recoveriesKilled;
            const JournalRecoveryReport report = RecoverJournal(journal);
            EXPECT_TRUE(report.kept.empty());
            ExpectOldOrNew(before, after, killAt);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(recoveriesKilled, 10);
}

TEST_F(JournalCrashTest, ExtendedAttributesSurviveACrash) {
    if (!test::SupportsUserXattrs(dir.Path())) {
        GTEST_SKIP() << "the file system of " << dir.Path() << " takes no user.* attributes";
    }
    const std::vector<Target> targets = {{"xattr.txt", "foo shrink", true, true, false, true}};
    (void)MakeTargets(targets);
    int steps = 0;
    const std::map<std::string, std::string> after = RunToTheEnd(steps);
    const std::map<std::string, FileState> before = MakeTargets(targets);
    ASSERT_EQ(before.begin()->second.xattr, "kept through it all");
    for (int killAt = 0; killAt < steps; ++killAt) {
        ResetTargets(before);
        ASSERT_TRUE(RunKilledAt(killAt));
        (void)RecoverJournal(journal);
        ExpectOldOrNew(before, after, killAt);
    }
}

TEST_F(JournalCrashTest, WriteFailingHalfWayRestoresTheFileStopsTheRunAndLeavesNoEntry) {
    Define("a>aa");
    const std::string old = Repeat("a", 70000) + std::string("\0rest", 5);  // two pieces
    const std::vector<Target> targets = {{"a.txt", old, true, true}, {"b.txt", "a"}};
    const std::map<std::string, FileState> before = MakeTargets(targets);
    {
        test::FileSizeLimit limit(100000);  // the entry (70005 old bytes) fits, 140005 do not
        EXPECT_EQ(Run(), RunOutcome::StoppedOnFileError);
    }
    EXPECT_EQ(test::StateOf(dir / "a.txt"), before.at(dir / "a.txt"));
    EXPECT_EQ(test::StateOf(dir / "b.txt"), before.at(dir / "b.txt"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].ends_with(Sjis("ファイルは元の内容に戻しました。|エラー")));
    EXPECT_TRUE(JournalNames().empty());
}

TEST_F(JournalCrashTest, FileThatCannotBePutBackKeepsItsEntryForTheNextStart) {
    const std::string old = Sprinkled("foo", 150000);  // three pieces
    const std::vector<Target> targets = {{"a.txt", old, true}, {"b.txt", "foo"}};
    const std::map<std::string, FileState> before = MakeTargets(targets);
    {
        // Once the file has been touched the disk is full: the rest of the new bytes and the old
        // ones fail alike.
        std::optional<test::FileSizeLimit> diskFull;
        journal.beforeEachWrite = [&] {
            if (!diskFull && ReadFile(dir / "a.txt") != old) diskFull.emplace(1);
        };
        EXPECT_EQ(Run(), RunOutcome::StoppedOnFileError);
        journal.beforeEachWrite = nullptr;
    }
    EXPECT_NE(ReadFile(dir / "a.txt"), old);
    EXPECT_EQ(test::StateOf(dir / "b.txt"), before.at(dir / "b.txt"));
    const std::vector<std::string> names = JournalNames();
    ASSERT_EQ(names.size(), 1u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(Sjis("ファイルを元の内容に戻せませんでした。")),
              std::string::npos);
    EXPECT_NE(host.messages[0].find(journal.folder + "/" + names[0]), std::string::npos);

    const JournalRecoveryReport report = RecoverJournal(journal);
    EXPECT_EQ(report.restored, std::vector<std::string>{dir / "a.txt"});
    EXPECT_EQ(test::StateOf(dir / "a.txt"), before.at(dir / "a.txt"));
    EXPECT_TRUE(JournalNames().empty());
}

TEST_F(JournalCrashTest, EntryForAFileReplacedSinceIsLeftAloneAndReported) {
    const std::vector<Target> targets = {{"a.txt", Sprinkled("foo", 150000)}};
    (void)MakeTargets(targets);
    int steps = 0;
    (void)RunToTheEnd(steps);
    // Killed in the middle of the file (before its third piece of new bytes; then come the cut,
    // the close and the removal of the entry): the entry is there and the file half-written.
    (void)MakeTargets(targets);
    ASSERT_TRUE(RunKilledAt(steps - 5));
    ASSERT_EQ(JournalNames().size(), 1u);
    // Since then an editor saved a new file under the name.
    WriteFile(dir / "new.txt", "saved by an editor");
    ASSERT_EQ(::rename((dir / "new.txt").c_str(), (dir / "a.txt").c_str()), 0);
    const FileState replaced = test::StateOf(dir / "a.txt");

    const JournalRecoveryReport report = RecoverJournal(journal);
    EXPECT_TRUE(report.restored.empty());
    ASSERT_EQ(report.kept.size(), 1u);
    EXPECT_EQ(report.kept[0].reason, KeptReason::FileReplaced);
    EXPECT_EQ(report.kept[0].filePath, dir / "a.txt");
    EXPECT_EQ(test::StateOf(dir / "a.txt"), replaced);
    EXPECT_EQ(JournalNames().size(), 1u);
    const std::string message = RecoveryMessage(report, SystemTexts(platform::ProcessCodePage()));
    EXPECT_NE(message.find(Sjis("ファイルが削除されたか、別のファイルに置き換えられています")),
              std::string::npos);
    EXPECT_NE(message.find(report.kept[0].entryPath), std::string::npos);
}

}  // namespace
}  // namespace kavex
