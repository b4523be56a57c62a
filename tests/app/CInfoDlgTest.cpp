#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/AuthorLinks.h"
#include "app/CInfoDlg.h"
#include "app/ProgramIcon.h"

namespace kavex::test {
namespace {

using app::CInfoDlg;

class CInfoDlgTest : public MainWindowFixture {
protected:
    static QString ShownPage(const QWidget& dialog) {
        return Child<QPlainTextEdit>(dialog, "PageBox").toPlainText();
    }
    static void Click(const QWidget& dialog, const char* name) {
        QTest::mouseClick(&Child<QPushButton>(dialog, name), Qt::LeftButton);
    }
};

QString WithLf(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// The dialog opens on page 2 and shows "Version2.00".
TEST_F(CInfoDlgTest, OpensOnPageTwo) {
    CInfoDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.m_nPage, 2);
    EXPECT_EQ(Child<QLineEdit>(dialog, "VersionBox").text(), QStringLiteral("Version2.00"));
    EXPECT_TRUE(Child<QLineEdit>(dialog, "VersionBox").isReadOnly());
    EXPECT_EQ(ShownPage(dialog), WithLf(CInfoDlg::PageText(2)));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral(u"Kavexのﾊﾞｰｼﾞｮﾝ情報"));
}

// "＞＞" cycles 2, 3, 4, 0, 1, 2 and "＜＜" 2, 1, 0, 4, 3, 2, each showing its page.
TEST_F(CInfoDlgTest, ButtonsCycleThroughTheFivePages) {
    const struct {
        const char* button;
        std::vector<int> pages;
    } cases[] = {{"NextPageButton", {3, 4, 0, 1, 2}}, {"PrevPageButton", {1, 0, 4, 3, 2}}};
    for (const auto& row : cases) {
        CInfoDlg dialog;
        dialog.show();
        for (const int page : row.pages) {
            Click(dialog, row.button);
            EXPECT_EQ(dialog.m_nPage, page) << row.button;
            EXPECT_EQ(ShownPage(dialog), WithLf(CInfoDlg::PageText(page))) << row.button;
        }
    }
}

// The pages hold the texts of the program and the author's configured addresses.
TEST_F(CInfoDlgTest, PageTexts) {
    EXPECT_EQ(CInfoDlg::PageText(0),
              QStringLiteral(
                  u"最後に、本ソフトの作製の力になってくださったすべての方に感謝します・・・"));
    EXPECT_EQ(
        CInfoDlg::PageText(1),
        QStringLiteral(
            u"バグ\r\n何らかの障害が出た場合、当方は一切責任は負いませんができることなら･･･"
            u"\r\n\r\n機能追加\r\n追加・変更したほうがいい機能、設定で変更できるようにして"
            u"欲しいことなど\r\n操作性\r\nここはダブルクリックではなくシングルクリックで!とか"));
    const QString mail = QString::fromUtf8(app::kAuthorMailAddress);
    const QString support = QString::fromUtf8(app::kSupportPageAddress);
    EXPECT_EQ(
        CInfoDlg::PageText(2).split(QStringLiteral("\r\n")),
        QStringList({QStringLiteral(u"Torvane はフリーソフトです。"),
                     QStringLiteral(u"バグ・機能追加・操作性、何でもお気軽にメールください!"),
                     QString(), QStringLiteral("e-mail"), mail, QStringLiteral("URL"), support}));
    EXPECT_EQ(CInfoDlg::PageText(3).split(QStringLiteral("\r\n")),
              QStringList({QString::fromUtf8(app::kAuthorName), QStringLiteral(u"ホームページ"),
                           QString::fromUtf8(app::kAuthorPageAddress),
                           QStringLiteral(u"Torvaneサポートページ"), support,
                           QStringLiteral(u"電子メール"), mail}));
    EXPECT_EQ(CInfoDlg::PageText(4), QStringLiteral("-=<[Your Status]>=-"));
}

// "閉じる" takes the boxes back into the members; Escape leaves them.
TEST_F(CInfoDlgTest, CloseTakesTheBoxesBack) {
    CInfoDlg dialog;
    dialog.show();
    dialog.m_sVersion.clear();
    Click(dialog, "CloseButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_sVersion, QStringLiteral("Version2.00"));
    EXPECT_EQ(dialog.m_sPageText, CInfoDlg::PageText(2));

    CInfoDlg escaped;
    escaped.show();
    escaped.m_sVersion.clear();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.result(), QDialog::Rejected);
    EXPECT_EQ(escaped.m_sVersion, QString());
}

// "バージョン情報" opens a new dialog each time: closed on page 4, it opens again on page 2.
TEST_F(CInfoDlgTest, ReopensOnPageTwo) {
    auto window = StartWindow(dir / "defs.txt");
    std::vector<int> pages;
    WhenModalShown([&](QWidget& dialog) {
        auto& info = dynamic_cast<CInfoDlg&>(dialog);
        pages.push_back(info.m_nPage);
        Click(info, "NextPageButton");
        Click(info, "NextPageButton");
        pages.push_back(info.m_nPage);
        Click(info, "CloseButton");
    });
    window->ShowVersionInfo();
    WhenModalShown([&](QWidget& dialog) {
        pages.push_back(dynamic_cast<CInfoDlg&>(dialog).m_nPage);
        Click(dialog, "CloseButton");
    });
    window->ShowVersionInfo();
    EXPECT_EQ(pages, (std::vector<int>{2, 4, 2}));
}

// The program icon is embedded in every size and shown by both windows.
TEST_F(CInfoDlgTest, ProgramIconIsShown) {
    const QList<QSize> sizes = app::ProgramIcon().availableSizes();
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
    CInfoDlg dialog;
    EXPECT_FALSE(Child<QLabel>(dialog, "ProgramIcon").pixmap().isNull());
    auto window = StartWindow(dir / "defs.txt");
    EXPECT_EQ(window->windowIcon().availableSizes(), sizes);
}

}  // namespace
}  // namespace kavex::test
