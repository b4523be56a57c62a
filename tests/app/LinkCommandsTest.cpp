// The popup menu of the main window and the addresses its commands hand to the desktop.
#include <QAction>
#include <QCursor>
#include <QListView>
#include <QMenu>
#include <QUrlQuery>
#include <vector>

#include "MainWindowFixture.h"
#include "app/AuthorLinks.h"
#include "app/CInfoDlg.h"
#include "app/DesktopOpener.h"

namespace kavex::test {
namespace {

struct ShownMenu {
    QString name;
    QStringList items;  // "" for a separator
    std::vector<int> commands;
    QPoint position;
};

class LinkCommandsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window = StartWindow(dir / "defs.txt");
    }

    // Releases the right button over `target` at `at` (its own coordinates) with the pointer at
    // `cursor`. The menu it shows, if any, is read and then ended by choosing the item with the
    // text `choose` (none: closed without a choice).
    std::optional<ShownMenu> RightRelease(QWidget& target, QPoint at, QPoint cursor,
                                          const QString& choose = {}) {
        QCursor::setPos(cursor);
        std::optional<ShownMenu> shown;
        bool looked = false;
        QTimer::singleShot(0, [&] {
            looked = true;
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            ShownMenu seen{menu->objectName(), {}, {}, menu->pos()};
            for (QAction* action : menu->actions()) {
                seen.items.append(action->isSeparator() ? QString() : action->text());
                seen.commands.push_back(action->data().toInt());
                EXPECT_TRUE(action->isEnabled() && !action->isCheckable());
                if (!choose.isEmpty() && action->text() == choose) menu->setActiveAction(action);
            }
            shown = seen;
            if (choose.isEmpty()) {
                menu->close();
            } else {
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        QTest::mouseRelease(&target, Qt::RightButton, {}, at);
        while (!looked) QCoreApplication::processEvents();
        return shown;
    }
    std::optional<ShownMenu> RightReleaseOnBackground(const QString& choose = {}) {
        return RightRelease(*window, QPoint(window->width() - 4, window->height() - 4),
                            QPoint(120, 90), choose);
    }

    std::unique_ptr<app::CKavexDlg> window;
};

// A right-button release on the window's background shows "MainPopIp" at the pointer.
TEST_F(LinkCommandsTest, PopupOnTheBackground) {
    const std::optional<ShownMenu> menu = RightReleaseOnBackground();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->name, QStringLiteral("MainPopIp"));
    EXPECT_EQ(menu->items, QStringList({QStringLiteral(u"ヌベラ\t【作者の関連サービス】"),
                                        {},
                                        QStringLiteral(u"作者のページ"),
                                        QStringLiteral(u"作者にメールを送る"),
                                        QStringLiteral(u"最新版をダウンロード"),
                                        {},
                                        QStringLiteral(u"バージョン情報")}));
    EXPECT_EQ(menu->commands, (std::vector<int>{32775, 0, 32771, 32772, 32773, 0, 32774}));
    EXPECT_EQ(menu->position, QPoint(120, 90));
}

// Labels and the group frame are the window's surface too; the list, the boxes and the buttons
// are not, and a release there shows nothing.
TEST_F(LinkCommandsTest, PopupOnlyOverTheSurface) {
    const struct {
        const char* name;
        bool shows;
    } cases[] = {{"TargetLabel", true},     {"MessageLabel", true}, {"DefinitionGroup", true},
                 {"ReplaceButton", false},  {"OpenButton", false},  {"ExitButton", false},
                 {"DefinitionPath", false}, {"MessageLog", false}};
    for (const auto& row : cases) {
        QWidget& target = Child<QWidget>(*window, row.name);
        // The group frame's top-left corner holds its title, not another control.
        const QPoint at = QString::fromLatin1(row.name) == QLatin1String("DefinitionGroup")
                              ? QPoint(2, 2)
                              : target.rect().center();
        EXPECT_EQ(RightRelease(target, at, QPoint(50, 50)).has_value(), row.shows) << row.name;
    }
    QListView& list = Child<QListView>(*window, "TargetList");
    EXPECT_FALSE(RightRelease(*list.viewport(), list.viewport()->rect().center(), QPoint(50, 50)));
}

// Each link command hands its address to the desktop, once.
TEST_F(LinkCommandsTest, CommandsOpenTheirAddresses) {
    const struct {
        QString item;
        QUrl address;
    } cases[] = {
        {QStringLiteral(u"ヌベラ\t【作者の関連サービス】"),
         QUrl(QString::fromUtf8(app::kCompanionServiceAddress))},
        {QStringLiteral(u"作者のページ"), QUrl(QString::fromUtf8(app::kAuthorPageAddress))},
        {QStringLiteral(u"作者にメールを送る"), app::MailAuthorAddress()},
        {QStringLiteral(u"最新版をダウンロード"), QUrl(QString::fromUtf8(app::kDownloadAddress))},
    };
    for (const auto& row : cases) {
        std::vector<QUrl> opened;
        app::DesktopOpener::ScopedRecorder recorder(
            [&](const QUrl& url) { opened.push_back(url); });
        ASSERT_TRUE(RightReleaseOnBackground(row.item));
        QCoreApplication::processEvents();
        EXPECT_EQ(opened, std::vector<QUrl>{row.address}) << row.item.toStdString();
    }
}

// "バージョン情報" opens the information dialog on page 2, and nothing goes to the desktop.
TEST_F(LinkCommandsTest, VersionInfoOpensTheDialog) {
    std::vector<QUrl> opened;
    app::DesktopOpener::ScopedRecorder recorder([&](const QUrl& url) { opened.push_back(url); });
    int page = -1;
    WhenModalShown([&](QWidget& dialog) {
        page = dynamic_cast<app::CInfoDlg&>(dialog).m_nPage;
        dynamic_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(RightReleaseOnBackground(QStringLiteral(u"バージョン情報")));
    EXPECT_EQ(page, 2);
    EXPECT_TRUE(opened.empty());
}

// The mail address is a valid mailto address whose subject decodes to the program's subject.
TEST(MailAuthorAddressTest, IsAValidMailtoAddress) {
    const QUrl address = app::MailAuthorAddress();
    ASSERT_TRUE(address.isValid()) << address.errorString().toStdString();
    EXPECT_EQ(address.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(address.path(), QString::fromUtf8(app::kAuthorMailAddress));
    EXPECT_EQ(QUrlQuery(address).queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
              QStringLiteral(u"Torvane 機能追加 or バグ情報"));
    const QByteArray encoded = address.toEncoded();
    EXPECT_TRUE(encoded.startsWith("mailto:author@example.org?Subject=Torvane%20"))
        << encoded.data();
    for (const char byte : encoded) {
        EXPECT_TRUE(byte > ' ' && static_cast<unsigned char>(byte) < 0x80) << encoded.data();
    }
}

}  // namespace
}  // namespace kavex::test
