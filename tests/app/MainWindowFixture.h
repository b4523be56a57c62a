// A shown main window for the tests of its commands, started with a stored definition path (never
// the default one, whose file beside the executable only DefinitionFileCommandsTest touches).
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AppFixture.h"
#include "app/CKavexDlg.h"
#include "app/RunSettingsStore.h"

namespace kavex::test {

class MainWindowFixture : public AppFixture {
protected:
    // Stores `storedPath` as the definition path, then makes and shows the window.
    std::unique_ptr<app::CKavexDlg> StartWindow(const std::string& storedPath) {
        RunSettings settings;
        settings.m_sPath = storedPath;
        app::StoreRunSettings(*app::OpenSettingsStore(), settings);
        auto window = std::make_unique<app::CKavexDlg>();
        window->show();
        return window;
    }

    static QLineEdit& PathBox(const app::CKavexDlg& window) {
        return Child<QLineEdit>(window, "DefinitionPath");
    }
    static QPushButton& Button(const app::CKavexDlg& window, const char* name) {
        return Child<QPushButton>(window, name);
    }
    static void TypePath(const app::CKavexDlg& window, const QString& text) {
        QLineEdit& box = PathBox(window);
        box.clear();
        QTest::keyClicks(&box, text);
    }
    // Runs `act` on the next modal dialog as soon as it is shown (looked for every 10 ms, for at
    // most 5 s).
    static void WhenModalShown(std::function<void(QWidget&)> act) {
        auto* timer = new QTimer;
        auto ticks = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, ticks, act = std::move(act)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr && ++*ticks < 500) return;
            timer->stop();
            timer->deleteLater();
            if (modal == nullptr) {
                ADD_FAILURE() << "no modal dialog was shown";
                return;
            }
            act(*modal);
        });
        timer->start(10);
    }
};

}  // namespace kavex::test
