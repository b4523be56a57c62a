// The window front end `kavex`. Paths given on the command line (the desktop passes the files a
// user opens with the program) are taken as if dropped on the window.
#include <QApplication>
#include <QMetaObject>
#include <string>
#include <vector>

#include "app/CKavexDlg.h"
#include "app/DesktopOpener.h"
#include "app/ProgramIcon.h"
#include "engine/Journal.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes Qt's own options out of argv
    QApplication::setWindowIcon(kavex::app::ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kavex"));
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) paths.push_back(kavex::app::AbsolutePath(argv[i]));

    // The settings store's key is fixed (RunSettingsStore.h): the window loads the settings when it
    // is made and stores them when it is destroyed, and the program ends with the window.
    int result = 0;
    {
        kavex::app::CKavexDlg dialog;  // loads the settings
        // Files a killed run left half-written get their old bytes back before the window shows.
        (void)kavex::RecoverJournalAtStart(dialog);
        if (!paths.empty()) {
            // Once the modal loop runs, the window is initialised and takes the paths.
            QMetaObject::invokeMethod(
                &dialog, [&dialog, &paths] { dialog.OnDropFiles(paths); }, Qt::QueuedConnection);
        }
        result = dialog.exec();
    }              // stores the settings
    (void)result;  // the program's end does not depend on how the window was closed
    return 0;
}
