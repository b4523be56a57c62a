// The program's string table, by number.
//
//   setWindowTitle(kavex::app::LoadStringResource(104));  // "進行状況"
#pragma once

#include <QString>

namespace kavex::app {

// The texts of 100, 101 and 104; the empty text for any other number.
[[nodiscard]] QString LoadStringResource(int number);

}  // namespace kavex::app
