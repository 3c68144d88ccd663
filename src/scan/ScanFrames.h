#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <sane/sane.h>

namespace vexa::scan {

// One frame as a SANE device sends it: its parameters and its bytes, line after line.
struct ScanFrame {
    SANE_Parameters parameters{};
    QByteArray data;
};

// The frame's format as a plain number: devices may send values the SANE_Frame type does
// not list (JPEG and infrared frames of later SANE versions).
int frameFormat(const SANE_Parameters& parameters);

// True for the red, green or blue frame of a three-pass scanner.
bool isColourBand(const SANE_Parameters& parameters);

// Checks that a frame's parameters describe something this program can turn into a
// picture: gray, RGB or one colour band, 1, 8 or 16 bits per sample, lines long enough for
// their pixels. Returns the reason when not.
QString unsupportedFrameReason(const SANE_Parameters& parameters);

// The number of complete lines a frame holds: the device's line count, or for a hand
// scanner (lines -1) whatever arrived; never more than the data holds.
qint64 frameLines(const ScanFrame& frame);

// Turns the frames of one scan into an opaque 32-bit picture: a gray or RGB frame alone,
// or the red, green and blue frames of a three-pass scanner in any order. 16-bit samples
// keep their upper byte; 1-bit gray is black where the bit is set, 1-bit colour is full
// intensity where it is set. A null picture and a reason when the frames do not fit
// together or the picture does not fit in memory.
QImage assembleFrames(const QList<ScanFrame>& frames, QString* error);

} // namespace vexa::scan
