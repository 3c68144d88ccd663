#include "core/picture/PictureIntegrityGif.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrity.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vexa::picture {

namespace {

constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

qsizetype colourTableBytes(std::uint8_t flags) {
    return (flags & 0x80) ? 3 * (qsizetype(1) << ((flags & 7) + 1)) : 0;
}

// Where a chain of data sub-blocks from `pos` ends, after its terminator; the end of the file
// when the chain stops there after a whole sub-block (a terminator left out); -1 when the file
// ends inside a sub-block.
qsizetype subBlocksEnd(const QByteArray& d, qsizetype pos) {
    while (pos < d.size()) {
        const qsizetype length = byteAt(d, pos);
        pos += 1 + length;
        if (length == 0) return pos;
    }
    return pos == d.size() ? pos : -1;
}

// The bits of the LZW data of a frame, least significant first, across its sub-blocks.
class CodeReader {
public:
    CodeReader(const QByteArray& d, qsizetype firstBlock) : m_d(d), m_block(firstBlock) {}

    // The next code of `bits` bits; -1 when the data ends first.
    int next(int bits) {
        while (m_count < bits) {
            if (!fetch()) return -1;
        }
        const int code = int(m_buffer & ((1u << bits) - 1));
        m_buffer >>= bits;
        m_count -= bits;
        return code;
    }
    // Whether a whole byte of data or more is left.
    bool byteLeft() {
        if (m_count >= 8) return true;
        return m_left > 0 || (m_block < m_d.size() && byteAt(m_d, m_block) != 0);
    }

private:
    bool fetch() {
        if (m_left == 0) {
            if (m_block >= m_d.size()) return false;
            m_left = byteAt(m_d, m_block);
            m_pos = m_block + 1;
            m_block = m_pos + m_left;
            if (m_left == 0) return false;
        }
        if (m_pos >= m_d.size()) return false;
        m_buffer |= std::uint32_t(byteAt(m_d, m_pos++)) << m_count;
        m_count += 8;
        --m_left;
        return true;
    }

    const QByteArray& m_d;
    qsizetype m_block; // the next sub-block's length byte
    qsizetype m_pos = 0;
    qsizetype m_left = 0; // bytes left in the current sub-block
    std::uint32_t m_buffer = 0;
    int m_count = 0;
};

// Decodes a frame's LZW data far enough to count the pixels it codes (each table entry is one
// pixel longer than the one it extends, so the strings need not be built). False when the data
// is damaged or codes another number of pixels than `area`.
bool lzwCodesFrame(const QByteArray& d, qsizetype firstBlock, int minimumCodeSize,
                   std::uint64_t area) {
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::array<std::uint16_t, kTableSize> length{};
    for (int i = 0; i < clear; ++i) length[std::size_t(i)] = 1;
    CodeReader reader(d, firstBlock);
    int bits = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::uint64_t pixels = 0;
    for (;;) {
        if (pixels == area) {
            // Only an end code (after clear codes) may follow, or the last byte's padding.
            for (;;) {
                if (!reader.byteLeft()) return true;
                const int code = reader.next(bits);
                if (code == end || code < 0) return true;
                if (code != clear) return false;
                bits = minimumCodeSize + 1;
            }
        }
        const int code = reader.next(bits);
        if (code < 0 || code == end) return false; // fewer pixels than the frame holds
        if (code == clear) {
            bits = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clear) return false; // a string before any was made
            pixels += 1;
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= kTableSize)) return false;
        const std::uint64_t added =
            code == next ? length[std::size_t(previous)] + 1u : length[std::size_t(code)];
        pixels += added;
        if (pixels > area) return false; // more pixels than the frame holds
        if (next < kTableSize) {
            length[std::size_t(next)] = std::uint16_t(length[std::size_t(previous)] + 1);
            ++next;
            if (next == (1 << bits) && bits < kMaxCodeBits) ++bits;
        }
        previous = code;
    }
}

} // namespace

std::optional<DeclaredSize> gifCanvasSize(const QByteArray& d) {
    if (d.size() < 13) return std::nullopt;
    qsizetype pos = 13 + colourTableBytes(byteAt(d, 10));
    while (pos < d.size()) {
        const std::uint8_t introducer = byteAt(d, pos);
        if (introducer == kExtension) {
            pos = subBlocksEnd(d, pos + 2);
            if (pos < 0) return std::nullopt;
        } else if (introducer == kImage) {
            if (pos + 9 > d.size()) return std::nullopt;
            return DeclaredSize{
                std::max<std::int64_t>(le16(d, 6), le16(d, pos + 1) + le16(d, pos + 5)),
                std::max<std::int64_t>(le16(d, 8), le16(d, pos + 3) + le16(d, pos + 7))};
        } else if (introducer == 0x00) {
            ++pos;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

QByteArray gifWithCanvasScreen(const QByteArray& d) {
    const std::optional<DeclaredSize> canvas = gifCanvasSize(d);
    if (!canvas || (canvas->width == le16(d, 6) && canvas->height == le16(d, 8))) return d;
    if (canvas->width > 0xFFFF || canvas->height > 0xFFFF) return {};
    QByteArray grown = d;
    for (const auto& [at, side] : {std::pair{6, canvas->width}, {8, canvas->height}}) {
        grown[at] = char(side & 0xFF);
        grown[at + 1] = char(side >> 8);
    }
    return grown;
}

bool gifComplete(const QByteArray& d) {
    const std::optional<DeclaredSize> canvas = gifCanvasSize(d);
    if (!canvas) return false;
    std::uint64_t framesArea = 0;
    qsizetype pos = 13 + colourTableBytes(byteAt(d, 10));
    while (pos < d.size()) {
        const std::uint8_t introducer = byteAt(d, pos);
        if (introducer == kTrailer) break;
        if (introducer == 0x00) { // a stray block terminator some writers leave: skipped
            ++pos;
            continue;
        }
        if (introducer == kExtension) {
            pos = subBlocksEnd(d, pos + 2);
            if (pos < 0) return false;
            continue;
        }
        if (introducer != kImage || pos + 11 > d.size()) return false;
        const std::uint64_t area = std::uint64_t(le16(d, pos + 5)) * le16(d, pos + 7);
        pos += 10 + colourTableBytes(byteAt(d, pos + 9));
        if (pos >= d.size() || area == 0) return false;
        const int minimumCodeSize = byteAt(d, pos);
        if (minimumCodeSize < 2 || minimumCodeSize > 8) return false;
        if (!lzwCodesFrame(d, pos + 1, minimumCodeSize, area)) return false;
        pos = subBlocksEnd(d, pos + 1);
        if (pos < 0) return false;
        framesArea += area;
    }
    const std::uint64_t canvasArea = canvas->pixels();
    return canvasArea <= kSmallPictureArea || canvasArea <= framesArea;
}

} // namespace vexa::picture
