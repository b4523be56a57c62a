// Texts cross between the window's controls (Unicode) and the rest of the system (bytes of the
// process's code page) only here.
//
//   lineEdit->setText(kavex::app::ToQString(m_sPath));
//   m_sPath = kavex::app::FromQString(lineEdit->text());
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kavex::app {

// Code-page bytes as a control's text; bytes that do not convert show as U+FFFD.
[[nodiscard]] QString ToQString(std::string_view bytes);
// A control's text as code-page bytes; a character the code page lacks becomes '?'.
[[nodiscard]] std::string FromQString(const QString& text);

// The Message box keeps its lines apart by CR LF in the log and by LF in the Qt control.
[[nodiscard]] QString ToMultiLineText(std::string_view bytes);
[[nodiscard]] std::string FromMultiLineText(const QString& text);

// The bytes behind one control's text. An exchange out of a control that still shows what the last
// exchange into it put there gives back the very bytes, also those that do not survive the trip
// through Unicode (a path that is not valid in the code page, say).
class ExchangedText {
public:
    [[nodiscard]] QString Show(std::string_view bytes, bool multiLine = false);
    [[nodiscard]] std::string Take(const QString& text, bool multiLine = false) const;

private:
    std::string m_sBytes;
    QString m_shown;
};

}  // namespace kavex::app
