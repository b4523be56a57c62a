#include "support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/CodePage.h"

namespace kavex::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavex-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_sPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Folders made read-only by a test still go: root ignores permission bits, others need them.
    for (auto it = std::filesystem::recursive_directory_iterator(m_sPath, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(
            it->path(), std::filesystem::perms::owner_all,
            std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow, ignored);
    }
    std::filesystem::remove_all(m_sPath, ignored);
}

std::string TempDir::operator/(std::string_view relative) const {
    return m_sPath + "/" + std::string(relative);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_oldHandler);
}

ForeignLock::ForeignLock(const std::string& path) : m_nFd(::open(path.c_str(), O_RDONLY)) {
    EXPECT_EQ(::flock(m_nFd, LOCK_EX), 0) << path;
}

ForeignLock::~ForeignLock() { ::close(m_nFd); }

std::string Sjis(std::string_view utf8) {
    return platform::FromUtf8(utf8, platform::CodePage::ShiftJis());
}

void RecordingHost::ExchangeFromControls() { calls.push_back("from-controls"); }
void RecordingHost::ExchangeToControls() { calls.push_back("to-controls"); }
void RecordingHost::AssignLog(std::string_view text) {
    log = std::string(text);
    calls.push_back("assign " + log);
}
void RecordingHost::AppendLog(std::string_view text) { log += text; }
void RecordingHost::ShowMessageBox(std::string_view text, std::string_view caption) {
    messages.push_back(std::string(text) + "|" + std::string(caption));
    calls.push_back("message " + messages.back());
}
void RecordingHost::OpenProgress() { calls.push_back("open"); }
void RecordingHost::SetProgressRange(std::int32_t low, std::int32_t high) {
    calls.push_back("range " + std::to_string(low) + " " + std::to_string(high));
}
std::int32_t RecordingHost::SetProgressPosition(std::int32_t position) {
    calls.push_back("position " + std::to_string(position));
    return std::exchange(m_nPosition, position);
}
void RecordingHost::SetProgressStatus(std::string_view text) {
    calls.push_back("status " + std::string(text));
}
bool RecordingHost::TakeCancelRequest() {
    const bool cancel = cancelWhen(m_nCancelChecks++);
    calls.push_back(std::string("cancel? ") + (cancel ? "1" : "0"));
    return cancel;
}
void RecordingHost::CloseProgress() { calls.push_back("close"); }

std::vector<std::string> RecordingHost::CallsStartingWith(std::string_view prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        if (call.starts_with(prefix)) found.push_back(call.substr(prefix.size()));
    }
    return found;
}

std::vector<std::string> RecordingHost::LogLines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = log.find("\r\n", start);
        lines.push_back(log.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

}  // namespace kavex::test
