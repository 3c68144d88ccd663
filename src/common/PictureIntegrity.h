#pragma once

#include <QByteArray>

namespace vexa {

// False when a BMP, GIF or JPEG file ends before its picture data does. Qt's readers show
// such files with a grey or missing part; a cover slot should keep its picture instead.
// Data of other formats is left to its reader and counts as complete.
bool isPictureDataComplete(const QByteArray& data);

} // namespace vexa
