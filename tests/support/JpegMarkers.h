#pragma once

// Editing the marker segments of JPEG files, to make the variants a second encoder does not
// write: a file without its JFIF marker, with an Adobe or EXIF marker added, with a changed
// frame header.

#include <QByteArray>

namespace vexa::test {

// Where the first segment with `marker` (0xE0 for APP0, 0xC0 for a baseline frame, ...)
// before the first scan starts (its 0xFF byte); -1 when there is none.
qsizetype jpegSegmentAt(const QByteArray& jpeg, int marker);

// The file without its first segment with `marker`.
QByteArray withoutJpegSegment(const QByteArray& jpeg, int marker);

// The file with a segment of `marker` and `payload` right after its start-of-image marker.
QByteArray withJpegSegment(const QByteArray& jpeg, int marker, const QByteArray& payload);

// The payload of an Adobe APP14 marker with the given colour transform (0: none, 1: YCbCr).
QByteArray adobeMarkerPayload(int transform);

// The payload of an EXIF APP1 marker that holds only an orientation (1 to 8).
QByteArray exifOrientationPayload(int orientation);

} // namespace vexa::test
