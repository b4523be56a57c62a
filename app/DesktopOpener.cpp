#include "app/DesktopOpener.h"

#include <unistd.h>

#include <QByteArray>
#include <QDesktopServices>
#include <cerrno>
#include <utility>

namespace kavex::app {
namespace {

// The only test hook of the opener; empty outside tests.
DesktopOpener::Recorder& InstalledRecorder() {
    static DesktopOpener::Recorder recorder;
    return recorder;
}

std::string CurrentFolder() {
    std::string folder(4096, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder;
}

}  // namespace

void DesktopOpener::Open(const QUrl& url) {
    if (const Recorder& recorder = InstalledRecorder()) {
        recorder(url);
        return;
    }
    (void)QDesktopServices::openUrl(url);
}

DesktopOpener::ScopedRecorder::ScopedRecorder(Recorder recorder)
    : m_previous(std::exchange(InstalledRecorder(), std::move(recorder))) {}

DesktopOpener::ScopedRecorder::~ScopedRecorder() { InstalledRecorder() = std::move(m_previous); }

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    const std::string folder = CurrentFolder();
    return folder + (folder.ends_with('/') ? "" : "/") + path;
}

QUrl FileAddress(const std::string& path) {
    if (path.empty()) return {};
    const std::string absolute = AbsolutePath(path);
    const QByteArray bytes(absolute.data(), static_cast<qsizetype>(absolute.size()));
    return QUrl::fromEncoded("file://" + QUrl::toPercentEncoding(bytes, "/"), QUrl::StrictMode);
}

}  // namespace kavex::app
