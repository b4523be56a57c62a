// The shared target list: its order and the expansion of dropped folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "engine/TargetList.h"
#include "support/TestSupport.h"

namespace kavex {
namespace {

TEST(TargetListTest, OrderIgnoresAsciiCaseAndKeepsDuplicatesInArrivalOrder) {
    TargetList list;
    list.Add({"b", "A", "a"});
    list.Add({"B", "a"});
    // "A", "a" arrived first; the later "a" goes after both, "B" after "b".
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"A", "a", "a", "b", "B"}));
    list.Add({"\xE3\x81\x82", "z", "_"});  // bytes above 0x7F sort after ASCII
    EXPECT_EQ(list.Items().front(), "_");  // 0x5F, before a (0x61)
    EXPECT_EQ(list.Items().back(), "\xE3\x81\x82");
    EXPECT_TRUE(TargetLess("ab", "abc"));
    EXPECT_FALSE(TargetLess("ABC", "abc"));
    EXPECT_FALSE(TargetLess("abc", "ABC"));
    EXPECT_TRUE(TargetLess("_", "Z"));  // Z folds to z (0x7A), after _ (0x5F)
}

TEST(TargetListTest, DroppedFolderBringsEverythingBelowItInWalkOrder) {
    test::TempDir dir;
    test::MakeFolder(dir / "top/sub");
    test::WriteFile(dir / "top/.hidden", "");
    test::WriteFile(dir / "top/sub/deep.txt", "");
    test::MakeFolder(dir / "elsewhere");
    test::WriteFile(dir / "elsewhere/outside.txt", "");
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "top/link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "top").c_str(), (dir / "top/sub/loop").c_str()), 0);

    const std::vector<std::string> paths = ExpandDroppedPaths({dir / "top"});
    std::vector<std::string> sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{dir / "top", dir / "top/.hidden", dir / "top/link",
                                                dir / "top/sub", dir / "top/sub/deep.txt",
                                                dir / "top/sub/loop"}));
    // A subfolder's contents come right after it.
    const auto sub = std::find(paths.begin(), paths.end(), dir / "top/sub");
    ASSERT_NE(sub, paths.end());
    EXPECT_TRUE(sub[1] == dir / "top/sub/deep.txt" || sub[1] == dir / "top/sub/loop");
    EXPECT_TRUE(sub[2] == dir / "top/sub/deep.txt" || sub[2] == dir / "top/sub/loop");

    TargetList list;
    list.AddDropped({dir / "top/sub/deep.txt", dir / "top"});
    EXPECT_EQ(list.Count(), 7u);  // the file twice: dropped and reached
    EXPECT_TRUE(std::is_sorted(list.Items().begin(), list.Items().end(), TargetLess));
}

TEST(TargetListTest, RelativePathsStayAsGiven) {
    TargetList list;
    list.AddDropped({"no/such/file", "./x"});
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"./x", "no/such/file"}));
}

}  // namespace
}  // namespace kavex
