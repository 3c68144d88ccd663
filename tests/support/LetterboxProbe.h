#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <gtest/gtest.h>

namespace vexa::test {

// Checks, pixel by pixel, a grab of a holder that shows a one-colour picture: inside
// `picture` every pixel is `colour`, and the rest of `area` (the letterbox) is `background`.
// Names the first pixel that is not.
::testing::AssertionResult showsLetterboxed(const QImage& grab, const QRect& area,
                                            const QRect& picture, QRgb colour, QRgb background);

} // namespace vexa::test
