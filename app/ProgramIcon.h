// The program icon, embedded from res/ in the sizes 16 to 256: the window icon of every window and
// the picture in the information dialog.
//
//   window->setWindowIcon(kavex::app::ProgramIcon());
#pragma once

#include <QIcon>

namespace kavex::app {

[[nodiscard]] QIcon ProgramIcon();

}  // namespace kavex::app
