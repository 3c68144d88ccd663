#pragma once

#include <QByteArray>

namespace vexa {

// False when a BMP, GIF or JPEG file ends before its picture data does, when its data is
// far too small for the size its header declares (a decompression bomb: a few hundred bytes
// that would take gigabytes and a minute to decode), or, for JPEG, when the decoder finds
// the coded data damaged. Qt's readers show such files with a grey or missing part; a cover
// slot should keep its picture instead. Each bound is explained where it is computed
// (PictureIntegrity.cpp, PictureIntegrityJpeg.h). Data of other formats is left to its
// reader and counts as complete. Safe to call on several threads at once.
bool isPictureDataComplete(const QByteArray& data);

} // namespace vexa
