#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace vexa::picture {

// Reads the BMP files whose pixels are bit fields: 16-bit pixels (5-5-5 without masks, or
// with their masks) and 16- or 32-bit pixels with masks (BI_BITFIELDS, BI_ALPHABITFIELDS, and
// the masks of the larger info headers). Each field is scaled to 0..255 as v * 255 / max,
// rounded, so a full field reads 255. (Qt's reader shifts a 5-bit field up by 3 and reads
// white as 248, and loses fields wider than 8 bits.) An alpha field gives a picture with
// alpha, unless every pixel's alpha is zero (a field declared and left unused). Nothing for any
// other file; a null image for such a BMP whose data is incomplete.
std::optional<QImage> readBitfieldBmp(const QByteArray& data);

} // namespace vexa::picture
