// The four definition-file buttons and the start-up default of the definition path.
#include <QUrl>
#include <optional>
#include <vector>

#include "MainWindowFixture.h"
#include "app/DefaultDefinition.h"
#include "app/DesktopOpener.h"
#include "app/FileDialogs.h"
#include "app/QtText.h"
#include "engine/PathHelpers.h"

namespace kavex::test {
namespace {

using app::FileDialogAnswer;
using app::FileDialogRequest;

class DefinitionFileCommandsTest : public MainWindowFixture {
protected:
    // Answers every file dialog with `answer` (nothing: cancelled) and keeps the requests.
    std::unique_ptr<FileDialogAnswer> AnswerDialogs(std::optional<std::string> answer) {
        return std::make_unique<FileDialogAnswer>(
            [this, answer](const FileDialogRequest& request) -> std::optional<QString> {
                requests.push_back(request);
                if (!answer) return std::nullopt;
                return app::ToQString(*answer);
            });
    }
    // Puts one target in the list, so that "置換" is enabled while the definition file exists.
    void AddTarget(app::CKavexDlg& window) {
        WriteFile(dir / "target.txt", "x");
        window.OnDropFiles({dir / "target.txt"});
    }

    std::vector<FileDialogRequest> requests;
};

const QStringList kExpectedFilters = {
    QStringLiteral(u"置換定義ファイル(*.txt,*.dat,*.dif) (*.txt *.dat *.dif)"),
    QStringLiteral(u"すべてのファイル(*.*) (*)")};

// Everything that involves default.txt beside the executable, in one test: the executable's
// folder (a folder of this test program alone, so writable) is shared by every test process.
TEST_F(DefinitionFileCommandsTest, DefaultFileBesideTheExecutable) {
    const std::string defaultPath = ExecutableDirectory() + "default.txt";
    ASSERT_EQ(app::DefaultDefinitionPath(), defaultPath);
    std::remove(defaultPath.c_str());

    // A first start without a stored path creates an empty default.txt and shows its path.
    {
        auto window = StartWindow("");
        EXPECT_EQ(window->m_sPath, defaultPath);
        EXPECT_EQ(PathBox(*window).text(), app::ToQString(defaultPath));
        ASSERT_TRUE(FileExists(defaultPath));
        EXPECT_EQ(ReadFile(defaultPath), "");
    }
    // An existing default.txt is left as it is.
    WriteFile(defaultPath, "a>b");
    StartWindow("");
    EXPECT_EQ(ReadFile(defaultPath), "a>b");

    // A stored path to a missing file stays, and nothing is created.
    std::remove(defaultPath.c_str());
    const std::string stored = dir / "missing.txt";
    {
        auto window = StartWindow(stored);
        EXPECT_EQ(window->m_sPath, stored);
        EXPECT_EQ(PathBox(*window).text(), app::ToQString(stored));
    }
    EXPECT_FALSE(FileExists(stored));
    EXPECT_FALSE(FileExists(defaultPath));

    // "デフォルト(&D)" names the default file without creating it, and "置換" keeps its state.
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    AddTarget(*window);
    ASSERT_TRUE(Button(*window, "ReplaceButton").isEnabled());
    QTest::mouseClick(&Button(*window, "DefaultButton"), Qt::LeftButton);
    EXPECT_EQ(window->m_sPath, defaultPath);
    EXPECT_EQ(PathBox(*window).text(), app::ToQString(defaultPath));
    EXPECT_FALSE(FileExists(defaultPath));
    EXPECT_TRUE(Button(*window, "ReplaceButton").isEnabled());
    window->RefreshReplaceButton();  // the next refresh sees the missing file
    EXPECT_FALSE(Button(*window, "ReplaceButton").isEnabled());
}

// "開く(&O)" takes any confirmed path, also of a missing file, over what was typed into the box.
TEST_F(DefinitionFileCommandsTest, OpenTakesTheConfirmedPath) {
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    AddTarget(*window);
    TypePath(*window, QStringLiteral("typed.txt"));
    const std::string chosen = dir / "other.dif";
    auto answer = AnswerDialogs(chosen);

    QTest::mouseClick(&Button(*window, "OpenButton"), Qt::LeftButton);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(requests[0].nameFilters, kExpectedFilters);
    EXPECT_EQ(requests[0].initialFile, QString());
    EXPECT_EQ(requests[0].defaultSuffix, QString());
    EXPECT_EQ(window->m_sPath, chosen);
    EXPECT_EQ(PathBox(*window).text(), app::ToQString(chosen));
    EXPECT_TRUE(Button(*window, "ReplaceButton").isEnabled()) << "no refresh after a command";
}

// The current file chosen again is taken too: the dialog starts from an empty name.
TEST_F(DefinitionFileCommandsTest, OpenTakesTheCurrentFileAgain) {
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    TypePath(*window, QStringLiteral("typed.txt"));
    auto answer = AnswerDialogs(dir / "defs.txt");
    QTest::mouseClick(&Button(*window, "OpenButton"), Qt::LeftButton);
    EXPECT_EQ(PathBox(*window).text(), app::ToQString(dir / "defs.txt"));
}

// A cancelled dialog changes neither the path nor the box.
TEST_F(DefinitionFileCommandsTest, CancelledDialogsChangeNothing) {
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    TypePath(*window, QStringLiteral("typed.txt"));
    auto answer = AnswerDialogs(std::nullopt);
    for (const char* name : {"OpenButton", "SaveAsButton"}) {
        QTest::mouseClick(&Button(*window, name), Qt::LeftButton);
        EXPECT_EQ(window->m_sPath, dir / "defs.txt") << name;
        EXPECT_EQ(PathBox(*window).text(), QStringLiteral("typed.txt")) << name;
    }
    EXPECT_EQ(requests.size(), 2u);
}

// "名前を付けて保存(&S)" copies the file of the last exchanged path, not one typed since, and
// switches to the copy; an existing file of that name is replaced.
TEST_F(DefinitionFileCommandsTest, SaveAsCopiesTheCurrentFile) {
    WriteFile(dir / "defs.txt", "a>b");
    WriteFile(dir / "typed.txt", "typed>x");
    WriteFile(dir / "copy.txt", "old content");
    auto window = StartWindow(dir / "defs.txt");
    AddTarget(*window);
    TypePath(*window, app::ToQString(dir / "typed.txt"));
    auto answer = AnswerDialogs(dir / "copy.txt");

    QTest::mouseClick(&Button(*window, "SaveAsButton"), Qt::LeftButton);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(requests[0].nameFilters, kExpectedFilters);
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(requests[0].initialFile, QString());
    EXPECT_EQ(ReadFile(dir / "copy.txt"), "a>b");
    EXPECT_EQ(window->m_sPath, dir / "copy.txt");
    EXPECT_EQ(PathBox(*window).text(), app::ToQString(dir / "copy.txt"));
    EXPECT_TRUE(Button(*window, "ReplaceButton").isEnabled());
}

// A copy that cannot be made (missing source, or the file onto itself) switches the path all the
// same and loses nothing.
TEST_F(DefinitionFileCommandsTest, FailedCopyStillSwitches) {
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    {
        auto answer = AnswerDialogs(dir / "defs.txt");
        QTest::mouseClick(&Button(*window, "SaveAsButton"), Qt::LeftButton);
    }
    EXPECT_EQ(ReadFile(dir / "defs.txt"), "a>b");

    window = StartWindow(dir / "gone.txt");
    auto answer = AnswerDialogs(dir / "new.txt");
    QTest::mouseClick(&Button(*window, "SaveAsButton"), Qt::LeftButton);
    EXPECT_FALSE(FileExists(dir / "new.txt"));
    EXPECT_EQ(window->m_sPath, dir / "new.txt");
}

// "編集(&E)" hands the path typed into the box to the desktop as a file address.
TEST_F(DefinitionFileCommandsTest, EditOpensTheTypedPath) {
    WriteFile(dir / "defs.txt", "a>b");
    auto window = StartWindow(dir / "defs.txt");
    std::vector<QUrl> opened;
    app::DesktopOpener::ScopedRecorder recorder([&](const QUrl& url) { opened.push_back(url); });
    TypePath(*window, app::ToQString(dir / "other file.txt"));

    QTest::mouseClick(&Button(*window, "EditButton"), Qt::LeftButton);

    EXPECT_EQ(window->m_sPath, dir / "other file.txt");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(app::ToQString(dir / "other file.txt")));
}

}  // namespace
}  // namespace kavex::test
