// Files opened without sharing, the read-only attribute, listings, renames and copies.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace kavex::platform {
namespace {

using test::ForeignLock;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

TEST(FileTest, OpenFailsWhileAnotherHolderHasTheFile) {
    TempDir dir;
    const std::string path = dir / "a.txt";
    WriteFile(path, "content");
    {
        ForeignLock lock(path);
        for (File::Mode mode :
             {File::Mode::Read, File::Mode::ReadWrite, File::Mode::CreateTruncate}) {
            EXPECT_FALSE(File::Open(path, mode).IsOpen());
        }
    }
    // A refused CreateTruncate did not cut the file it could not lock.
    EXPECT_EQ(ReadFile(path), "content");
    EXPECT_TRUE(File::Open(path, File::Mode::Read).IsOpen());
}

TEST(FileTest, TwoOpensInOneProcessExcludeEachOther) {
    TempDir dir;
    WriteFile(dir / "a", "x");
    File first = File::Open(dir / "a", File::Mode::Read);
    ASSERT_TRUE(first.IsOpen());
    EXPECT_FALSE(File::Open(dir / "a", File::Mode::Read).IsOpen());
    ASSERT_TRUE(first.Close());
    EXPECT_TRUE(File::Open(dir / "a", File::Mode::Read).IsOpen());
}

TEST(FileTest, AFolderAndAMissingPathDoNotOpen) {
    TempDir dir;
    EXPECT_FALSE(File::Open(dir.Path(), File::Mode::Read).IsOpen());
    EXPECT_FALSE(File::Open(dir / "missing", File::Mode::Read).IsOpen());
    EXPECT_FALSE(File::Open(dir / "missing", File::Mode::ReadWrite).IsOpen());
}

TEST(FileSystemTest, ReadOnlyAttributeIsTheAbsenceOfEveryWriteBit) {
    TempDir dir;
    const std::string path = dir / "f";
    WriteFile(path, "x");
    ASSERT_EQ(::chmod(path.c_str(), 0750), 0);
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_TRUE(CanWrite(path));
    EXPECT_TRUE(SetReadOnly(path, true));
    EXPECT_EQ(ModeOf(path), 0550u);  // only the write bits went
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_FALSE(CanWrite(path));  // root could write, but the attribute says no
    EXPECT_TRUE(SetReadOnly(path, false));
    EXPECT_EQ(ModeOf(path), 0750u);             // the owner's write bit came back, nothing else
    ASSERT_EQ(::chmod(path.c_str(), 0020), 0);  // a group write bit alone is not read-only
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_FALSE(CanWrite(dir / "missing"));
    EXPECT_FALSE(IsReadOnly(dir / "missing"));
}

TEST(FileSystemTest, KindsAndLengthsFollowSymbolicLinks) {
    TempDir dir;
    WriteFile(dir / "f", "12345");
    test::MakeFolder(dir / "d");
    ASSERT_EQ(::symlink((dir / "d").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "gone").c_str(), (dir / "dangling").c_str()), 0);
    EXPECT_EQ(GetPathKind(dir / "f"), PathKind::NotFolder);
    EXPECT_EQ(GetPathKind(dir / "d"), PathKind::Folder);
    EXPECT_EQ(GetPathKind(dir / "link"), PathKind::Folder);
    EXPECT_EQ(GetPathKind(dir / "missing"), PathKind::Unreadable);
    EXPECT_EQ(FileLength(dir / "f"), 5);
    EXPECT_EQ(FileLength(dir / "d"), 0);
    EXPECT_FALSE(FileLength(dir / "missing").has_value());
    EXPECT_TRUE(EntryExists(dir / "dangling"));
    EXPECT_FALSE(EntryExists(""));
}

TEST(FileSystemTest, ListingHasHiddenEntriesAndNoDots) {
    TempDir dir;
    WriteFile(dir / ".hidden", "");
    test::MakeFolder(dir / "sub");
    ASSERT_EQ(::symlink((dir / "sub").c_str(), (dir / "link").c_str()), 0);
    auto entries = ListDirectory(dir.Path());
    ASSERT_TRUE(entries.has_value());
    std::sort(entries->begin(), entries->end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].name, ".hidden");
    EXPECT_FALSE((*entries)[0].isFolder);
    EXPECT_EQ((*entries)[1].name, "link");
    EXPECT_TRUE((*entries)[1].isFolder);
    EXPECT_TRUE((*entries)[1].isSymlink);
    EXPECT_EQ((*entries)[2].name, "sub");
    EXPECT_TRUE((*entries)[2].isFolder);
    EXPECT_FALSE((*entries)[2].isSymlink);
    EXPECT_FALSE(ListDirectory(dir / "missing").has_value());
}

TEST(FileSystemTest, RenameNeverReplacesAnExistingTarget) {
    TempDir dir;
    WriteFile(dir / "a", "A");
    WriteFile(dir / "b", "B");
    EXPECT_EQ(RenameNoReplace(dir / "a", dir / "b"), EEXIST);
    EXPECT_EQ(ReadFile(dir / "a"), "A");
    EXPECT_EQ(ReadFile(dir / "b"), "B");
    EXPECT_EQ(RenameNoReplace(dir / "a", dir / "c"), 0);
    EXPECT_EQ(ReadFile(dir / "c"), "A");
    EXPECT_NE(RenameNoReplace(dir / "missing", dir / "d"), 0);
}

TEST(FileSystemTest, CopyReplacesTheDestinationButNeverEmptiesItsSource) {
    TempDir dir;
    WriteFile(dir / "src", "new");
    WriteFile(dir / "dst", "old and longer");
    EXPECT_TRUE(CopyFileReplacing(dir / "src", dir / "dst"));
    EXPECT_EQ(ReadFile(dir / "dst"), "new");
    EXPECT_FALSE(CopyFileReplacing(dir / "src", dir / "src"));
    EXPECT_EQ(ReadFile(dir / "src"), "new");
    EXPECT_FALSE(CopyFileReplacing(dir / "missing", dir / "dst"));
    EXPECT_EQ(ReadFile(dir / "dst"), "new");
}

TEST(FileSystemTest, ExecutablePathIsThisTestProgram) {
    const std::string path = ExecutablePath();
    EXPECT_TRUE(path.ends_with("/kavex_platform_tests")) << path;
    EXPECT_EQ(GetPathKind(path), PathKind::NotFolder);
}

}  // namespace
}  // namespace kavex::platform
