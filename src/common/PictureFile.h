#pragma once

#include <QImage>
#include <QString>

namespace vexa {

// Reads a picture file (BMP, GIF, JPEG and whatever else Qt reads) at its own resolution.
// A null image when the file is missing, is no picture, or is damaged: a truncated file is
// refused rather than shown with a grey or missing part.
// Qt refuses pictures over 128 MB decoded by default; that limit is raised so that the
// 40-megapixel photos and 600-dpi scans people print covers from load too.
QImage loadPictureFile(const QString& path);

} // namespace vexa
