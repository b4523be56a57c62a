// A data-only run under code page 932 whose journal lives in a temporary folder, and what a test
// compares of a file before and after a crash.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/Run.h"
#include "platform/CodePage.h"
#include "support/TestSupport.h"

namespace kavex::test {

// Everything of a file that a rewrite and a recovery must keep or restore.
struct FileState {
    std::string content;
    ino_t inode = 0;
    nlink_t links = 0;
    mode_t mode = 0;
    std::string xattr;  // the value of user.kavex, empty when missing

    bool operator==(const FileState&) const = default;
};

// stat follows symbolic links, as the passes do.
[[nodiscard]] FileState StateOf(const std::string& path);
// Whether the folder's file system takes "user." extended attributes.
[[nodiscard]] bool SupportsUserXattrs(const std::string& folder);
void SetXattr(const std::string& path, const std::string& value);

class JournalFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Define(std::string_view content) { WriteFile(host.settings.m_sPath, content); }
    RunOutcome Run() { return RunReplacement(host, journal); }
    // The names in the journal folder, sorted; empty when it does not exist.
    [[nodiscard]] std::vector<std::string> JournalNames() const;

    TempDir dir;
    RecordingHost host;
    JournalSettings journal;

private:
    platform::CodePage m_savedCodePage = platform::CodePage::WithoutLeadBytes();
};

}  // namespace kavex::test
