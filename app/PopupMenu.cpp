#include "app/PopupMenu.h"

#include <QAction>

namespace kavex::app {

std::unique_ptr<QMenu> LoadMainPopupMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(QStringLiteral("MainPopIp"), parent);
    menu->setObjectName(QStringLiteral("MainPopIp"));
    const auto item = [&menu](const QString& text, PopupCommand command) {
        QAction* action = menu->addAction(text);
        action->setData(static_cast<int>(command));
    };
    // The text after the tab shows in the menu's second column.
    item(QStringLiteral(u"ヌベラ\t【作者の関連サービス】"), kOpenCompanionService);
    menu->addSeparator();
    item(QStringLiteral(u"作者のページ"), kOpenAuthorPage);
    item(QStringLiteral(u"作者にメールを送る"), kMailAuthor);
    item(QStringLiteral(u"最新版をダウンロード"), kDownloadLatest);
    menu->addSeparator();
    item(QStringLiteral(u"バージョン情報"), kShowVersionInfo);
    return menu;
}

}  // namespace kavex::app
