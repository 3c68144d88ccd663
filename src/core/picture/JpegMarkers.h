#pragma once

// The kinds of JPEG markers, as libjpeg tells them apart when it looks for the next segment.
// VEXA's walks over a file's markers must find the segments libjpeg finds: the size, the
// checks and the cost of a picture are reckoned from them before libjpeg decodes it.

namespace vexa::picture {

// A frame header: SOF0 to SOF15, but for DHT (C4), JPG (C8) and DAC (CC).
inline bool isStartOfFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// A marker without a length: SOI, TEM and RST0 to RST7.
inline bool isStandaloneMarker(int marker) {
    return marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// FF 00 is no marker: libjpeg skips the pair, as it skips other bytes between segments, and
// looks on for the next FF. Read as a marker with a length, its next two bytes would skip
// the segments libjpeg reads, the frame header included.
inline bool isStuffedZero(int marker) {
    return marker == 0x00;
}

} // namespace vexa::picture
