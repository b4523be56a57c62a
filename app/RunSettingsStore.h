// The per-user store of the six run settings: organisation "Mivra", the application named after
// the executable's file name without its extension, the group "Kavex" and one value per setting
// under the setting's own name. On Windows this is the registry key
// HKEY_CURRENT_USER\Software\Mivra\<application>\Kavex; elsewhere an INI file in the user's
// configuration folder (<config>/Mivra/<application>.conf).
//
// Integers are stored as integers. Texts are code-page bytes: a text whose bytes survive the trip
// through Unicode is stored as a text value (readable, a string value in the registry); any other
// is stored as a byte array, so every text comes back with exactly the bytes it had.
//
//   auto store = kavex::app::OpenSettingsStore();
//   kavex::RunSettings settings = kavex::app::LoadRunSettings(*store);
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "engine/RunSettings.h"

namespace kavex::app {

// The executable's file name without its extension ("kavex" for /usr/bin/kavex or kavex.exe).
[[nodiscard]] QString SettingsApplicationName();
[[nodiscard]] std::unique_ptr<QSettings> OpenSettingsStore();

// An absent value gives its default; a present one is taken as stored, also an empty text or an
// integer outside 0 to 2. An integer value that is not a 32-bit integer counts as absent.
[[nodiscard]] RunSettings LoadRunSettings(QSettings& store);
// Writes every value, changed or not; failures are not looked at.
void StoreRunSettings(QSettings& store, const RunSettings& settings);

}  // namespace kavex::app
