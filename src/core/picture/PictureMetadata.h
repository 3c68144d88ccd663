#pragma once

#include <QByteArray>
#include <QColorSpace>

namespace vexa::picture {

// What a picture file says about how its pixels are to be shown, beyond the pixels: read from
// the bytes without decoding them.
struct PictureMetadata {
    // The EXIF orientation (1 to 8) of a JPEG (APP1 Exif), PNG (eXIf), WebP (EXIF) or the
    // TIFF's own Orientation tag; 1 when none is given or it is out of range.
    int orientation = 1;
    // The embedded ICC profile of a JPEG (APP2 ICC_PROFILE, in its pieces), PNG (iCCP,
    // inflated), TIFF (tag 34675) or WebP (ICCP); empty when there is none or its pieces do not
    // hold together.
    QByteArray iccProfile;
    // A PNG without a profile whose gAMA (and cHRM) chunks describe colours other than sRGB's,
    // as Qt's reader takes them; invalid otherwise.
    QColorSpace pngColourSpace;
};

PictureMetadata readPictureMetadata(const QByteArray& bytes);

// The Orientation tag (0x0112) of the first directory of TIFF-structured data (a TIFF file,
// or the EXIF block of another format), `at` being where its header starts; 1 when the data
// holds none. Classic and BigTIFF headers.
int tiffOrientation(const QByteArray& data, qsizetype at = 0);

} // namespace vexa::picture
