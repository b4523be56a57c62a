#include "app/AuthorLinks.h"

#include <QByteArray>

namespace kavex::app {

QUrl MailAuthorAddress() {
    const QByteArray address = QByteArray("mailto:") + kAuthorMailAddress + "?Subject=" +
                               QUrl::toPercentEncoding(QString::fromUtf8(kMailSubject));
    return QUrl::fromEncoded(address, QUrl::StrictMode);
}

}  // namespace kavex::app
