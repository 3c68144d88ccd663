#pragma once

// JPEG files written by libjpeg's own encoder, so that tests of the loader get pictures from
// a second program, in every coding the format allows.

#include <QByteArray>
#include <QImage>

#include <vector>

namespace vexa::test {

// One scan of a progressive file: its components (indices into the frame), the coefficients it
// codes (`first` to `last`) and their bits (`high`, the bit coded before, 0 for a first scan;
// `low`, the lowest bit coded now), as libjpeg's scan scripts give them.
struct JpegScan {
    std::vector<int> components;
    int first = 0;
    int last = 0;
    int high = 0;
    int low = 0;
};

struct JpegCoding {
    bool gray = false;
    // Four components stored inverted, as Adobe's programs write CMYK: C = R, M = G, Y = B
    // and K = 255 (no black), with an Adobe marker (transform 0); or three components stored as R,
    // G, B without a colour transform (an Adobe marker with transform 0, no JFIF marker).
    bool cmyk = false;
    bool rgbCoded = false;
    int lumaH = 2; // sampling factors of the luma component; chroma is 1 x 1
    int lumaV = 2;
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0; // a restart marker every this many MCU rows (0: none)
    int quality = 90;
    std::vector<JpegScan> scans = {}; // a progressive file in these scans, when given
};

QByteArray encodeJpeg(const QImage& picture, const JpegCoding& coding);

} // namespace vexa::test
