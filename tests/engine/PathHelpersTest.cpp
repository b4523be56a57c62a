// Whole-file helpers and byte-wise path splitting.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/PathHelpers.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace kavex {
namespace {

using test::ReadFile;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

TEST(PathHelpersTest, SplittingIsByteWiseWithBothSeparators) {
    const struct {
        std::string path, extension, last, directory;
    } cases[] = {
        {"C:\\a\\file.txt", "txt", "file.txt", "C:\\a\\"},
        {"a.tar.gz", "gz", "", ""},
        {"C:\\dir.d\\file", "d\\file", "file", "C:\\dir.d\\"},
        {"file.", "", "", ""},
        {".txt", "", "", ""},
        {"x", "", "", ""},
        {"", "", "", ""},
        {"C:\\A.TXT", "TXT", "A.TXT", "C:\\"},
        {"C:\\a\\", "", "", "C:\\a\\"},
        {"C:/a/b", "", "b", "C:/a/"},
        {"/home/u/x.c", "c", "x.c", "/home/u/"},
        // The 0x5C second byte of 表 splits the path like any backslash.
        {Sjis("C:\\dir\\表.txt"), "txt", ".txt", Sjis("C:\\dir\\表")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathExtension(c.path), c.extension) << c.path;
        EXPECT_EQ(LastPathComponent(c.path), c.last) << c.path;
        EXPECT_EQ(DirectoryPart(c.path), c.directory) << c.path;
        if (c.path.find_first_of("\\/") != std::string::npos) {
            EXPECT_EQ(DirectoryPart(c.path) + LastPathComponent(c.path), c.path);
        }
    }
}

TEST(PathHelpersTest, ExecutableDirectoryDropsOnlyAFinalBackslash) {
    EXPECT_EQ(DirectoryOfExecutable("C:\\Tools\\prog.exe"), "C:\\Tools");
    EXPECT_EQ(DirectoryOfExecutable("C:\\prog.exe"), "C:");
    EXPECT_EQ(DirectoryOfExecutable("C:/Tools/prog.exe"), "C:/Tools/");
    EXPECT_EQ(DirectoryOfExecutable("prog"), "");
    EXPECT_TRUE(ExecutableDirectory().ends_with("/tests/engine/")) << ExecutableDirectory();
}

TEST(PathHelpersTest, ReadWholeFileStopsAtTheFirstNul) {
    TempDir dir;
    const struct {
        std::string content, text;
    } cases[] = {
        {"", ""},
        {std::string("\0abc", 4), ""},
        {std::string("ab\0cd", 5), "ab"},
        {std::string(5000, 'x'), std::string(5000, 'x')},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "f", c.content);
        std::string text = "untouched";
        EXPECT_TRUE(ReadWholeFile(dir / "f", text));
        EXPECT_EQ(text, c.text);
    }
    std::string text = "untouched";
    EXPECT_FALSE(ReadWholeFile(dir / "missing", text));
    EXPECT_FALSE(ReadWholeFile(dir.Path(), text));
    EXPECT_EQ(text, "untouched");
}

TEST(PathHelpersTest, FileExistsForFilesAndFoldersButNotTheEmptyPath) {
    TempDir dir;
    WriteFile(dir / "f", "");
    EXPECT_TRUE(FileExists(dir / "f"));
    EXPECT_TRUE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(""));
}

TEST(PathHelpersTest, WriteWholeFileCreatesOrReplacesAndClearsReadOnly) {
    TempDir dir;
    EXPECT_TRUE(WriteWholeFile(dir / "new", ""));
    EXPECT_EQ(ReadFile(dir / "new"), "");
    WriteFile(dir / "ro", std::string(5000, 'x'));
    ASSERT_TRUE(platform::SetReadOnly(dir / "ro", true));
    EXPECT_TRUE(WriteWholeFile(dir / "ro", "0123456789"));
    EXPECT_EQ(ReadFile(dir / "ro"), "0123456789");
    EXPECT_FALSE(platform::IsReadOnly(dir / "ro"));
    EXPECT_TRUE(WriteWholeFile(dir / "big", std::string(2048, 'y')));
    EXPECT_EQ(ReadFile(dir / "big"), std::string(2048, 'y'));
    EXPECT_FALSE(WriteWholeFile(dir / "no-such-folder/f", "x"));
}

TEST(PathHelpersTest, CopyFileReplacingAlwaysReportsSuccess) {
    TempDir dir;
    WriteFile(dir / "a", "A");
    EXPECT_TRUE(CopyFileReplacing(dir / "a", dir / "b"));
    EXPECT_EQ(ReadFile(dir / "b"), "A");
    EXPECT_TRUE(CopyFileReplacing(dir / "missing", dir / "c"));
    EXPECT_FALSE(FileExists(dir / "c"));
}

}  // namespace
}  // namespace kavex
