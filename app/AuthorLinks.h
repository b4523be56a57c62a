// The author's addresses and name, shown on the information dialog's pages and handed to the
// desktop by the popup menu's link commands. Each is one constant of the program.
//
//   kavex::app::DesktopOpener::Open(kavex::app::MailAuthorAddress());
#pragma once

#include <QString>
#include <QUrl>

namespace kavex::app {

inline constexpr char kAuthorName[] = "Example Author";
inline constexpr char kAuthorPageAddress[] = "https://www.example.org/author/";
inline constexpr char kSupportPageAddress[] = "https://www.example.org/torvane/";
inline constexpr char kDownloadAddress[] = "https://www.example.org/torvane/torvane210.zip";
inline constexpr char kCompanionServiceAddress[] = "https://www.example.org/nubera/";
inline constexpr char kAuthorMailAddress[] = "author@example.org";
// The notice line under the version on the information dialog.
inline constexpr char kNoticeLine[] = "(C) 2026 Example Author";
// The subject of a mail to the author.
inline constexpr char kMailSubject[] = "Torvane 機能追加 or バグ情報";

// "mailto:" + the author's mail address + "?Subject=" + the subject, percent-encoded as UTF-8: a
// space or a Japanese character left as it is would not make a valid address for the desktop.
[[nodiscard]] QUrl MailAuthorAddress();

}  // namespace kavex::app
