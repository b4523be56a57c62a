#include <sys/resource.h>

#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <filesystem>

#include "AppFixture.h"
#include "app/CKavexDlg.h"
#include "app/CRunProgressDlg.h"
#include "app/CRunSettingsDlg.h"
#include "app/DefaultDefinition.h"
#include "app/DesktopOpener.h"
#include "app/FileDialogs.h"
#include "engine/PathHelpers.h"

namespace kavex::test {
namespace {

using app::CKavexDlg;

// The main window, shown, with a definition file that exists.
class CKavexDlgTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        definitions = dir / "definitions.txt";
        WriteFile(definitions, "apple>orange\r\n");
        window = std::make_unique<CKavexDlg>();
        window->m_sPath = definitions;
        window->SetMessageBoxHandler([this](const QString& text, const QString& caption) {
            messages.push_back(caption + QLatin1Char('|') + text);
        });
        window->show();
        list = &Child<QListView>(*window, "TargetList");
        replace = &Child<QPushButton>(*window, "ReplaceButton");
        pathBox = &Child<QLineEdit>(*window, "DefinitionPath");
        messageBox = &Child<QPlainTextEdit>(*window, "MessageLog");
    }
    void TearDown() override {
        window.reset();
        AppFixture::TearDown();
    }

    // Drops the paths on the window the way a file manager does: a text/uri-list of file URLs.
    void Drop(const std::vector<std::string>& paths) {
        QByteArray uris;
        for (const std::string& path : paths) {
            uris += "file://" +
                    QByteArray(path.data(), static_cast<qsizetype>(path.size()))
                        .toPercentEncoding("/") +
                    "\r\n";
        }
        DropUriList(uris);
    }
    void DropUriList(const QByteArray& uris) {
        QMimeData mime;
        mime.setData(QStringLiteral("text/uri-list"), uris);
        // The drop goes to the target that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        qApp->notify(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        qApp->notify(window.get(), &drop);
    }
    std::vector<std::string> Listed() const { return window->TargetItems(); }

    // Clicks "置換"; `confirm` decides whether the run settings dialog is confirmed, and `during`
    // runs once the progress dialog is up (inside the run).
    void ClickReplace(bool confirm, std::function<void(app::CRunProgressDlg&)> during = {}) {
        QTimer::singleShot(0, window.get(), [this, confirm, during] {
            auto* settings = qobject_cast<app::CRunSettingsDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(settings, nullptr);
            settingsShown = true;
            const char* button = confirm ? "ExecuteButton" : "CancelButton";
            QTest::mouseClick(&Child<QPushButton>(*settings, button), Qt::LeftButton);
            if (during) WhenProgressIsUp(during, 100);
        });
        QTest::mouseClick(replace, Qt::LeftButton);
    }
    void WhenProgressIsUp(std::function<void(app::CRunProgressDlg&)> action, int attempts) {
        QTimer::singleShot(0, window.get(), [this, action, attempts] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<app::CRunProgressDlg*>(widget);
                if (progress != nullptr && progress->IsOpen()) return action(*progress);
            }
            if (attempts > 0) WhenProgressIsUp(action, attempts - 1);
        });
    }

    std::string definitions;
    std::unique_ptr<CKavexDlg> window;
    QListView* list = nullptr;
    QPushButton* replace = nullptr;
    QLineEdit* pathBox = nullptr;
    QPlainTextEdit* messageBox = nullptr;
    std::vector<QString> messages;  // "caption|text"
    bool settingsShown = false;
};

// Two files dropped in reverse order are listed in the list's order, without regard to case.
TEST_F(CKavexDlgTest, DroppedFilesAreListedInOrder) {
    WriteFile(dir / "b.txt", "");
    WriteFile(dir / "A.txt", "");
    WriteFile(dir / "c.txt", "");
    Drop({dir / "c.txt", dir / "b.txt"});
    Drop({dir / "A.txt"});
    EXPECT_EQ(Listed(), (std::vector<std::string>{dir / "A.txt", dir / "b.txt", dir / "c.txt"}));
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromStdString(dir / "A.txt"));
}

// The same file dropped twice is listed twice.
TEST_F(CKavexDlgTest, SameFileDroppedTwiceIsListedTwice) {
    WriteFile(dir / "a.txt", "");
    Drop({dir / "a.txt", dir / "a.txt"});
    Drop({dir / "a.txt"});
    EXPECT_EQ(Listed(), std::vector<std::string>(3, dir / "a.txt"));
}

// A folder brings everything below it, hidden entries included; a link to a folder is listed but
// not followed.
TEST_F(CKavexDlgTest, DroppedFolderBringsEverythingBelowIt) {
    const std::string folder = dir / "tree";
    MakeFolder(folder + "/sub");
    WriteFile(folder + "/.hidden", "");
    WriteFile(folder + "/sub/.deep", "");
    WriteFile(folder + "/Z.txt", "");
    std::filesystem::create_directory_symlink(folder + "/sub", folder + "/link");
    Drop({folder});
    EXPECT_EQ(Listed(), (std::vector<std::string>{folder, folder + "/.hidden", folder + "/link",
                                                  folder + "/sub", folder + "/sub/.deep",
                                                  folder + "/Z.txt"}));
}

// A name that is not valid in any Unicode encoding keeps its bytes; the list shows it converted
// from the code page. Only local file URLs count.
TEST_F(CKavexDlgTest, DroppedNamesKeepTheirBytes) {
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    const std::string name = dir / Sjis("あ表.txt");  // 0x82 0xA0 0x95 0x5C: not UTF-8
    WriteFile(name, "");
    DropUriList("# comment\r\nhttp://example.com/x.txt\r\nfile://otherhost/etc/passwd\r\nfile://" +
                QByteArray::fromStdString(name).toPercentEncoding("/") + "\r\n");
    EXPECT_EQ(Listed(), std::vector<std::string>{name});
    EXPECT_EQ(list->model()->index(0, 0).data().toString(),
              QString::fromStdString(dir.Path()) + QString::fromUtf8("/あ表.txt"));
}

// "置換" is enabled exactly when the definition file exists and the list is not empty.
TEST_F(CKavexDlgTest, ReplaceButtonNeedsDefinitionsAndTargets) {
    EXPECT_FALSE(replace->isEnabled());  // the list is empty at start
    WriteFile(dir / "a.txt", "");
    Drop({dir / "a.txt"});
    EXPECT_TRUE(replace->isEnabled());

    pathBox->setText(QString::fromStdString(dir / "missing.txt"));
    EXPECT_TRUE(replace->isEnabled());  // typing is no trigger...
    Drop({dir / "a.txt"});
    EXPECT_FALSE(replace->isEnabled());  // ...the next drop is
    EXPECT_EQ(window->m_sPath, dir / "missing.txt");

    pathBox->setText(QString::fromStdString(dir.Path()));  // a folder exists too
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(replace->isEnabled());  // a selection change is a trigger
}

// Clear empties the list and the Message box, disables "置換" and takes the typed path.
TEST_F(CKavexDlgTest, ClearEmptiesListAndMessages) {
    WriteFile(dir / "a.txt", "");
    Drop({dir / "a.txt"});
    messageBox->setPlainText(QStringLiteral("old report"));
    pathBox->setText(QStringLiteral("/typed/path.txt"));
    QTest::mouseClick(&Child<QPushButton>(*window, "ClearButton"), Qt::LeftButton);
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_TRUE(messageBox->toPlainText().isEmpty());
    EXPECT_TRUE(window->MessageLog.empty());
    EXPECT_FALSE(replace->isEnabled());
    EXPECT_EQ(pathBox->text(), QStringLiteral("/typed/path.txt"));
    EXPECT_EQ(window->m_sPath, "/typed/path.txt");
}

// A whole run from the button: Shift_JIS definitions, contents and names; the report shows in the
// Message box as Japanese text.
TEST_F(CKavexDlgTest, ReplaceRunsWithTheConfirmedSettings) {
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    WriteFile(definitions, Sjis("りんご>みかん\r\n"));
    const std::string folder = dir / Sjis("箱");
    MakeFolder(folder);
    WriteFile(folder + "/" + Sjis("あ.txt"), Sjis("りんごとりんご"));
    WriteFile(folder + "/other.txt", "nothing here");
    Drop({folder});
    window->m_nES2 = 2;  // data only
    ClickReplace(true);

    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(ReadFile(folder + "/" + Sjis("あ.txt")), Sjis("みかんとみかん"));
    const QStringList lines = messageBox->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5) << messageBox->toPlainText().toStdString();
    EXPECT_EQ(lines[0], QString::fromUtf8("------------------開始------------------"));
    EXPECT_EQ(lines[1], QString::fromUtf8("トータル：3"));
    EXPECT_TRUE(lines.contains(QString::fromUtf8("[あ.txt]：2個の文字列を置換")))
        << messageBox->toPlainText().toStdString();
    EXPECT_TRUE(lines.contains(QString::fromUtf8("[other.txt]：該当文字列なし。")));
    EXPECT_EQ(window->MessageLog.substr(0, 2), "--");
    EXPECT_NE(window->MessageLog.find("\r\n"), std::string::npos);  // CR LF between lines
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(messages.empty());
}

// Cancelling the settings dialog starts nothing and changes no setting.
TEST_F(CKavexDlgTest, CancelledSettingsStartNoRun) {
    WriteFile(dir / "a.txt", "apple");
    Drop({dir / "a.txt"});
    window->m_nES1 = 1;
    ClickReplace(false);
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(ReadFile(dir / "a.txt"), "apple");
    EXPECT_TRUE(messageBox->toPlainText().isEmpty());
    EXPECT_EQ(window->m_nES1, 1);
}

// Cancel in the progress dialog stops the run before the first file is written; the main window
// was disabled during the run and is enabled after it.
TEST_F(CKavexDlgTest, CancelledRunLeavesTheFiles) {
    WriteFile(dir / "a.txt", "apple");
    Drop({dir / "a.txt"});
    bool ownerWasDisabled = false;
    ClickReplace(true, [&](app::CRunProgressDlg& progress) {
        ownerWasDisabled = !window->isEnabled();
        QTest::mouseClick(&Child<QPushButton>(progress, "CancelButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(ReadFile(dir / "a.txt"), "apple");
    const QString report = messageBox->toPlainText();
    EXPECT_TRUE(report.startsWith(QStringLiteral("------------------")));
    EXPECT_FALSE(report.contains(QStringLiteral("a.txt"))) << report.toStdString();
}

// A definition file that vanished after the button was enabled is reported by the run in a
// message box; the Message box is left alone.
TEST_F(CKavexDlgTest, MissingDefinitionsAreReportedInAMessageBox) {
    WriteFile(dir / "a.txt", "apple");
    Drop({dir / "a.txt"});
    messageBox->setPlainText(QStringLiteral("earlier report"));
    std::filesystem::remove(definitions);
    ClickReplace(true);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromUtf8("Error Lv.01|定義ファイルの読み込みに失敗しました。"));
    EXPECT_EQ(messageBox->toPlainText(), QStringLiteral("earlier report"));
    EXPECT_TRUE(replace->isEnabled());  // a run does not refresh the button
}

// A file that cannot be written stops the run: its message comes as a message box after the
// progress window is gone, and the report so far is in the Message box.
TEST_F(CKavexDlgTest, FileErrorStopsTheRunWithAMessageBox) {
    WriteFile(definitions, "apple>orange orange orange orange\r\n");
    WriteFile(dir / "a.txt", "apple");
    Drop({dir / "a.txt"});
    {
        const FileSizeLimit limit(16);
        ClickReplace(true);
    }
    EXPECT_EQ(ReadFile(dir / "a.txt"), "apple");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8("エラー|"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QString::fromStdString(dir / "a.txt")));
    EXPECT_TRUE(messageBox->toPlainText().startsWith(QStringLiteral("------------------")));
    EXPECT_TRUE(window->isEnabled());
}

// "終了" (or Enter) takes the typed path; Escape and the close box end without taking it.
TEST_F(CKavexDlgTest, ClosingRules) {
    pathBox->setText(QStringLiteral("/typed.txt"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(window->m_sPath, definitions);

    window->show();
    window->close();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(window->m_sPath, definitions);

    window->show();
    QTest::keyClick(messageBox, Qt::Key_Return);  // a line break in the Message box
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(pathBox, Qt::Key_Return);  // Enter in the path box is the default button
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->m_sPath, "/typed.txt");
    EXPECT_EQ(window->MessageLog, "\r\n");
}

// A first start with no stored path gets the default file beside the executable, made empty when
// it is missing; a stored path to a file that is gone stays as it is.
TEST_F(CKavexDlgTest, StartUpDefaultDefinition) {
    const std::string defaultPath = app::DefaultDefinitionPath();
    EXPECT_EQ(defaultPath, ExecutableDirectory() + "default.txt");
    const bool existedBefore = FileExists(defaultPath);
    {
        CKavexDlg fresh;
        fresh.m_sPath.clear();
        fresh.show();
        EXPECT_EQ(fresh.m_sPath, defaultPath);
        EXPECT_EQ(Child<QLineEdit>(fresh, "DefinitionPath").text(),
                  QString::fromStdString(defaultPath));
        ASSERT_TRUE(FileExists(defaultPath));
        if (!existedBefore) {
            EXPECT_EQ(ReadFile(defaultPath), "");
        }
        fresh.m_sPath = definitions;  // keeps the store of this test's folder as it was
    }
    if (!existedBefore) std::filesystem::remove(defaultPath);

    CKavexDlg stored;
    stored.m_sPath = dir / "gone.txt";
    stored.show();
    EXPECT_EQ(stored.m_sPath, dir / "gone.txt");
    EXPECT_FALSE(FileExists(dir / "gone.txt"));
}

// "開く(&O)" takes any confirmed choice over the typed text; a cancelled dialog changes nothing.
// No command refreshes "置換".
TEST_F(CKavexDlgTest, OpenDefinitionTakesTheChosenFile) {
    std::optional<QString> answer;
    app::FileDialogAnswer dialogs([&answer](const app::FileDialogRequest& request) {
        EXPECT_EQ(request.kind, app::FileDialogRequest::Kind::Open);
        return answer;
    });
    pathBox->setText(QStringLiteral("/typed.txt"));
    QTest::mouseClick(&Child<QPushButton>(*window, "OpenButton"), Qt::LeftButton);
    EXPECT_EQ(pathBox->text(), QStringLiteral("/typed.txt"));
    EXPECT_EQ(window->m_sPath, definitions);

    answer = QString::fromStdString(definitions);  // the present path is taken too
    QTest::mouseClick(&Child<QPushButton>(*window, "OpenButton"), Qt::LeftButton);
    EXPECT_EQ(pathBox->text(), QString::fromStdString(definitions));
    EXPECT_FALSE(replace->isEnabled());  // the list is empty, and no refresh happened anyway
}

// "名前を付けて保存(&S)" copies the file of m_sPath as last exchanged (not the typed text) and
// switches to the copy; "編集(&E)" opens the typed path; "デフォルト(&D)" shows the default path.
TEST_F(CKavexDlgTest, SaveAsEditAndDefault) {
    const std::string copy = dir / "copy.txt";
    app::FileDialogAnswer dialogs([&copy](const app::FileDialogRequest& request) {
        EXPECT_EQ(request.kind, app::FileDialogRequest::Kind::Save);
        return std::optional<QString>(QString::fromStdString(copy));
    });
    std::vector<std::string> opened;
    app::DesktopOpener::ScopedRecorder recorder(
        [&opened](const QUrl& url) { opened.push_back(app::FromQString(url.toLocalFile())); });

    pathBox->setText(QString::fromStdString(dir / "typed.txt"));
    QTest::mouseClick(&Child<QPushButton>(*window, "SaveAsButton"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(copy), "apple>orange\r\n");
    EXPECT_EQ(window->m_sPath, copy);
    EXPECT_EQ(pathBox->text(), QString::fromStdString(copy));

    pathBox->setText(QString::fromStdString(dir / "typed.txt"));
    QTest::mouseClick(&Child<QPushButton>(*window, "EditButton"), Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<std::string>{dir / "typed.txt"});

    QTest::mouseClick(&Child<QPushButton>(*window, "DefaultButton"), Qt::LeftButton);
    EXPECT_EQ(window->m_sPath, app::DefaultDefinitionPath());
    EXPECT_EQ(pathBox->text(), QString::fromStdString(app::DefaultDefinitionPath()));
}

}  // namespace
}  // namespace kavex::test
