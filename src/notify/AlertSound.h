#pragma once

class QObject;
class QSoundEffect;

namespace vexa::notify {

// Starts the popups' chime, "alert.wav" in the program folder, and returns at once. Nothing is
// played, and nothing is said, when the file is missing; without a sound card the player stays
// silent. The player belongs to `owner`.
QSoundEffect* playAlertSound(QObject* owner);

} // namespace vexa::notify
