// The write journal that makes rewriting in place crash-safe. Before a file is overwritten, its old
// bytes and its identity (path, device, inode, mode, read-only state) go to an entry in the user's
// journal folder, complete on disk before the file is touched; once the file is whole again (all
// written, cut, closed, read-only attribute back) the entry is removed. An entry found later was
// left by a run that was killed or lost power: RecoverJournal writes its old bytes back, but only
// into the very file it was taken from (same device and inode).
//
//   kavex::RecoverJournalAtStart(host);  // at a front end's start: recover, then tell the user
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RunHost.h"
#include "engine/SystemTexts.h"

namespace kavex {

enum class JournalPolicy {
    Durable,  // entries and rewritten files are synced to the disk: a power failure loses nothing
    NoSync,   // no syncs: a killed process loses nothing, a power failure may
    Off,      // no entries at all: only for measuring what the journal costs
};

// Called before every change to a target file or to the journal; tests end the process there.
using WriteStepHook = std::function<void()>;

struct JournalSettings {
    std::string
        folder;  // where the entries live; empty when none could be found (journaling fails)
    JournalPolicy policy = JournalPolicy::NoSync;
    WriteStepHook beforeEachWrite;  // tests only
};

// The folder $XDG_STATE_HOME/kavex/journal, else ~/.local/state/kavex/journal; the policy from
// KAVEX_JOURNAL: "sync" (Durable), "nosync" (NoSync) or "off"; unset or anything else: the default.
[[nodiscard]] JournalSettings JournalSettingsFromEnvironment();

// What makes a file the same file, and its mode as it was before the pass changed anything.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t mode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // the last change of the contents, in ns since the epoch

    // No write permission bit at all.
    [[nodiscard]] bool ReadOnly() const { return (mode & 0222) == 0; }
};

// The identity of an open file; false when it cannot be examined.
[[nodiscard]] bool IdentityOf(int fd, FileIdentity& identity);
// Whether the path (through symbolic links) names the file of that identity.
[[nodiscard]] bool NamesFile(const std::string& path, const FileIdentity& identity);

// One entry on disk, held locked while its run is alive so that a recovery started meanwhile
// leaves it alone. Dropping it without Remove() leaves the entry for the next start.
class JournalEntry {
public:
    JournalEntry() = default;
    JournalEntry(std::string path, int fd, const WriteStepHook* hook);
    JournalEntry(JournalEntry&& other) noexcept;
    JournalEntry& operator=(JournalEntry&& other) noexcept;
    JournalEntry(const JournalEntry&) = delete;
    JournalEntry& operator=(const JournalEntry&) = delete;
    ~JournalEntry();

    // The entry's path; empty when nothing was journaled (policy Off).
    [[nodiscard]] const std::string& Path() const { return m_sPath; }
    // The file is whole again: the entry goes.
    void Remove();

private:
    std::string m_sPath;
    int m_nFd = -1;
    const WriteStepHook* m_pHook = nullptr;
};

struct JournalWrite {
    JournalEntry entry;
    int error = 0;  // 0, or the errno that kept the entry from being written
};

// Writes entries into one folder. Not thread-safe; one per pass.
class Journal {
public:
    explicit Journal(const JournalSettings& settings);
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    ~Journal();

    [[nodiscard]] JournalPolicy Policy() const { return m_settings.policy; }
    [[nodiscard]] const WriteStepHook& Hook() const { return m_settings.beforeEachWrite; }

    // Records the file's present bytes and identity. With policy Durable the entry and its folder
    // are synced before this returns. `newSize` is the length the file is about to get.
    [[nodiscard]] JournalWrite Record(const std::string& path, const FileIdentity& identity,
                                      std::string_view oldBytes, std::int64_t newSize);

private:
    [[nodiscard]] int OpenFolder();

    const JournalSettings m_settings;
    int m_nFolderFd = -1;
};

enum class KeptReason {
    Damaged,       // the entry cannot be read or is torn (left by a power failure without syncs)
    FileReplaced,  // the path is gone or names another file now
    FileChanged,   // the file has a length no interrupted rewrite could have left
    FileBusy,      // another program holds the file open
    WriteFailed,   // putting the old bytes back failed
};

struct KeptJournalEntry {
    std::string entryPath;
    std::string filePath;  // empty when the entry is damaged
    KeptReason reason = KeptReason::Damaged;
    int error = 0;
};

struct JournalRecoveryReport {
    std::vector<std::string> restored;   // files that have their old bytes again
    std::vector<KeptJournalEntry> kept;  // entries left in place, each with its reason

    [[nodiscard]] bool Empty() const { return restored.empty() && kept.empty(); }
};

// Applies every entry that no running process holds, newest first, and removes what is applied.
// Torn temporaries (a crash while an entry was written, before its file was touched) are removed.
[[nodiscard]] JournalRecoveryReport RecoverJournal(const JournalSettings& settings);

// The text front ends show for a report (code-page bytes, CR LF line breaks); empty when the
// report is.
[[nodiscard]] std::string RecoveryMessage(const JournalRecoveryReport& report,
                                          const SystemTexts& texts);

// What both front ends do when they start, before anything else can touch a file: recover the
// journal and, when there was anything to recover, tell the user in a message box of the host.
JournalRecoveryReport RecoverJournalAtStart(
    RunHost& host, const JournalSettings& settings = JournalSettingsFromEnvironment());

}  // namespace kavex
