// Hands a file or an address to the desktop, which opens it with the user's program for its type:
// a web address in the browser, a mailto address in the mail program, a text file in the editor.
// The outcome is not looked at: a desktop that cannot open it shows nothing of ours.
//
//   kavex::app::DesktopOpener::Open(QUrl(QString::fromUtf8(kAuthorPageAddress)));
//   kavex::app::DesktopOpener::Open(kavex::app::FileAddress(m_sPath));
//
// Tests install a recorder that receives the addresses instead of the desktop:
//
//   std::vector<QUrl> opened;
//   DesktopOpener::ScopedRecorder recorder([&](const QUrl& url) { opened.push_back(url); });
#pragma once

#include <QUrl>
#include <functional>
#include <string>

namespace kavex::app {

class DesktopOpener {
public:
    using Recorder = std::function<void(const QUrl&)>;

    static void Open(const QUrl& url);

    // While it lives, Open hands every address to `recorder` and nothing reaches the desktop.
    class ScopedRecorder {
    public:
        explicit ScopedRecorder(Recorder recorder);
        ~ScopedRecorder();
        ScopedRecorder(const ScopedRecorder&) = delete;
        ScopedRecorder& operator=(const ScopedRecorder&) = delete;

    private:
        Recorder m_previous;
    };
};

// The path taken from the current folder when it is relative; the empty path stays empty.
[[nodiscard]] std::string AbsolutePath(const std::string& path);

// The file address of a path given as the file system's bytes, which keeps every byte of the name
// (percent-encoded) whatever its encoding. A relative path is taken from the current folder; the
// empty path gives the empty address, which the desktop does not open.
[[nodiscard]] QUrl FileAddress(const std::string& path);

}  // namespace kavex::app
