// The window front end `kavex`.
#include <QApplication>

#include "app/CKavexDlg.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Start-up work that comes before the window (recovery of an interrupted run, the automation
    // object) goes here.
    int result = 0;
    {
        kavex::app::CKavexDlg dialog;  // loads the settings
        result = dialog.exec();
    }              // stores the settings
    (void)result;  // the program's end does not depend on how the window was closed
    return 0;
}
