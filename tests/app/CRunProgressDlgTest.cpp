#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "AppFixture.h"
#include "app/CRunProgressDlg.h"

namespace kavex::test {
namespace {

using app::CRunProgressDlg;

class CRunProgressDlgTest : public AppFixture {
protected:
    QWidget owner;
};

struct PercentCase {
    std::int32_t position;
    const char* label;
};

// The label for positions in the range 0 to 100: 100 stays, everything else is taken modulo 100.
TEST_F(CRunProgressDlgTest, PercentLabelFollowsThePosition) {
    const PercentCase cases[] = {{0, "0%"},    {42, "42%"}, {99, "99%"}, {100, "100%"},
                                 {150, "50%"}, {200, "0%"}, {-5, "-5%"}, {42, "42%"}};
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    progress.SetProgressRange(0, 100);
    auto& label = Child<QLabel>(progress, "PercentLabel");
    EXPECT_EQ(label.text(), QStringLiteral(" 0 %"));  // before the first update
    for (const PercentCase& row : cases) {
        progress.SetProgressPosition(row.position);
        EXPECT_EQ(label.text(), QString::fromLatin1(row.label)) << "position " << row.position;
    }
}

// The label's rule with other ranges, including bounds beyond what the bar holds.
TEST_F(CRunProgressDlgTest, PercentTextUsesTheWholeRange) {
    EXPECT_EQ(CRunProgressDlg::PercentText(150, 100, 200), QStringLiteral("50%"));
    EXPECT_EQ(CRunProgressDlg::PercentText(1, 0, 3), QStringLiteral("33%"));
    EXPECT_EQ(CRunProgressDlg::PercentText(-1, 0, 3), QStringLiteral("-33%"));
    EXPECT_EQ(CRunProgressDlg::PercentText(70000, 0, 100000), QStringLiteral("70%"));
    EXPECT_EQ(CRunProgressDlg::PercentText(5, 7, 7), QStringLiteral("0%"));  // no division by 0
}

// The bar keeps a position beyond its range at its nearest end; the result is the old position.
TEST_F(CRunProgressDlgTest, PositionReturnsThePreviousOne) {
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    progress.SetProgressRange(0, 100);
    EXPECT_EQ(progress.SetProgressPosition(30), 0);
    EXPECT_EQ(progress.SetProgressPosition(150), 30);
    EXPECT_EQ(Child<QProgressBar>(progress, "ProgressBar").value(), 100);
    EXPECT_EQ(progress.SetProgressPosition(10), 100);
}

// Any number of cancel requests between two takes count as one; the dialog stays open.
TEST_F(CRunProgressDlgTest, CancelIsLatchedAndReportedOnce) {
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    EXPECT_FALSE(progress.TakeCancelRequest());
    auto& cancel = Child<QPushButton>(progress, "CancelButton");
    QTest::mouseClick(&cancel, Qt::LeftButton);
    QTest::mouseClick(&cancel, Qt::LeftButton);
    EXPECT_TRUE(progress.TakeCancelRequest());
    EXPECT_FALSE(progress.TakeCancelRequest());
    EXPECT_TRUE(progress.isVisible());
}

// Enter, Escape and the close box are cancel requests too, and none of them closes the dialog.
TEST_F(CRunProgressDlgTest, EnterEscapeAndCloseRequestCancel) {
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    const std::function<void()> requests[] = {
        [&] { QTest::keyClick(&progress, Qt::Key_Return); },
        [&] { QTest::keyClick(&progress, Qt::Key_Escape); },
        [&] { progress.close(); },
    };
    for (const auto& request : requests) {
        request();
        EXPECT_TRUE(progress.TakeCancelRequest());
        EXPECT_TRUE(progress.isVisible());
        EXPECT_TRUE(progress.IsOpen());
    }
}

// TakeCancelRequest lets the windows process what is pending even with no request.
TEST_F(CRunProgressDlgTest, TakeCancelRequestProcessesPendingEvents) {
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    bool ran = false;
    QMetaObject::invokeMethod(
        &owner, [&ran] { ran = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(progress.TakeCancelRequest());
    EXPECT_TRUE(ran);
}

// The owner is disabled while the dialog is open and enabled again on close or destruction.
TEST_F(CRunProgressDlgTest, OwnerIsDisabledWhileOpen) {
    {
        CRunProgressDlg progress;
        progress.OpenProgress(&owner);
        EXPECT_FALSE(owner.isEnabled());
        EXPECT_TRUE(progress.isEnabled());  // not reached by the owner's disabling
        progress.CloseProgress();
        EXPECT_TRUE(owner.isEnabled());
        EXPECT_FALSE(progress.isVisible());
    }
    {
        CRunProgressDlg progress;
        progress.OpenProgress(&owner);
        EXPECT_FALSE(owner.isEnabled());
    }  // destroyed without an explicit close
    EXPECT_TRUE(owner.isEnabled());
}

// An owner that was disabled before stays disabled.
TEST_F(CRunProgressDlgTest, OwnerDisabledBeforeStaysDisabled) {
    owner.setEnabled(false);
    {
        CRunProgressDlg progress;
        progress.OpenProgress(&owner);
        progress.CloseProgress();
    }
    EXPECT_FALSE(owner.isEnabled());
}

// The caption comes from the string table; the status line takes code-page bytes.
TEST_F(CRunProgressDlgTest, CaptionAndStatusLine) {
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    CRunProgressDlg progress;
    progress.OpenProgress(&owner);
    progress.SetProgressStatus(Sjis("置換の計算＆準備中・・・"));
    EXPECT_EQ(progress.windowTitle(), QString::fromUtf8("進行状況"));
    EXPECT_EQ(Child<QLabel>(progress, "StatusLine").text(),
              QString::fromUtf8("置換の計算＆準備中・・・"));
}

}  // namespace
}  // namespace kavex::test
