#include "scan/ScanFrames.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vexa::scan {

namespace {

int channelsOf(const SANE_Parameters& p) {
    return frameFormat(p) == SANE_FRAME_RGB ? 3 : 1;
}

// Sample `index` of a line (pixel * channels + channel), scaled to 0 ... 255. For 1-bit
// samples, `setIsDark` gives the gray convention where a set bit is black.
int sampleAt(const uchar* line, qint64 index, int depth, bool setIsDark) {
    switch (depth) {
    case 1: {
        const bool set = (line[index / 8] >> (7 - index % 8)) & 1;
        return set != setIsDark ? 255 : 0;
    }
    case 8:
        return line[index];
    default: { // 16 bits in the host's byte order
        quint16 value;
        std::memcpy(&value, line + index * 2, sizeof value);
        return value >> 8;
    }
    }
}

// Writes one frame's samples into `channel` of the picture (0 red, 1 green, 2 blue), or into
// all three for gray and RGB frames.
void fillFromFrame(QImage& picture, const ScanFrame& frame, int band) {
    const SANE_Parameters& p = frame.parameters;
    const int channels = channelsOf(p);
    const bool gray = frameFormat(p) == SANE_FRAME_GRAY;
    const auto* data = reinterpret_cast<const uchar*>(frame.data.constData());
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* line = data + static_cast<qint64>(y) * p.bytes_per_line;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const qint64 first = static_cast<qint64>(x) * channels;
            if (channels == 3) {
                out[x] = qRgb(sampleAt(line, first, p.depth, false),
                              sampleAt(line, first + 1, p.depth, false),
                              sampleAt(line, first + 2, p.depth, false));
                continue;
            }
            const int v = sampleAt(line, first, p.depth, gray);
            if (gray) {
                out[x] = qRgb(v, v, v);
                continue;
            }
            const int shift = 16 - 8 * band; // red 16, green 8, blue 0
            out[x] = (out[x] & ~(0xFFu << shift)) | (static_cast<QRgb>(v) << shift);
        }
    }
}

} // namespace

int frameFormat(const SANE_Parameters& parameters) {
    static_assert(sizeof(SANE_Frame) == sizeof(int));
    int format;
    std::memcpy(&format, &parameters.format, sizeof format);
    return format;
}

bool isColourBand(const SANE_Parameters& parameters) {
    const int format = frameFormat(parameters);
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

QString unsupportedFrameReason(const SANE_Parameters& p) {
    const int format = frameFormat(p);
    if (format != SANE_FRAME_GRAY && format != SANE_FRAME_RGB && !isColourBand(p))
        return QStringLiteral("The scanner sends pictures in a form this program cannot read.");
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return QStringLiteral("The scanner sends %1 bits per sample; this program reads 1, 8 "
                              "and 16.")
            .arg(p.depth);
    if (p.pixels_per_line <= 0 || p.lines == 0 || p.lines < -1)
        return QStringLiteral("The scanner reports an empty picture.");
    const qint64 bits = static_cast<qint64>(p.pixels_per_line) * channelsOf(p) * p.depth;
    if (p.bytes_per_line < (bits + 7) / 8)
        return QStringLiteral("The scanner reports lines too short for their pixels.");
    return QString();
}

qint64 frameLines(const ScanFrame& frame) {
    const SANE_Parameters& p = frame.parameters;
    if (p.bytes_per_line <= 0) return 0;
    const qint64 received = frame.data.size() / p.bytes_per_line;
    return p.lines < 0 ? received : std::min<qint64>(p.lines, received);
}

QImage assembleFrames(const QList<ScanFrame>& frames, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return QImage();
    };
    if (frames.isEmpty()) return fail(QStringLiteral("The scanner sent no picture."));
    for (const ScanFrame& frame : frames) {
        if (const QString reason = unsupportedFrameReason(frame.parameters); !reason.isEmpty())
            return fail(reason);
    }

    const SANE_Parameters& first = frames.first().parameters;
    qint64 lines = frameLines(frames.first());
    const bool bands = isColourBand(first);
    bool seen[3] = {false, false, false};
    if (bands) {
        for (const ScanFrame& frame : frames) {
            if (!isColourBand(frame.parameters) ||
                frame.parameters.pixels_per_line != first.pixels_per_line)
                return fail(QStringLiteral("The scanner's colour passes do not fit together."));
            seen[frameFormat(frame.parameters) - SANE_FRAME_RED] = true;
            lines = std::min(lines, frameLines(frame));
        }
        if (!seen[0] || !seen[1] || !seen[2])
            return fail(QStringLiteral("The scanner did not send all three colour passes."));
    }
    if (lines <= 0) return fail(QStringLiteral("The scanner sent no complete line."));
    if (lines > std::numeric_limits<int>::max())
        return fail(QStringLiteral("The scanned picture is too large."));

    QImage picture(first.pixels_per_line, static_cast<int>(lines), QImage::Format_RGB32);
    if (picture.isNull())
        return fail(QStringLiteral("There is not enough memory for the scanned picture."));
    picture.fill(Qt::black);
    if (bands) {
        for (const ScanFrame& frame : frames)
            fillFromFrame(picture, frame, frameFormat(frame.parameters) - SANE_FRAME_RED);
    } else {
        fillFromFrame(picture, frames.first(), 0);
    }
    return picture;
}

} // namespace vexa::scan
