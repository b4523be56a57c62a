// The window's popup menu "MainPopIp": the companion service, the author's page, a mail to the
// author, the newest version, and the information dialog. Each item carries its command number,
// which the main window's OnCommand carries out.
//
//   std::unique_ptr<QMenu> menu = kavex::app::LoadMainPopupMenu(this);
//   if (QAction* chosen = menu->exec(QCursor::pos())) OnCommand(chosen->data().toInt());
#pragma once

#include <QMenu>
#include <memory>

namespace kavex::app {

enum PopupCommand : int {
    kOpenAuthorPage = 32771,
    kMailAuthor = 32772,
    kDownloadLatest = 32773,
    kShowVersionInfo = 32774,
    kOpenCompanionService = 32775,
};

// A new menu each time it is shown; the caller destroys it afterwards.
[[nodiscard]] std::unique_ptr<QMenu> LoadMainPopupMenu(QWidget* parent);

}  // namespace kavex::app
