#pragma once

#include <QByteArray>

#include <tiffio.h>

namespace vexa::picture {

// The strips or tiles ("pieces") of the TIFF directory libtiff has open hold together with
// the file `bytes` it was opened from (see TiffPicture.h):
//  - the directory gives one offset for each of them (more: the picture was made smaller);
//  - each lies inside the file, clear of the header and of the directory (so that neither is
//    read as pixels);
//  - uncompressed, each holds its pixels' bytes; PackBits, LZW and Deflate data, decoded to its
//    end (the end code, or Deflate's checksum), gives its pixels' bytes. libtiff stops as soon
//    as it has the bytes it wants, so a flipped byte that keeps the codes in step, or a size
//    edited smaller, would go unseen. Uncompressed data may be up to a row longer (rounding),
//    and the last of several strips may be filled to a whole strip, as some writers do;
//    compressed data decodes to its rows exactly.
bool tiffPiecesHoldTogether(TIFF* tiff, const QByteArray& bytes);

} // namespace vexa::picture
