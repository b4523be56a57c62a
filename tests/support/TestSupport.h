// Shared test helpers: a temporary folder, file fixtures and a RunHost that records every call.
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RunHost.h"

namespace kavex::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::string& Path() const { return m_sPath; }
    // Path() + "/" + relative.
    [[nodiscard]] std::string operator/(std::string_view relative) const;

private:
    std::string m_sPath;
};

void WriteFile(const std::string& path, std::string_view bytes);
[[nodiscard]] std::string ReadFile(const std::string& path);
void MakeFolder(const std::string& path);

// Lowers this process's file-size limit while it lives; with SIGXFSZ ignored a write past the
// limit fails with EFBIG instead of killing the process. Holds for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

// Holds an exclusive flock on a file, as another program holding it without sharing would; our
// opens then fail, for root too.
class ForeignLock {
public:
    explicit ForeignLock(const std::string& path);
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

private:
    int m_nFd;
};

// UTF-8 text as Shift_JIS bytes.
[[nodiscard]] std::string Sjis(std::string_view utf8);

// Records every host call as a line in `calls`, e.g. "position 50", "status <bytes>",
// "message <text>|<caption>", "open", "close", "cancel? 0", "to-controls", "from-controls".
class RecordingHost : public RunHost {
public:
    RunSettings settings;
    std::vector<std::string> targets;
    std::string log;
    std::vector<std::string> calls;
    std::vector<std::string> messages;  // "<text>|<caption>"
    // Called at each TakeCancelRequest with its 0-based number; true requests a cancel.
    std::function<bool(int)> cancelWhen = [](int) { return false; };

    void ExchangeFromControls() override;
    void ExchangeToControls() override;
    [[nodiscard]] const RunSettings& Settings() const override { return settings; }
    [[nodiscard]] std::size_t TargetCount() const override { return targets.size(); }
    [[nodiscard]] std::string TargetItem(std::size_t index) const override {
        return targets.at(index);
    }
    void AssignLog(std::string_view text) override;
    void AppendLog(std::string_view text) override;
    void ShowMessageBox(std::string_view text, std::string_view caption) override;
    void OpenProgress() override;
    void SetProgressRange(std::int32_t low, std::int32_t high) override;
    std::int32_t SetProgressPosition(std::int32_t position) override;
    void SetProgressStatus(std::string_view text) override;
    [[nodiscard]] bool TakeCancelRequest() override;
    void CloseProgress() override;

    // The calls that start with `prefix`, prefix removed.
    [[nodiscard]] std::vector<std::string> CallsStartingWith(std::string_view prefix) const;
    // The log split at its CR LF line breaks.
    [[nodiscard]] std::vector<std::string> LogLines() const;

private:
    std::int32_t m_nPosition = 0;
    int m_nCancelChecks = 0;
};

}  // namespace kavex::test
