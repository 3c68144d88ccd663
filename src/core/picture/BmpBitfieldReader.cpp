#include "core/picture/BmpBitfieldReader.h"

#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrityBmp.h"

#include <array>
#include <bit>
#include <cstdint>

namespace vexa::picture {

namespace {

constexpr std::uint32_t kPlainPixels = 0;

// One colour field of a pixel: where it is and how it scales to 0..255.
class Field {
public:
    explicit Field(std::uint32_t mask)
        : m_mask(mask), m_shift(mask ? std::countr_zero(mask) : 0), m_max(mask >> m_shift) {}
    bool present() const { return m_mask != 0; }
    int scaled(std::uint32_t pixel) const {
        const std::uint64_t v = (pixel & m_mask) >> m_shift;
        return int((v * 255 + m_max / 2) / m_max);
    }

private:
    std::uint32_t m_mask;
    int m_shift;
    std::uint64_t m_max;
};

bool hasVisiblePixel(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(line[x]) != 0) return true;
    }
    return false;
}

void makeOpaque(QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) line[x] |= 0xFF000000u;
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}

} // namespace

std::optional<QImage> readBitfieldBmp(const QByteArray& d) {
    if (d.size() < 34 || !d.startsWith("BM")) return std::nullopt;
    if (le32(d, 14) < 40) return std::nullopt; // the OS/2 core header has no bit fields
    const std::uint32_t bits = le16(d, 28);
    const std::uint32_t compression = le32(d, 30);
    const bool masked = compression == kBmpBitfields || compression == kBmpAlphaBitfields;
    if (!(bits == 16 && (compression == kPlainPixels || masked)) && !(bits == 32 && masked))
        return std::nullopt;
    const std::optional<BmpLayout> layout = bmpLayout(d);
    if (!layout) return QImage();
    const std::array<std::uint32_t, 4> masks =
        masked ? layout->masks : std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0};
    const Field r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);

    const std::int64_t width = layout->width;
    const auto rows = std::uint64_t(layout->height);
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    if (rows > (std::uint64_t(d.size()) - layout->offset) / stride) return QImage();
    QImage picture(int(width), int(rows),
                   a.present() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull()) return QImage();
    const int bytesPerPixel = int(bits / 8);
    for (std::uint64_t row = 0; row < rows; ++row) {
        // Rows are stored bottom-up unless the height is negative.
        const int y = layout->topDown ? int(row) : int(rows - 1 - row);
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        qsizetype at = qsizetype(layout->offset + row * stride);
        for (int x = 0; x < width; ++x, at += bytesPerPixel) {
            const std::uint32_t pixel = bits == 16 ? le16(d, at) : le32(d, at);
            line[x] = qRgba(r.scaled(pixel), g.scaled(pixel), b.scaled(pixel),
                            a.present() ? a.scaled(pixel) : 255);
        }
    }
    // Writers that do not use the alpha field often declare it anyway and leave it zero; such a
    // picture is opaque, not invisible (browsers read it so too).
    if (a.present() && !hasVisiblePixel(picture)) makeOpaque(picture);
    return picture;
}

} // namespace vexa::picture
