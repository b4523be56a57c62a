// The file dialogs as the definition-file commands set them up, driven as a user would.
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/FileDialogs.h"
#include "app/QtText.h"

namespace kavex::test {
namespace {

using app::FileDialogRequest;

class FileDialogsTest : public MainWindowFixture {
protected:
    // A shown dialog for `kind` as the commands ask for it, in the test's folder.
    std::unique_ptr<QFileDialog> ShowDialog(FileDialogRequest::Kind kind) {
        FileDialogRequest request;
        request.kind = kind;
        request.nameFilters = app::NameFiltersOf(app::kDefinitionFileFilter);
        if (kind == FileDialogRequest::Kind::Save) request.defaultSuffix = QStringLiteral("txt");
        auto dialog = app::MakeFileDialog(nullptr, request);
        dialog->setDirectory(app::ToQString(dir.Path()));
        dialog->show();
        return dialog;
    }
    // Types a file name and confirms it.
    static void Confirm(QFileDialog& dialog, const QString& name) {
        QLineEdit& nameBox = Child<QLineEdit>(dialog, "fileNameEdit");
        nameBox.setText(name);
        QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
    }
    QString InDir(const char* name) { return app::ToQString(dir / name); }
};

// The filter's two entries, patterns and display texts, and the first in force.
TEST_F(FileDialogsTest, FilterEntries) {
    EXPECT_EQ(
        app::NameFiltersOf(app::kDefinitionFileFilter),
        QStringList({QStringLiteral(u"置換定義ファイル(*.txt,*.dat,*.dif) (*.txt *.dat *.dif)"),
                     QStringLiteral(u"すべてのファイル(*.*) (*)")}));
    EXPECT_TRUE(app::NameFiltersOf("").isEmpty());

    auto dialog = ShowDialog(FileDialogRequest::Kind::Open);
    const QComboBox& types = Child<QComboBox>(*dialog, "fileTypeCombo");
    ASSERT_EQ(types.count(), 2);
    EXPECT_EQ(types.itemText(0), QStringLiteral(u"置換定義ファイル(*.txt,*.dat,*.dif)"));
    EXPECT_EQ(types.itemText(1), QStringLiteral(u"すべてのファイル(*.*)"));
    EXPECT_EQ(types.currentIndex(), 0);
}

// Opening takes the name of a missing file as it is typed, without an added extension.
TEST_F(FileDialogsTest, OpenAcceptsAMissingFile) {
    auto dialog = ShowDialog(FileDialogRequest::Kind::Open);
    Confirm(*dialog, QStringLiteral("missing"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->selectedFiles(), QStringList{InDir("missing")});
}

// Saving adds ".txt" to a name typed without an extension and keeps a typed extension.
TEST_F(FileDialogsTest, SaveAddsTxt) {
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {{"new", "new.txt"}, {"new.dat", "new.dat"}};
    for (const auto& row : cases) {
        auto dialog = ShowDialog(FileDialogRequest::Kind::Save);
        Confirm(*dialog, QString::fromLatin1(row.typed));
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << row.typed;
        EXPECT_EQ(dialog->selectedFiles(), QStringList{InDir(row.saved)}) << row.typed;
    }
}

// Saving over an existing file asks first: "No" keeps the dialog open, "Yes" confirms.
TEST_F(FileDialogsTest, SaveAsksBeforeOverwriting) {
    WriteFile(dir / "old.txt", "a>b");
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        auto dialog = ShowDialog(FileDialogRequest::Kind::Save);
        bool asked = false;
        WhenModalShown([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            asked = true;
            box->button(answer)->click();
        });
        Confirm(*dialog, QStringLiteral("old"));
        EXPECT_TRUE(asked);
        EXPECT_EQ(dialog->result() == QDialog::Accepted, answer == QMessageBox::Yes);
        EXPECT_EQ(dialog->isVisible(), answer == QMessageBox::No);
    }
}

// The open prompt shows nothing for an empty filter, and reports no change for the same path.
TEST_F(FileDialogsTest, PromptOpenPathResults) {
    int asked = 0;
    app::FileDialogAnswer answer([&](const FileDialogRequest&) -> std::optional<QString> {
        ++asked;
        return InDir("a.txt");
    });
    std::string path = dir / "a.txt";
    EXPECT_FALSE(app::PromptOpenPath(nullptr, path, ""));
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(app::PromptOpenPath(nullptr, path, app::kDefinitionFileFilter));
    EXPECT_EQ(asked, 1);
    path = "other";
    EXPECT_TRUE(app::PromptOpenPath(nullptr, path, app::kDefinitionFileFilter));
    EXPECT_EQ(path, dir / "a.txt");
}

}  // namespace
}  // namespace kavex::test
