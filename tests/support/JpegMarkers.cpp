#include "support/JpegMarkers.h"

namespace vexa::test {

namespace {

int byteAt(const QByteArray& d, qsizetype i) {
    return i < d.size() ? static_cast<unsigned char>(d[i]) : -1;
}

QByteArray segment(int marker, const QByteArray& payload) {
    const qsizetype length = payload.size() + 2;
    QByteArray bytes;
    bytes += char(0xFF);
    bytes += char(marker);
    bytes += char(length >> 8);
    bytes += char(length & 0xFF);
    return bytes + payload;
}

} // namespace

qsizetype jpegSegmentAt(const QByteArray& jpeg, int marker) {
    qsizetype pos = 2;
    while (byteAt(jpeg, pos) == 0xFF) {
        const int found = byteAt(jpeg, pos + 1);
        if (found == marker) return pos;
        if (found == 0xDA || found < 0) return -1;
        pos += 2 + (byteAt(jpeg, pos + 2) << 8 | byteAt(jpeg, pos + 3));
    }
    return -1;
}

QByteArray withoutJpegSegment(const QByteArray& jpeg, int marker) {
    const qsizetype at = jpegSegmentAt(jpeg, marker);
    if (at < 0) return jpeg;
    const qsizetype length = byteAt(jpeg, at + 2) << 8 | byteAt(jpeg, at + 3);
    QByteArray result = jpeg;
    return result.remove(at, 2 + length);
}

QByteArray withJpegSegment(const QByteArray& jpeg, int marker, const QByteArray& payload) {
    QByteArray result = jpeg;
    return result.insert(2, segment(marker, payload));
}

QByteArray adobeMarkerPayload(int transform) {
    // "Adobe", version 100, flags 0 and 0, the transform.
    QByteArray payload("Adobe");
    payload += QByteArray("\x00\x64\x00\x00\x00\x00", 6);
    payload += char(transform);
    return payload;
}

QByteArray exifOrientationPayload(int orientation) {
    QByteArray payload("Exif\0\0", 6);
    payload += QByteArray("MM\0*\0\0\0\x08", 8);          // big-endian TIFF, IFD at 8
    payload += QByteArray("\0\x01", 2);                   // one entry:
    payload += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8); // Orientation, SHORT, count 1
    payload += char(0) + QByteArray(1, char(orientation)) + QByteArray(2, '\0');
    payload += QByteArray(4, '\0'); // no next IFD
    return payload;
}

} // namespace vexa::test
