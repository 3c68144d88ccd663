#pragma once

#include <QByteArray>

namespace vexa {

// The JPEG parts of the picture checks (see PictureIntegrity.h).

// Walks the markers without decoding. False when the file ends before its end-of-image
// marker, when a scan names a component the frame lacks, when the scans leave a bit of some
// coefficient of some component uncoded (a progressive file cut before a later scan), when a
// scan codes nothing new or there are more than kMaxJpegScans scans, or when the coded data
// is too small for the declared size:
//  - Huffman coding spends at least one bit on the DC difference of every 8 x 8 block of
//    every component (codes are 1 to 16 bits long, and every block has a DC term), so the
//    coded data needs at least one byte per 8 blocks;
//  - arithmetic coding spends at least one binary decision per block on its DC term, and
//    its coder emits a bit at the latest after 32768 decisions (the interval register starts
//    at 0x8000 or more and loses at least 1 per decision), so it needs one byte per 262144
//    blocks; arithmetic-coded bombs are therefore bounded only by the decoded-size limit.
bool jpegStructureSound(const QByteArray& data);

// More scans than any encoder writes (libjpeg's progression writes 10, optimising encoders
// a few dozen); each scan passes over the whole picture, so a long scan list is a time bomb.
inline constexpr int kMaxJpegScans = 500;

// Decodes the file with libjpeg at 1/8 scale (the entropy-coded data is read in full, the
// cheap DC-only transform makes it fast) and reports false when libjpeg meets damaged data.
// libjpeg only warns about damage and reads on, filling the rest with grey. The warnings
// that refuse a picture:
//   "Premature end of JPEG file", "Corrupt JPEG data: premature end of data segment",
//   "Corrupt JPEG data: bad Huffman code", "Corrupt JPEG data: bad arithmetic code",
//   "Corrupt JPEG data: found marker 0x.. instead of RSTn",
//   "Inconsistent progression sequence for component .. coefficient ..".
// Others, notably "Corrupt JPEG data: N extraneous bytes before marker" that many cameras
// cause with padding, leave the picture whole and do not refuse it. Each call has its own
// decoder and warning record, so calls on several threads at once are safe.
bool jpegDecodesCleanly(const QByteArray& data);

} // namespace vexa
