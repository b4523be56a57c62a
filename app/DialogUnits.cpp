#include "app/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>
#include <QWidget>
#include <algorithm>

namespace kavex::app {

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral(u"ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                      QStringLiteral("TakaoPGothic"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    // The average width of the 52 Latin letters, rounded, and the font's height: the base units
    // that dialog templates are measured in.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = std::max(1, (letters / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

QSize DialogUnits::Size(int width, int height) const { return {X(width), Y(height)}; }

void KeepTextWhole(QWidget& widget) {
    const int needed = widget.sizeHint().width();
    if (needed > widget.width()) widget.resize(needed, widget.height());
}

}  // namespace kavex::app
