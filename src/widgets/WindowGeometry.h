#pragma once

#include "core/settings/SettingsKeys.h"

class QWidget;

namespace vexa::widgets {

// A resizable window's size and place, kept in the settings file between runs (base64 of
// QWidget::saveGeometry, which Qt fits back onto the screens there are when it restores it).
void saveWindowGeometry(const QWidget& window, settings::SettingKey key);
// False when nothing was kept or it cannot be read; the window keeps its size then.
bool restoreWindowGeometry(QWidget& window, settings::SettingKey key);

} // namespace vexa::widgets
