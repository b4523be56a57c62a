#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>

#include "app/DefaultDefinition.h"
#include "engine/PathHelpers.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace kavex::test {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = getenv(name)) m_old = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A folder is writable when a file can be made in it; the probe leaves nothing behind. A missing
// folder and a file stand for a folder we cannot write, as root too.
TEST(DefaultDefinitionTest, WritableFolder) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    EXPECT_TRUE(app::IsWritableFolder(dir.Path()));
    EXPECT_TRUE(app::IsWritableFolder(dir.Path() + "/"));
    EXPECT_FALSE(app::IsWritableFolder(dir / "missing"));
    EXPECT_FALSE(app::IsWritableFolder(dir / "file"));
    EXPECT_FALSE(app::IsWritableFolder(""));
    EXPECT_EQ(ReadFile(dir / "file"), "x");
    // Only "file" is left in the folder.
    EXPECT_TRUE(app::IsWritableFolder(dir.Path()));
    EXPECT_EQ(platform::ListDirectory(dir.Path())->size(), 1u);
}

// Beside the executable when its folder is writable, else in the user's data folder.
TEST(DefaultDefinitionTest, PathForTheExecutableFolder) {
    TempDir dir;
    const struct {
        std::string executableFolder, expected;
    } cases[] = {
        {dir.Path(), dir / "default.txt"},
        {dir.Path() + "/", dir / "default.txt"},
        {dir / "read-only", "/data/kavex/default.txt"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(app::DefaultDefinitionPathFor(row.executableFolder, "/data"), row.expected)
            << row.executableFolder;
    }
}

// $XDG_DATA_HOME when absolute, else the home folder's .local/share.
TEST(DefaultDefinitionTest, UserDataFolder) {
    ScopedEnvironment home("HOME", "/home/someone");
    const struct {
        const char* dataHome;
        std::string expected;
    } cases[] = {{"/xdg/data", "/xdg/data"},
                 {"/xdg/data/", "/xdg/data"},
                 {"relative", "/home/someone/.local/share"},
                 {nullptr, "/home/someone/.local/share"}};
    for (const auto& row : cases) {
        ScopedEnvironment dataHome("XDG_DATA_HOME", row.dataHome);
        EXPECT_EQ(app::UserDataFolder(), row.expected) << (row.dataHome ? row.dataHome : "unset");
    }
}

// A missing file is made empty, with its missing folders; an existing one is left as it is.
TEST(DefaultDefinitionTest, CreateDefinitionFileIfMissing) {
    TempDir dir;
    const std::string path = dir / "data/kavex/default.txt";
    app::CreateDefinitionFileIfMissing(path);
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFile(path), "");
    WriteFile(path, "a>b");
    app::CreateDefinitionFileIfMissing(path);
    EXPECT_EQ(ReadFile(path), "a>b");
}

}  // namespace
}  // namespace kavex::test
