#include "app/QtText.h"

#include "platform/CodePage.h"

namespace kavex::app {

QString ToQString(std::string_view bytes) {
    const std::string utf8 = platform::ToUtf8(bytes, platform::ProcessCodePage());
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return platform::FromUtf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
        platform::ProcessCodePage());
}

QString ToMultiLineText(std::string_view bytes) {
    QString text = ToQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string FromMultiLineText(const QString& text) {
    QString withCrLf = text;
    withCrLf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQString(withCrLf);
}

QString ExchangedText::Show(std::string_view bytes, bool multiLine) {
    m_sBytes.assign(bytes);
    m_shown = multiLine ? ToMultiLineText(bytes) : ToQString(bytes);
    return m_shown;
}

std::string ExchangedText::Take(const QString& text, bool multiLine) const {
    if (text == m_shown) return m_sBytes;
    return multiLine ? FromMultiLineText(text) : FromQString(text);
}

}  // namespace kavex::app
