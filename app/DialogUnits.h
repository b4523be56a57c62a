// The window layouts are given in dialog units of their font: a horizontal unit is a quarter of the
// font's average character width and a vertical unit an eighth of its height. The dialogs place
// their controls with these units, so the arrangement keeps its proportions whatever font the
// system falls back to.
//
//   const kavex::app::DialogUnits units(DialogFont());
//   button->setGeometry(units.Rect(211, 241, 50, 14));
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace kavex::app {

// "ＭＳ Ｐゴシック" 9 pt, falling back to the system's Japanese sans-serif.
[[nodiscard]] QFont DialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    [[nodiscard]] QRect Rect(int x, int y, int width, int height) const;
    [[nodiscard]] QSize Size(int width, int height) const;
    [[nodiscard]] int BaseX() const { return m_nBaseX; }
    [[nodiscard]] int BaseY() const { return m_nBaseY; }

private:
    [[nodiscard]] int X(int units) const { return (units * m_nBaseX + 2) / 4; }
    [[nodiscard]] int Y(int units) const { return (units * m_nBaseY + 4) / 8; }

    int m_nBaseX = 6;
    int m_nBaseY = 12;
};

// Widens a label or radio button whose text does not fit its template width in the font at hand,
// so a fallback font with wider glyphs never cuts a text off; it never narrows one.
void KeepTextWhole(QWidget& widget);

}  // namespace kavex::app
