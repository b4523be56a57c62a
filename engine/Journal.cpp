#include "engine/Journal.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

namespace kavex {
namespace {

// An entry: the fixed header, the path, the old bytes, then a checksum of everything before it.
// Integers are little-endian.
constexpr std::string_view kMagic = "KAVEXJNL";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kChecksumSize = 8;
// Writes go in pieces of this size, so the journal and the file grow by the same steps.
constexpr std::size_t kWriteChunk = 65536;

constexpr std::string_view kEntryPrefix = "entry-";
constexpr std::string_view kTemporaryPrefix = "tmp-";

void RunHook(const WriteStepHook* hook) {
    if (hook != nullptr && *hook) (*hook)();
}

void PutInteger(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t GetInteger(std::string_view in, std::size_t offset, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(in[offset + static_cast<std::size_t>(i)])}
                 << (8 * i);
    }
    return value;
}

// A fast non-cryptographic checksum (four independent multiply-rotate lanes), enough to tell an
// entry torn by a power failure from a whole one.
std::uint64_t Checksum(std::string_view bytes, std::uint64_t seed) {
    constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
    constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
    const auto round = [](std::uint64_t lane, std::uint64_t word) {
        lane += word * kPrime2;
        lane = (lane << 31) | (lane >> 33);
        return lane * kPrime1;
    };
    std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
    std::size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + i + lane * 8, 8);
            lanes[lane] = round(lanes[lane], word);
        }
    }
    std::uint64_t hash = bytes.size();
    for (const std::uint64_t lane : lanes) hash = round(hash ^ lane, lane) + kPrime1;
    for (; i < bytes.size(); ++i) hash = round(hash, static_cast<unsigned char>(bytes[i]));
    hash ^= hash >> 29;
    hash *= kPrime2;
    return hash ^ (hash >> 32);
}

std::uint64_t EntryChecksum(std::string_view headerAndPath, std::string_view oldBytes) {
    return Checksum(oldBytes, Checksum(headerAndPath, 0));
}

std::int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

// Writes all bytes at the descriptor's offset in pieces, calling the hook before each; 0 or errno.
int WritePieces(int fd, std::string_view bytes, const WriteStepHook* hook) {
    for (std::size_t done = 0; done < bytes.size();) {
        RunHook(hook);
        const std::size_t piece = std::min(kWriteChunk, bytes.size() - done);
        const ssize_t count = ::write(fd, bytes.data() + done, piece);
        if (count < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(count);
    }
    return 0;
}

// Makes the folder and the missing ones above it, private to the user.
int MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// The path as the recovery will need it, from whatever folder it starts in.
std::string AbsolutePath(const std::string& path) {
    if (path.starts_with('/')) return path;
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder + "/" + path;
}

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return {};
}

struct EntryRecord {
    std::int64_t createdNs = 0;
    std::string path;
    FileIdentity identity;
    std::int64_t newSize = 0;
    std::string oldBytes;
};

std::string EncodeHeader(const std::string& path, const FileIdentity& identity,
                         std::int64_t oldSize, std::int64_t newSize) {
    std::string header(kMagic);
    PutInteger(header, kVersion, 4);
    PutInteger(header, 0, 4);  // reserved
    PutInteger(header, static_cast<std::uint64_t>(NowNs()), 8);
    PutInteger(header, identity.device, 8);
    PutInteger(header, identity.inode, 8);
    PutInteger(header, identity.mode, 4);
    PutInteger(header, 0, 4);  // reserved
    PutInteger(header, static_cast<std::uint64_t>(identity.modifiedNs), 8);
    PutInteger(header, static_cast<std::uint64_t>(oldSize), 8);
    PutInteger(header, static_cast<std::uint64_t>(newSize), 8);
    PutInteger(header, path.size(), 8);
    header.append(path);
    return header;
}

// False for anything but a whole entry of this version.
bool DecodeEntry(std::string_view bytes, EntryRecord& record) {
    if (bytes.size() < kHeaderSize + kChecksumSize) return false;
    if (bytes.substr(0, kMagic.size()) != kMagic) return false;
    if (GetInteger(bytes, 8, 4) != kVersion) return false;
    const std::uint64_t oldSize = GetInteger(bytes, 56, 8);
    const std::uint64_t newSize = GetInteger(bytes, 64, 8);
    const std::uint64_t pathSize = GetInteger(bytes, 72, 8);
    const std::uint64_t room = bytes.size() - kHeaderSize - kChecksumSize;
    if (pathSize > room || oldSize != room - pathSize) return false;
    const std::string_view headerAndPath = bytes.substr(0, kHeaderSize + pathSize);
    const std::string_view oldBytes = bytes.substr(kHeaderSize + pathSize, oldSize);
    if (GetInteger(bytes, bytes.size() - kChecksumSize, 8) !=
        EntryChecksum(headerAndPath, oldBytes)) {
        return false;
    }
    record.createdNs = static_cast<std::int64_t>(GetInteger(bytes, 16, 8));
    record.identity.device = GetInteger(bytes, 24, 8);
    record.identity.inode = GetInteger(bytes, 32, 8);
    record.identity.mode = static_cast<std::uint32_t>(GetInteger(bytes, 40, 4));
    record.identity.modifiedNs = static_cast<std::int64_t>(GetInteger(bytes, 48, 8));
    record.identity.size = static_cast<std::int64_t>(oldSize);
    record.newSize = static_cast<std::int64_t>(newSize);
    record.path.assign(headerAndPath.substr(kHeaderSize));
    record.oldBytes.assign(oldBytes);
    return true;
}

// Opens and locks an entry or a temporary; -1 when it cannot be, or a live process holds it.
int OpenLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ReadAll(int fd, std::string& bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return false;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

struct FoundEntry {
    std::string entryPath;
    int fd = -1;
    EntryRecord record;
};

bool SameFile(const FileIdentity& recorded, const struct stat& status) {
    return recorded.device == static_cast<std::uint64_t>(status.st_dev) &&
           recorded.inode == static_cast<std::uint64_t>(status.st_ino);
}

// Writes the old bytes back into the file the entry was taken from; a kept entry when it cannot.
std::optional<KeptJournalEntry> Apply(const FoundEntry& found, bool durable,
                                      const WriteStepHook* hook) {
    const EntryRecord& record = found.record;
    const auto keep = [&](KeptReason reason, int error) {
        return KeptJournalEntry{found.entryPath, record.path, reason, error};
    };
    struct stat status {};
    if (::stat(record.path.c_str(), &status) != 0) return keep(KeptReason::FileReplaced, errno);
    if (!SameFile(record.identity, status)) return keep(KeptReason::FileReplaced, 0);
    // An interrupted rewrite only ever leaves a length between the old and the new one.
    const std::int64_t oldSize = record.identity.size;
    if (status.st_size < std::min(oldSize, record.newSize) ||
        status.st_size > std::max(oldSize, record.newSize)) {
        return keep(KeptReason::FileChanged, 0);
    }

    const mode_t foundMode = status.st_mode & 07777;
    if ((foundMode & 0222) == 0) {
        RunHook(hook);
        (void)platform::SetReadOnly(record.path, false);
    }
    platform::File file = platform::File::Open(record.path, platform::File::Mode::ReadWrite);
    if (!file.IsOpen()) {
        const int error = file.Error();
        if ((foundMode & 0222) == 0) (void)::chmod(record.path.c_str(), foundMode);
        return keep(error == EBUSY ? KeptReason::FileBusy : KeptReason::WriteFailed, error);
    }
    if (::fstat(file.Descriptor(), &status) != 0 || !SameFile(record.identity, status)) {
        return keep(KeptReason::FileReplaced, 0);
    }
    for (std::size_t done = 0; done < record.oldBytes.size(); done += kWriteChunk) {
        RunHook(hook);
        const std::string_view piece = std::string_view(record.oldBytes).substr(done, kWriteChunk);
        if (!file.WriteAt(static_cast<std::int64_t>(done), piece)) {
            return keep(KeptReason::WriteFailed, file.Error());
        }
    }
    RunHook(hook);
    // Synced as the run would have been: only then may the entry go.
    if (!file.Truncate(oldSize) || (durable && !file.Sync())) {
        return keep(KeptReason::WriteFailed, file.Error());
    }
    RunHook(hook);
    if (::fchmod(file.Descriptor(), static_cast<mode_t>(record.identity.mode & 07777)) != 0) {
        return keep(KeptReason::WriteFailed, errno);
    }
    RunHook(hook);
    if (!file.Close()) return keep(KeptReason::WriteFailed, file.Error());
    return std::nullopt;
}

const std::string& KeptReasonText(KeptReason reason, const SystemTexts& texts) {
    switch (reason) {
        case KeptReason::Damaged:
            return texts.keptDamaged;
        case KeptReason::FileReplaced:
            return texts.keptFileReplaced;
        case KeptReason::FileChanged:
            return texts.keptFileChanged;
        case KeptReason::FileBusy:
            return texts.keptFileBusy;
        case KeptReason::WriteFailed:
            break;
    }
    return texts.keptWriteFailed;
}

}  // namespace

JournalSettings JournalSettingsFromEnvironment() {
    JournalSettings settings;
    std::string state = EnvironmentValue("XDG_STATE_HOME");
    // Relative values are to be ignored, as the base-directory rules say.
    if (state.empty() || state.front() != '/') {
        const std::string home = HomeFolder();
        state = home.empty() ? std::string() : home + "/.local/state";
    }
    if (!state.empty()) settings.folder = state + "/kavex/journal";
    const std::string policy = EnvironmentValue("KAVEX_JOURNAL");
    if (policy == "sync") settings.policy = JournalPolicy::Durable;
    if (policy == "nosync") settings.policy = JournalPolicy::NoSync;
    if (policy == "off") settings.policy = JournalPolicy::Off;
    return settings;
}

bool IdentityOf(int fd, FileIdentity& identity) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return false;
    identity.device = static_cast<std::uint64_t>(status.st_dev);
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
    identity.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
    identity.size = static_cast<std::int64_t>(status.st_size);
    identity.modifiedNs =
        std::int64_t{status.st_mtim.tv_sec} * 1000000000 + std::int64_t{status.st_mtim.tv_nsec};
    return true;
}

bool NamesFile(const std::string& path, const FileIdentity& identity) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && SameFile(identity, status);
}

JournalEntry::JournalEntry(std::string path, int fd, const WriteStepHook* hook)
    : m_sPath(std::move(path)), m_nFd(fd), m_pHook(hook) {}

JournalEntry::JournalEntry(JournalEntry&& other) noexcept
    : m_sPath(std::move(other.m_sPath)),
      m_nFd(std::exchange(other.m_nFd, -1)),
      m_pHook(other.m_pHook) {
    other.m_sPath.clear();
}

JournalEntry& JournalEntry::operator=(JournalEntry&& other) noexcept {
    if (this != &other) {
        if (m_nFd >= 0) ::close(m_nFd);
        m_sPath = std::move(other.m_sPath);
        other.m_sPath.clear();
        m_nFd = std::exchange(other.m_nFd, -1);
        m_pHook = other.m_pHook;
    }
    return *this;
}

JournalEntry::~JournalEntry() {
    if (m_nFd >= 0) ::close(m_nFd);
}

void JournalEntry::Remove() {
    if (m_sPath.empty()) return;
    RunHook(m_pHook);
    // Unlinked while still locked, so a recovery starting now never sees it unlocked.
    (void)::unlink(m_sPath.c_str());
    m_sPath.clear();
    if (m_nFd >= 0) ::close(std::exchange(m_nFd, -1));
}

Journal::Journal(const JournalSettings& settings) : m_settings(settings) {}

Journal::~Journal() {
    if (m_nFolderFd >= 0) ::close(m_nFolderFd);
}

int Journal::OpenFolder() {
    if (m_nFolderFd >= 0) return 0;
    if (m_settings.folder.empty()) return ENOENT;
    if (const int error = MakeFolders(m_settings.folder); error != 0) return error;
    m_nFolderFd = ::open(m_settings.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_nFolderFd >= 0 ? 0 : errno;
}

JournalWrite Journal::Record(const std::string& path, const FileIdentity& identity,
                             std::string_view oldBytes, std::int64_t newSize) {
    JournalWrite result;
    if (m_settings.policy == JournalPolicy::Off) return result;
    const WriteStepHook* hook = &m_settings.beforeEachWrite;
    if ((result.error = OpenFolder()) != 0) return result;

    RunHook(hook);
    std::string temporary = m_settings.folder + "/" + std::string(kTemporaryPrefix) + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        ::close(fd);
        result.error = error;
        return std::move(result);
    };
    // Locked from the start: a recovery in another process removes only unlocked temporaries.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);

    const std::string absolutePath = AbsolutePath(path);
    if (absolutePath.empty()) return fail(errno);
    const std::string header =
        EncodeHeader(absolutePath, identity, static_cast<std::int64_t>(oldBytes.size()), newSize);
    std::string checksum;
    PutInteger(checksum, EntryChecksum(header, oldBytes), 8);
    if (const int error = WritePieces(fd, header, hook); error != 0) return fail(error);
    if (const int error = WritePieces(fd, oldBytes, hook); error != 0) return fail(error);
    if (const int error = WritePieces(fd, checksum, hook); error != 0) return fail(error);
    const bool durable = m_settings.policy == JournalPolicy::Durable;
    if (durable && ::fsync(fd) != 0) return fail(errno);

    // The entry's name follows its temporary's unique part; it never replaces another entry.
    const std::string entryPath = m_settings.folder + "/" + std::string(kEntryPrefix) +
                                  temporary.substr(temporary.size() - 6);
    RunHook(hook);
    if (const int error = platform::RenameNoReplace(temporary, entryPath); error != 0) {
        return fail(error);
    }
    if (durable && ::fsync(m_nFolderFd) != 0) {
        const int error = errno;
        ::unlink(entryPath.c_str());
        ::close(fd);
        result.error = error;
        return result;
    }
    result.entry = JournalEntry(entryPath, fd, hook);
    return result;
}

JournalRecoveryReport RecoverJournal(const JournalSettings& settings) {
    JournalRecoveryReport report;
    if (settings.folder.empty()) return report;
    const auto listing = platform::ListDirectory(settings.folder);
    if (!listing) return report;
    const WriteStepHook* hook = &settings.beforeEachWrite;

    std::vector<FoundEntry> found;
    for (const platform::DirectoryEntry& item : *listing) {
        const std::string itemPath = settings.folder + "/" + item.name;
        const bool temporary = item.name.starts_with(kTemporaryPrefix);
        if (!temporary && !item.name.starts_with(kEntryPrefix)) continue;
        const int fd = OpenLocked(itemPath);
        if (fd < 0) continue;  // a live run's, or gone meanwhile
        if (temporary) {
            // A crash while the entry was being written: its file was not touched yet.
            RunHook(hook);
            ::unlink(itemPath.c_str());
            ::close(fd);
            continue;
        }
        FoundEntry entry{itemPath, fd, {}};
        std::string bytes;
        if (!ReadAll(fd, bytes) || !DecodeEntry(bytes, entry.record)) {
            report.kept.push_back({itemPath, {}, KeptReason::Damaged, 0});
            ::close(fd);
            continue;
        }
        found.push_back(std::move(entry));
    }
    // Newest first: a file journaled twice gets the bytes of the older entry last.
    std::sort(found.begin(), found.end(), [](const FoundEntry& a, const FoundEntry& b) {
        if (a.record.createdNs != b.record.createdNs) {
            return a.record.createdNs > b.record.createdNs;
        }
        return a.entryPath > b.entryPath;
    });
    for (FoundEntry& entry : found) {
        if (std::optional<KeptJournalEntry> kept =
                Apply(entry, settings.policy == JournalPolicy::Durable, hook)) {
            report.kept.push_back(std::move(*kept));
        } else {
            report.restored.push_back(entry.record.path);
            RunHook(hook);
            ::unlink(entry.entryPath.c_str());
        }
        ::close(entry.fd);
    }
    return report;
}

std::string RecoveryMessage(const JournalRecoveryReport& report, const SystemTexts& texts) {
    std::string message;
    if (!report.restored.empty()) {
        message += texts.recoveryRestored;
        for (const std::string& path : report.restored) message.append(kLineBreak).append(path);
    }
    if (!report.kept.empty()) {
        if (!message.empty()) message.append(kLineBreak).append(kLineBreak);
        message += texts.recoveryKept;
        for (const KeptJournalEntry& kept : report.kept) {
            message.append(kLineBreak);
            if (!kept.filePath.empty()) message.append(kept.filePath).append(kLineBreak);
            message.append(texts.recoveryEntry).append(kept.entryPath).append(kLineBreak);
            message.append(texts.recoveryReason).append(KeptReasonText(kept.reason, texts));
            if (kept.error != 0) message.append(" (").append(std::strerror(kept.error)).append(")");
        }
    }
    return message;
}

JournalRecoveryReport RecoverJournalAtStart(RunHost& host, const JournalSettings& settings) {
    JournalRecoveryReport report = RecoverJournal(settings);
    if (!report.Empty()) {
        const SystemTexts texts(platform::ProcessCodePage());
        host.ShowMessageBox(RecoveryMessage(report, texts), texts.captionRecovery);
    }
    return report;
}

}  // namespace kavex
