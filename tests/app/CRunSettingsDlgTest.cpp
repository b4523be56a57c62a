#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "app/CRunSettingsDlg.h"

namespace kavex::test {
namespace {

using app::CRunSettingsDlg;

class CRunSettingsDlgTest : public AppFixture {
protected:
    // Runs the dialog modally; `act` works on the shown dialog and ends it.
    int RunModal(CRunSettingsDlg& dialog, std::function<void()> act) {
        QTimer::singleShot(0, &dialog, std::move(act));
        return dialog.exec();
    }
    static QRadioButton& Radio(const CRunSettingsDlg& dialog, const char* name) {
        return Child<QRadioButton>(dialog, name);
    }
};

// The defaults show "すべて" in all three groups and the two lists in their boxes.
TEST_F(CRunSettingsDlgTest, PresetValuesAreShown) {
    CRunSettingsDlg dialog;
    dialog.m_nTargetKind = 0;
    dialog.m_nReplaceWhat = 1;
    dialog.m_nFilterMode = 2;
    dialog.m_sIncludeExts = "txt,c,cpp,h";
    dialog.m_sExcludeExts = "exe,dll";
    dialog.show();
    EXPECT_TRUE(Radio(dialog, "TargetKind0").isChecked());
    EXPECT_TRUE(Radio(dialog, "ReplaceWhat1").isChecked());
    EXPECT_FALSE(Radio(dialog, "ReplaceWhat0").isChecked());
    EXPECT_TRUE(Radio(dialog, "FilterMode2").isChecked());
    EXPECT_EQ(Child<QLineEdit>(dialog, "IncludeExts").text(), QStringLiteral("txt,c,cpp,h"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "ExcludeExts").text(), QStringLiteral("exe,dll"));
}

// Choices made with the mouse and a typed list are what the confirmed dialog holds.
TEST_F(CRunSettingsDlgTest, ConfirmTakesTheControls) {
    CRunSettingsDlg dialog;
    dialog.m_nTargetKind = dialog.m_nReplaceWhat = dialog.m_nFilterMode = 0;
    const int result = RunModal(dialog, [&] {
        QTest::mouseClick(&Radio(dialog, "TargetKind2"), Qt::LeftButton);
        QTest::mouseClick(&Radio(dialog, "ReplaceWhat2"), Qt::LeftButton);
        QTest::mouseClick(&Radio(dialog, "FilterMode2"), Qt::LeftButton);
        auto& exclude = Child<QLineEdit>(dialog, "ExcludeExts");
        exclude.clear();
        QTest::keyClicks(&exclude, QStringLiteral("bak"));
        QTest::keyClick(&exclude, Qt::Key_Return);  // Enter in a box confirms
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.m_nTargetKind, 2);
    EXPECT_EQ(dialog.m_nReplaceWhat, 2);
    EXPECT_EQ(dialog.m_nFilterMode, 2);
    EXPECT_EQ(dialog.m_sExcludeExts, "bak");
    EXPECT_FALSE(Radio(dialog, "TargetKind0").isChecked());  // one checked button per group
}

// Cancelling leaves the members as they were, whatever the controls show.
TEST_F(CRunSettingsDlgTest, CancelKeepsTheMembers) {
    CRunSettingsDlg dialog;
    dialog.m_nTargetKind = 1;
    dialog.m_sIncludeExts = "txt";
    const int result = RunModal(dialog, [&] {
        QTest::mouseClick(&Radio(dialog, "TargetKind2"), Qt::LeftButton);
        Child<QLineEdit>(dialog, "IncludeExts").setText(QStringLiteral("zip"));
        QTest::mouseClick(&Child<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialog.m_nTargetKind, 1);
    EXPECT_EQ(dialog.m_sIncludeExts, "txt");
}

// A value outside 0 to 2 shows no checked button, and confirming the untouched group gives -1.
TEST_F(CRunSettingsDlgTest, UnexpectedValueShowsNoButtonAndConfirmsAsMinusOne) {
    CRunSettingsDlg dialog;
    dialog.m_nTargetKind = 5;
    dialog.m_nReplaceWhat = -1;
    dialog.m_nFilterMode = 1;
    const int result = RunModal(dialog, [&] {
        for (const char* name : {"TargetKind0", "TargetKind1", "TargetKind2", "ReplaceWhat0",
                                 "ReplaceWhat1", "ReplaceWhat2"}) {
            EXPECT_FALSE(Radio(dialog, name).isChecked()) << name;
        }
        QTest::mouseClick(&Child<QPushButton>(dialog, "ExecuteButton"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialog.m_nTargetKind, -1);
    EXPECT_EQ(dialog.m_nReplaceWhat, -1);
    EXPECT_EQ(dialog.m_nFilterMode, 1);
}

}  // namespace
}  // namespace kavex::test
