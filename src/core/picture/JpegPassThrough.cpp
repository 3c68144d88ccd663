#include "core/picture/JpegPassThrough.h"

#include "core/picture/JpegMarkers.h"

#include <cstdint>

namespace vexa::picture {

namespace {

constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp14 = 0xEE;

// Reads the data with every access checked against its end.
class Bytes {
public:
    explicit Bytes(const QByteArray& data) : m_data(data) {}
    qsizetype size() const { return m_data.size(); }
    int at(qsizetype i) const {
        return i >= 0 && i < m_data.size() ? static_cast<std::uint8_t>(m_data[i]) : -1;
    }
    int be16(qsizetype i) const {
        const int high = at(i), low = at(i + 1);
        return high < 0 || low < 0 ? -1 : high << 8 | low;
    }
    bool startsWith(qsizetype i, qsizetype end, const char* text, qsizetype length) const {
        return end - i >= length && m_data.mid(i, length) == QByteArray(text, length);
    }

private:
    const QByteArray& m_data;
};

struct Markers {
    bool jfif = false;
    int adobeTransform = -1; // no Adobe marker
    std::optional<JpegFrame> frame;
    bool idsOneTwoThree = false;
};

// The frame of a start-of-frame segment whose payload is [at, end); false when it is one a
// PDF reader may not decode as the file's decoder does.
bool readFrame(const Bytes& d, int marker, qsizetype at, qsizetype end, Markers& markers) {
    // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, all Huffman-coded; the others are
    // lossless, hierarchical or arithmetic.
    if (markers.frame || marker > 0xC2 || end - at < 6) return false;
    if (d.at(at) != 8) return false;
    JpegFrame frame;
    frame.height = d.be16(at + 1);
    frame.width = d.be16(at + 3);
    frame.components = d.at(at + 5);
    // A height of 0 is given later by a DNL marker, which PDF readers need not follow.
    if (frame.width <= 0 || frame.height <= 0) return false;
    if (frame.components != 1 && frame.components != 3) return false;
    if (end - at < 6 + 3 * qsizetype(frame.components)) return false;
    markers.idsOneTwoThree =
        frame.components == 3 && d.at(at + 6) == 1 && d.at(at + 9) == 2 && d.at(at + 12) == 3;
    markers.frame = frame;
    return true;
}

} // namespace

std::optional<JpegFrame> passThroughJpegFrame(const QByteArray& data) {
    const Bytes d(data);
    if (d.at(0) != 0xFF || d.at(1) != kStartOfImage) return std::nullopt;
    Markers markers;
    qsizetype pos = 2;
    for (;;) {
        if (d.at(pos) != 0xFF) return std::nullopt;
        while (d.at(pos) == 0xFF) ++pos; // fill bytes
        const int marker = d.at(pos++);
        // Between segments, a page takes only markers one after the other.
        if (marker < 0 || marker == kStartOfImage || marker == kEndOfImage || isStuffedZero(marker))
            return std::nullopt;
        if (isStandaloneMarker(marker)) continue;
        const int length = d.be16(pos);
        if (length < 2 || pos + length > d.size()) return std::nullopt;
        const qsizetype at = pos + 2, end = pos + length;
        if (marker == kStartOfScan) break;
        if (marker == kApp0 && d.startsWith(at, end, "JFIF\0", 5)) markers.jfif = true;
        if (marker == kApp14 && d.startsWith(at, end, "Adobe", 5) && end - at >= 12)
            markers.adobeTransform = d.at(at + 11);
        if (marker == 0xDE || marker == 0xDF) return std::nullopt; // hierarchical: DHP, EXP
        if (isStartOfFrame(marker) && !readFrame(d, marker, at, end, markers)) return std::nullopt;
        pos = end;
    }
    if (!markers.frame) return std::nullopt;
    if (markers.frame->components == 3) {
        // The Adobe marker decides where there is one, as it does for PDF readers.
        const bool ycbcr = markers.adobeTransform >= 0 ? markers.adobeTransform == 1
                                                       : markers.jfif || markers.idsOneTwoThree;
        if (!ycbcr) return std::nullopt;
    }
    return markers.frame;
}

} // namespace vexa::picture
