#include "support/LetterboxProbe.h"

namespace vexa::test {

::testing::AssertionResult showsLetterboxed(const QImage& grab, const QRect& area,
                                            const QRect& picture, QRgb colour, QRgb background) {
    const QImage image = grab.convertToFormat(QImage::Format_RGB32);
    if (!image.rect().contains(area))
        return ::testing::AssertionFailure()
               << "the grab is only " << image.width() << " x " << image.height() << " pixels";
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool inside = picture.contains(x, y);
            const QRgb want = inside ? colour : background;
            if (qRgb(qRed(want), qGreen(want), qBlue(want)) != (image.pixel(x, y) | 0xff000000u))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y
                       << (inside ? " of the picture" : " of the letterbox") << " is #" << std::hex
                       << (image.pixel(x, y) & 0xffffffu) << ", not #" << (want & 0xffffffu);
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace vexa::test
