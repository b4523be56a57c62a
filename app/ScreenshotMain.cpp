// Renders the main window after a sample run into a PNG: kavex_screenshot <output.png>
// Used by scripts/screenshot.sh under a virtual display. Everything it makes (sample files, the
// settings store) lives in a temporary folder that is removed at the end.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/CKavexDlg.h"

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavex_screenshot <output.png>\n");
        return 2;
    }
    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/kavex-sample-XXXXXX"));
    if (!temporary.isValid()) return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temporary.filePath("config"));

    // A small project whose texts and names say "りんご" where "みかん" is meant.
    const QString root = temporary.filePath(QString::fromUtf8("果物"));
    QDir().mkpath(root + QString::fromUtf8("/りんご箱"));
    Write(root + QString::fromUtf8("/りんご.txt"), QByteArray("りんごを三つ。りんごは赤い。\n"));
    Write(root + QString::fromUtf8("/りんご箱/メモ.txt"), QByteArray("りんごとバナナ\n"));
    Write(root + QString::fromUtf8("/readme.txt"), QByteArray("Nothing to see here.\n"));
    Write(root + QString::fromUtf8("/りんご箱/一覧.csv"), QByteArray("名前,数\nりんご,3\n"));
    const QString definitions = temporary.filePath(QString::fromUtf8("定義.txt"));
    Write(definitions, QByteArray("りんご>みかん\r\n赤い>橙色だ\r\n"));

    int status = 1;
    {
        kavex::app::CKavexDlg dialog;
        dialog.m_sPath = definitions.toStdString();
        dialog.show();
        dialog.OnDropFiles({root.toStdString()});
        // Confirm the run settings as they are, once the dialog is up.
        QTimer::singleShot(0, &dialog, [] {
            if (QWidget* settings = QApplication::activeModalWidget()) {
                QMetaObject::invokeMethod(settings, "accept");
            }
        });
        dialog.OnReplace();
        // The list shows the paths as dropped: a run does not change the list.
        QApplication::processEvents();
        status = dialog.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    }
    return status;
}
