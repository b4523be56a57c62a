#include "JournalFixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "platform/FileSystem.h"

namespace kavex::test {

FileState StateOf(const std::string& path) {
    FileState state;
    state.content = ReadFile(path);
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    state.inode = status.st_ino;
    state.links = status.st_nlink;
    state.mode = status.st_mode;
    char value[256];
    const ssize_t length = ::getxattr(path.c_str(), "user.kavex", value, sizeof value);
    if (length > 0) state.xattr.assign(value, static_cast<std::size_t>(length));
    return state;
}

bool SupportsUserXattrs(const std::string& folder) {
    const std::string probe = folder + "/xattr-probe";
    WriteFile(probe, "");
    const bool supported = ::setxattr(probe.c_str(), "user.kavex", "1", 1, 0) == 0;
    ::unlink(probe.c_str());
    return supported;
}

void SetXattr(const std::string& path, const std::string& value) {
    ASSERT_EQ(::setxattr(path.c_str(), "user.kavex", value.data(), value.size(), 0), 0) << path;
}

void JournalFixture::SetUp() {
    m_savedCodePage = platform::ProcessCodePage();
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    host.settings.m_sPath = dir / "definitions.txt";
    host.settings.m_nES2 = 2;  // data only
    journal.folder = dir / "state/kavex/journal";
    journal.policy = JournalPolicy::NoSync;
}

void JournalFixture::TearDown() { platform::SetProcessCodePage(m_savedCodePage); }

std::vector<std::string> JournalFixture::JournalNames() const {
    std::vector<std::string> names;
    if (const auto listing = platform::ListDirectory(journal.folder)) {
        for (const auto& entry : *listing) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace kavex::test
