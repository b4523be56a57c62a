// The main window's popup menu and its commands: four addresses handed to the desktop and the
// information dialog.
#include <QAction>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

#include "app/AuthorLinks.h"
#include "app/CInfoDlg.h"
#include "app/CKavexDlg.h"
#include "app/DesktopOpener.h"
#include "app/PopupMenu.h"

namespace kavex::app {

void CKavexDlg::mouseReleaseEvent(QMouseEvent* event) {
    // Only the window's own surface shows the menu: its background, its labels and its frame. The
    // list, the boxes and the buttons pass a right-button release on to here too, so they are
    // told apart by what lies under the pointer.
    const QWidget* under = childAt(event->position().toPoint());
    const bool onSurface = under == nullptr || qobject_cast<const QLabel*>(under) != nullptr ||
                           qobject_cast<const QGroupBox*>(under) != nullptr;
    if (event->button() == Qt::RightButton && onSurface) {
        const std::unique_ptr<QMenu> menu = LoadMainPopupMenu(this);
        // At the pointer's position now, which may differ from where the button was released.
        QAction* chosen = menu->exec(QCursor::pos());
        QDialog::mouseReleaseEvent(event);
        if (chosen != nullptr) OnCommand(chosen->data().toInt());
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void CKavexDlg::OnCommand(int command) {
    switch (command) {
        case kOpenAuthorPage:
            OpenAuthorPage();
            break;
        case kMailAuthor:
            MailAuthor();
            break;
        case kDownloadLatest:
            DownloadLatest();
            break;
        case kShowVersionInfo:
            ShowVersionInfo();
            break;
        case kOpenCompanionService:
            OpenCompanionService();
            break;
        default:
            break;
    }
}

void CKavexDlg::OpenAuthorPage() {
    DesktopOpener::Open(QUrl(QString::fromUtf8(kAuthorPageAddress)));
}

void CKavexDlg::MailAuthor() { DesktopOpener::Open(MailAuthorAddress()); }

void CKavexDlg::DownloadLatest() { DesktopOpener::Open(QUrl(QString::fromUtf8(kDownloadAddress))); }

void CKavexDlg::OpenCompanionService() {
    DesktopOpener::Open(QUrl(QString::fromUtf8(kCompanionServiceAddress)));
}

void CKavexDlg::ShowVersionInfo() {
    CInfoDlg dialog(this);
    dialog.exec();
}

}  // namespace kavex::app
