#include "core/picture/PictureIntegrityJpeg.h"

#include "core/picture/JpegMarkers.h"
#include "core/picture/PictureBytes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace vexa::picture {

namespace {

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    // Per coefficient: the lowest bit coded so far, -1 while the coefficient is not coded.
    std::array<int, 64> codedTo{};
};

struct Frame {
    bool seen = false;
    bool progressive = false;
    bool arithmetic = false;
    bool lossless = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<Component> components;
};

bool readFrame(const QByteArray& d, qsizetype at, qsizetype end, std::uint8_t marker, Frame& f) {
    if (f.seen || end - at < 6) return false;
    f.seen = true;
    f.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
    f.arithmetic = marker >= 0xC9;
    f.lossless = (marker & 3) == 3;
    f.height = be16(d, at + 1);
    f.width = be16(d, at + 3);
    const int count = byteAt(d, at + 5);
    if (count == 0 || end - at < 6 + 3 * qsizetype(count) || f.width == 0 || f.height == 0)
        return false;
    for (int i = 0; i < count; ++i) {
        Component c;
        c.id = byteAt(d, at + 6 + 3 * i);
        c.h = byteAt(d, at + 7 + 3 * i) >> 4;
        c.v = byteAt(d, at + 7 + 3 * i) & 15;
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) return false;
        c.codedTo.fill(-1);
        f.components.push_back(c);
    }
    return true;
}

// Records what a scan codes; false when its header is broken or it codes nothing new.
bool readScan(const QByteArray& d, qsizetype at, qsizetype end, Frame& f) {
    if (!f.seen || end - at < 1) return false;
    const int count = byteAt(d, at);
    if (count == 0 || end - at < 4 + 2 * qsizetype(count)) return false;
    const qsizetype tail = at + 1 + 2 * qsizetype(count);
    const int first = byteAt(d, tail);
    const int last = std::min<int>(byteAt(d, tail + 1), 63);
    const int high = byteAt(d, tail + 2) >> 4;
    const int low = byteAt(d, tail + 2) & 15;
    bool advanced = false;
    for (int i = 0; i < count; ++i) {
        const int id = byteAt(d, at + 1 + 2 * i);
        Component* c = nullptr;
        for (Component& candidate : f.components)
            if (candidate.id == id) c = &candidate;
        if (!c) return false;
        if (f.lossless) {
            advanced = true;
            continue;
        }
        if (!f.progressive) { // a sequential scan codes every coefficient in full
            for (int& bit : c->codedTo) {
                advanced = advanced || bit != 0;
                bit = 0;
            }
            continue;
        }
        for (int k = first; k <= last; ++k) {
            int& bit = c->codedTo[std::size_t(k)];
            const bool next = high == 0 ? bit < 0 : (bit == high && low == high - 1);
            if (!next) continue;
            bit = low;
            advanced = true;
        }
    }
    return advanced;
}

// The end of the entropy-coded data from `pos`: the next marker other than a restart
// marker, or the end of the file (stuffed zeros, restart markers and fill bytes count as data:
// the bound below stays a lower bound). Where each coded segment ends (before a restart
// marker, before that marker or at the end of the file) is added to `segmentEnds`, before
// any fill bytes (0xFF) ahead of the marker.
qsizetype entropyEnd(const QByteArray& d, qsizetype pos, std::vector<qsizetype>& segmentEnds) {
    const qsizetype start = pos;
    qsizetype fillStart = -1; // first of the 0xFF bytes just before `pos`
    while (pos + 1 < d.size()) {
        if (byteAt(d, pos) != 0xFF) {
            // Straight to the next 0xFF: coded data is megabytes long, markers are rare.
            const char* from = d.constData() + pos;
            const void* found = std::memchr(from, 0xFF, std::size_t(d.size() - 1 - pos));
            pos = found ? pos + (static_cast<const char*>(found) - from) : d.size() - 1;
            fillStart = -1;
            continue;
        }
        if (fillStart < 0) fillStart = pos;
        const std::uint8_t next = byteAt(d, pos + 1);
        if (next == 0xFF) {
            ++pos;
        } else if (next == 0x00) {
            pos += 2;
            fillStart = -1;
        } else {
            segmentEnds.push_back(fillStart);
            if (next < 0xD0 || next > 0xD7) return pos;
            pos += 2;
            fillStart = -1;
        }
    }
    // The file ends inside the coded data, or with fill bytes or half a marker after it.
    qsizetype end = d.size();
    while (end > start && byteAt(d, end - 1) == 0xFF) --end;
    segmentEnds.push_back(end);
    return d.size();
}

std::uint64_t blockCount(const Frame& f) {
    int hmax = 1;
    int vmax = 1;
    for (const Component& c : f.components) {
        hmax = std::max(hmax, c.h);
        vmax = std::max(vmax, c.v);
    }
    std::uint64_t blocks = 0;
    for (const Component& c : f.components) {
        const std::uint64_t w = (std::uint64_t(f.width) * c.h + hmax - 1) / hmax;
        const std::uint64_t h = (std::uint64_t(f.height) * c.v + vmax - 1) / vmax;
        blocks += ((w + 7) / 8) * ((h + 7) / 8);
    }
    return blocks;
}

// The most blocks an MCU holds: one of each component's h x v blocks.
std::uint64_t blocksPerMcu(const Frame& f) {
    std::uint64_t blocks = 0;
    for (const Component& c : f.components) blocks += std::uint64_t(c.h) * std::uint64_t(c.v);
    return blocks;
}

// Every component's DC coefficient, and every coefficient any scan codes, is coded to its
// last bit. Coefficients that no scan codes are zeros the encoder chose.
bool everyCodedBitCoded(const Frame& f) {
    if (f.lossless) return true;
    for (const Component& c : f.components) {
        if (c.codedTo[0] != 0) return false;
        for (const int bit : c.codedTo)
            if (bit > 0) return false;
    }
    return true;
}

} // namespace

std::optional<JpegLayout> jpegStructure(const QByteArray& d) {
    if (d.size() < 4 || byteAt(d, 0) != 0xFF || byteAt(d, 1) != 0xD8) return std::nullopt;
    Frame frame;
    JpegLayout layout;
    std::uint64_t codedBytes = 0;
    int scans = 0;
    qsizetype pos = 2;
    bool afterScan = false;
    std::uint64_t restartInterval = 0; // MCUs
    for (;;) {
        // Bytes that are no marker are skipped, as libjpeg does (with its "extraneous
        // bytes" warning, which does not refuse a picture).
        while (pos < d.size() && byteAt(d, pos) != 0xFF) ++pos;
        while (pos < d.size() && byteAt(d, pos) == 0xFF) ++pos;
        if (pos >= d.size()) {
            // Cut short, unless all that is missing is the end-of-image marker after the
            // last scan: whether that scan's data is whole is for the trial decode to tell.
            if (!afterScan) return std::nullopt;
            layout.endMarker = false;
            break;
        }
        afterScan = false;
        const std::uint8_t marker = byteAt(d, pos++);
        if (marker == 0xD9) break;
        if (isStandaloneMarker(marker) || isStuffedZero(marker)) continue;
        if (pos + 2 > d.size()) return std::nullopt;
        const qsizetype length = be16(d, pos);
        if (length < 2 || pos + length > d.size()) return std::nullopt;
        const qsizetype body = pos + 2;
        const qsizetype end = pos + length;
        if (isStartOfFrame(marker) && !readFrame(d, body, end, marker, frame)) return std::nullopt;
        if (marker == 0xDD && length >= 4) restartInterval = be16(d, body);
        if (marker == 0xDA) {
            if (++scans > kMaxJpegScans || !readScan(d, body, end, frame)) return std::nullopt;
            // A progressive DC refinement scan codes one bit per block at a fixed even
            // probability: over a flat area those bits are zeros the coder leaves out.
            const qsizetype tail = body + 1 + 2 * qsizetype(byteAt(d, body));
            const bool dcRefinement =
                frame.progressive && byteAt(d, tail) == 0 && (byteAt(d, tail + 2) >> 4) != 0;
            // With restart markers, a segment codes at most one restart interval of MCUs.
            const std::uint64_t blocks =
                restartInterval == 0
                    ? blockCount(frame)
                    : std::min(blockCount(frame), restartInterval * blocksPerMcu(frame));
            std::vector<qsizetype> ends;
            pos = entropyEnd(d, end, ends);
            for (const qsizetype at : ends) layout.segments.push_back({at, blocks, dcRefinement});
            codedBytes += std::uint64_t(pos - end);
            afterScan = true;
            continue;
        }
        pos = end;
    }
    if (!frame.seen || scans == 0 || !everyCodedBitCoded(frame)) return std::nullopt;
    layout.arithmetic = frame.arithmetic;
    layout.progressive = frame.progressive;
    layout.width = frame.width;
    layout.height = frame.height;
    layout.scans = scans;
    const bool huffman = !frame.lossless && !frame.arithmetic;
    if (huffman && blockCount(frame) > codedBytes * 8) return std::nullopt;
    return layout;
}

} // namespace vexa::picture
