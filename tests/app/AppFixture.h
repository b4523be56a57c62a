// What the window tests share: a temporary folder that also holds the settings store, and the
// process's code page restored after each test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QWidget>

#include "platform/CodePage.h"
#include "support/TestSupport.h"

namespace kavex::test {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedCodePage = platform::ProcessCodePage();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir / "config"));
    }
    void TearDown() override { platform::SetProcessCodePage(m_savedCodePage); }

    // The named child of `parent`; the test stops when it is missing.
    template <typename Widget>
    static Widget& Child(const QObject& parent, const char* name) {
        auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) throw std::runtime_error(std::string("no widget ") + name);
        return *widget;
    }

    TempDir dir;

private:
    platform::CodePage m_savedCodePage = platform::CodePage::WithoutLeadBytes();
};

}  // namespace kavex::test
