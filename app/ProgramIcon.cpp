#include "app/ProgramIcon.h"

#include <QSize>
#include <QString>

// The resources live in a static library: naming them here keeps the linker from dropping them.
static void InitialiseIconResources() {
    static const bool initialised = [] {
        Q_INIT_RESOURCE(kavex);
        return true;
    }();
    (void)initialised;
}

namespace kavex::app {

QIcon ProgramIcon() {
    InitialiseIconResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/kavex-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace kavex::app
